// Profile slots on disk: export, import and reset as whole-file copies that
// never lose the old file, and the page defaults read from the default
// profile.

#include "ProfileStore.h"
#include "stores_WorkFolder.h"

#include <QSettings>
#include <QTest>

class TestProfileStore : public QObject {
    Q_OBJECT

private slots:
    void exportCopiesTheSlotFileByteForByte();
    void importAndResetReplaceTheSlotFile();
    void failedCopiesKeepTheOldFile();
    void slotsOutsideTheRangeAreRefused();
    void keyDefinitionDefaultsJoinTheSixteenLists();
    void colourDefaultsArePaletteThenEffect();
    void sensorDefaultsHaveFortyFiveItemsAndIntegerDefaults();
    void missingDefaultProfileGivesOnlyIntegerDefaults();
};

void TestProfileStore::exportCopiesTheSlotFileByteForByte()
{
    StoresWorkFolder work;
    QVERIFY(work.isValid());
    const ProfileStore store;
    QCOMPARE(store.slotPath(9), QStringLiteral("./modules/setting/p10.bin"));
    QCOMPARE(store.slotPath(0), QStringLiteral("./modules/setting/p1.bin"));

    // Give every slot file its own content so a wrong slot shows.
    for (int slot = 0; slot < ProfileStore::kSlotCount; ++slot)
        QVERIFY(
            storesWriteAll(store.slotPath(slot), "[sensor]\nstage_Z3=" + QByteArray::number(slot) + "\n"));
    const QString target = work.file(QStringLiteral("exported.pf"));
    QVERIFY(storesWriteAll(target, "old export"));
    QVERIFY(store.exportSlot(9, target));
    QCOMPARE(storesReadAll(target), storesReadAll(work.file(QStringLiteral("modules/setting/p10.bin"))));
    QCOMPARE(storesReadAll(target), QByteArray("[sensor]\nstage_Z3=9\n"));
}

void TestProfileStore::importAndResetReplaceTheSlotFile()
{
    StoresWorkFolder work;
    const ProfileStore store;
    const QString pf = work.file(QStringLiteral("mine.pf"));
    const QByteArray content = "[sensor]\nstage_Z3=5\ndpi_Z3=250, 500, 0, 0, 0, 0, 0, 0\n";
    QVERIFY(storesWriteAll(pf, content));
    QVERIFY(store.importSlot(3, pf));
    QCOMPARE(storesReadAll(work.file(QStringLiteral("modules/setting/p4.bin"))), content);
    QSettings readBack(store.slotPath(3), QSettings::IniFormat);
    QCOMPARE(readBack.value(QStringLiteral("sensor/stage_Z3")).toInt(), 5);

    // A reset makes an exact copy of the default, keys of the other device included.
    QByteArray defaults = storesReadAll(store.defaultPath());
    QVERIFY(!defaults.isEmpty());
    defaults += "\n[color]\nledType=1, 2, 3, 4, 5\n";
    QVERIFY(storesWriteAll(store.defaultPath(), defaults));
    QVERIFY(store.resetSlot(3));
    QCOMPARE(storesReadAll(work.file(QStringLiteral("modules/setting/p4.bin"))), defaults);
    // Other slots are untouched.
    QCOMPARE(storesReadAll(store.slotPath(2)), storesReadAll(storesSourceModules() + "/setting/p3.bin"));
}

void TestProfileStore::failedCopiesKeepTheOldFile()
{
    StoresWorkFolder work;
    const ProfileStore store;
    const QByteArray before = "[sensor]\nstage_Z3=7\n";
    QVERIFY(storesWriteAll(store.slotPath(0), before));

    // Import from a file that is gone.
    QVERIFY(!store.importSlot(0, work.file(QStringLiteral("missing.pf"))));
    QCOMPARE(storesReadAll(store.slotPath(0)), before);

    // Reset without a default profile.
    QVERIFY(QFile::remove(store.defaultPath()));
    QVERIFY(!store.resetSlot(0));
    QCOMPARE(storesReadAll(store.slotPath(0)), before);

    // Export of a missing slot file leaves an earlier export in place.
    const QString target = work.file(QStringLiteral("earlier.pf"));
    QVERIFY(storesWriteAll(target, "earlier"));
    QVERIFY(QFile::remove(store.slotPath(4)));
    QVERIFY(!store.exportSlot(4, target));
    QCOMPARE(storesReadAll(target), QByteArray("earlier"));

    // Export into a folder that does not exist fails without side effects.
    QVERIFY(!store.exportSlot(0, work.file(QStringLiteral("no/such/folder/x.pf"))));
    QVERIFY(!QFileInfo::exists(work.file(QStringLiteral("no"))));

    // No temporary copies are left beside the slot files.
    const QStringList left = QDir(work.file(QStringLiteral("modules/setting"))).entryList(QDir::Files);
    for (const QString &name : left)
        QVERIFY2(name.endsWith(QStringLiteral(".bin")), qPrintable(name));
}

void TestProfileStore::slotsOutsideTheRangeAreRefused()
{
    StoresWorkFolder work;
    const ProfileStore store;
    const QString pf = work.file(QStringLiteral("x.pf"));
    QVERIFY(storesWriteAll(pf, "[a]\nb=1\n"));
    for (int slot : {-1, 10, 1000}) {
        QVERIFY(store.slotPath(slot).isEmpty());
        QVERIFY(!store.importSlot(slot, pf));
        QVERIFY(!store.resetSlot(slot));
        QVERIFY(!store.exportSlot(slot, work.file(QStringLiteral("y.pf"))));
    }
    QVERIFY(!QFileInfo::exists(work.file(QStringLiteral("modules/setting/p0.bin"))));
    QVERIFY(!QFileInfo::exists(work.file(QStringLiteral("modules/setting/p11.bin"))));
    QVERIFY(!QFileInfo::exists(work.file(QStringLiteral("y.pf"))));
}

void TestProfileStore::keyDefinitionDefaultsJoinTheSixteenLists()
{
    StoresWorkFolder work(false);
    const QString pd = work.file(QStringLiteral("pd.bin"));
    {
        QSettings s(pd, QSettings::IniFormat);
        for (int n = 0; n < 16; ++n) {
            if (n == 7)
                continue; // a missing list contributes nothing
            s.setValue(QStringLiteral("keydefine_Z3/%1").arg(n),
                       QStringList{QString::number(n), QStringLiteral("0"), QString::number(100 + n),
                                   QStringLiteral("0")});
        }
    }
    const QVariantList keys = ProfileStore::loadDefaultProfile(pd, 0);
    QCOMPARE(keys.size(), 60);
    QCOMPARE(keys.at(0).toString(), QStringLiteral("0"));
    QCOMPARE(keys.at(2).toString(), QStringLiteral("100"));
    QCOMPARE(keys.at(4 * 6 + 2).toString(), QStringLiteral("106"));
    QCOMPARE(keys.at(4 * 7 + 2).toString(), QStringLiteral("108")); // 8 follows 6 directly
    QCOMPARE(keys.at(59).toString(), QStringLiteral("0"));
    QCOMPARE(keys.at(4 * 14 + 2).toString(), QStringLiteral("115"));
    QCOMPARE(keys.at(0).typeId(), int(QMetaType::QString));

    QVERIFY(ProfileStore::loadDefaultProfile(pd, 1).isEmpty());
    QVERIFY(ProfileStore::loadDefaultProfile(pd, 4).isEmpty());
    QVERIFY(ProfileStore::loadDefaultProfile(pd, 255).isEmpty());
}

void TestProfileStore::colourDefaultsArePaletteThenEffect()
{
    StoresWorkFolder work(false);
    const QString pd = work.file(QStringLiteral("pd.bin"));
    QVERIFY(storesWriteAll(pd,
                           "[color_Z3]\ntype0=1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, "
                           "19, 20, 21, 22, 23, 24\nledEffect=9, 3, 6\n"));
    const QVariantList colours = ProfileStore::loadDefaultProfile(pd, 2);
    QCOMPARE(colours.size(), 27);
    QCOMPARE(colours.at(0).toString(), QStringLiteral("1"));
    QCOMPARE(colours.at(23).toString(), QStringLiteral("24"));
    QCOMPARE(colours.at(24).toString(), QStringLiteral("9"));
    QCOMPARE(colours.at(25).toString(), QStringLiteral("3"));
    QCOMPARE(colours.at(26).toString(), QStringLiteral("6"));
}

void TestProfileStore::sensorDefaultsHaveFortyFiveItemsAndIntegerDefaults()
{
    StoresWorkFolder work(false);
    const QString pd = work.file(QStringLiteral("pd.bin"));
    // Lists present, the integer keys missing.
    QVERIFY(storesWriteAll(pd, "[sensor]\ndpi_Z3=250, 500, 750, 1000, 0, 0, 0, 0\n"
                               "[color_Z3]\ntype1=" +
                                   QByteArray("31, ").repeated(23) + "31\ntype2=7, 6, 5, 4, 3, 2, 1, 0\n"));
    QVariantList sensor = ProfileStore::loadDefaultProfile(pd, 3);
    QCOMPARE(sensor.size(), 45);
    QCOMPARE(sensor.at(0), QVariant(2));
    QCOMPARE(sensor.at(1), QVariant(5));
    QCOMPARE(sensor.at(2), QVariant(2));
    QCOMPARE(sensor.at(3), QVariant(5));
    QCOMPARE(sensor.at(4).toString(), QStringLiteral("250"));
    QCOMPARE(sensor.at(11).toString(), QStringLiteral("0"));
    QCOMPARE(sensor.at(12), QVariant(2));
    QCOMPARE(sensor.at(13).toString(), QStringLiteral("31"));
    QCOMPARE(sensor.at(37).toString(), QStringLiteral("7"));
    QCOMPARE(sensor.at(44).toString(), QStringLiteral("0"));

    // Integer keys present are read as integers.
    {
        QSettings s(pd, QSettings::IniFormat);
        s.setValue(QStringLiteral("sensor/reportRate_Z3"), 8);
        s.setValue(QStringLiteral("sensor/stage_Z3"), 4);
        s.setValue(QStringLiteral("sensor/doubleClickSpeed_Z3"), 10);
    }
    sensor = ProfileStore::loadDefaultProfile(pd, 3);
    QCOMPARE(sensor.size(), 45);
    QCOMPARE(sensor.at(0), QVariant(8));
    QCOMPARE(sensor.at(3), QVariant(10));
    QCOMPARE(sensor.at(12), QVariant(4));
    QCOMPARE(sensor.at(12).typeId(), int(QMetaType::Int));
}

void TestProfileStore::missingDefaultProfileGivesOnlyIntegerDefaults()
{
    StoresWorkFolder work(false);
    const QString pd = work.file(QStringLiteral("absent.bin"));
    QCOMPARE(ProfileStore::loadDefaultProfile(pd, 3), (QVariantList{2, 5, 2, 5, 2}));
    QVERIFY(ProfileStore::loadDefaultProfile(pd, 0).isEmpty());
    QVERIFY(ProfileStore::loadDefaultProfile(pd, 2).isEmpty());
    QVERIFY(!QFileInfo::exists(pd)); // reading never creates the default profile
}

QTEST_MAIN(TestProfileStore)
#include "tst_profilestore.moc"
