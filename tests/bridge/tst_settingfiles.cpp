// Setting files: whole-file slot copies that never lose the old file, the writer, defaults, apConfig.

#include "AppConfigStore.h"
#include "LanguageStore.h"
#include "ProfileStore.h"
#include "myQQuickView.h"
#include "stores_WorkFolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

class TestSettingFiles : public QObject {
    Q_OBJECT

private slots:
    void copiesReplaceWholeSlotFilesOrKeepTheOldOne()
    {
        StoresWorkFolder work;
        const ProfileStore store;
        for (int slot = 0; slot < ProfileStore::kSlotCount; ++slot) // a wrong slot shows
            QVERIFY(writeFile(store.slotPath(slot), "[s]\nn=" + QByteArray::number(slot) + "\n"));
        const QString target = work.file(QStringLiteral("exported.pf"));
        QVERIFY(writeFile(target, "old export"));
        QVERIFY(store.exportSlot(9, target));
        QCOMPARE(fileBytes(target), QByteArray("[s]\nn=9\n"));
        QVERIFY(writeFile(target, "[s]\nn=imported\n"));
        QVERIFY(store.importSlot(3, target));
        QCOMPARE(fileBytes(work.file(QStringLiteral("modules/setting/p4.bin"))), QByteArray("[s]\nn=imported\n"));
        // A reset is an exact copy of the default, keys of the other device included.
        const QByteArray defaults = fileBytes(store.defaultPath()) + "\n[color]\nledType=1, 2, 3, 4, 5\n";
        QVERIFY(writeFile(store.defaultPath(), defaults));
        QVERIFY(store.resetSlot(3));
        QCOMPARE(fileBytes(store.slotPath(3)), defaults);
        QCOMPARE(fileBytes(store.slotPath(2)), QByteArray("[s]\nn=2\n"));

        // Failures keep every file as it was.
        QVERIFY(!store.importSlot(0, work.file(QStringLiteral("missing.pf"))));
        QVERIFY(!store.exportSlot(0, work.file(QStringLiteral("no/such/folder/x.pf"))));
        QVERIFY(QFile::remove(store.defaultPath()) && QFile::remove(store.slotPath(4)));
        QVERIFY(!store.resetSlot(0) && !store.exportSlot(4, target));
        for (int slot : {-1, 10})
            QVERIFY(!store.importSlot(slot, target) && !store.resetSlot(slot) && !store.exportSlot(slot, target));
        QCOMPARE(fileBytes(store.slotPath(0)) + fileBytes(target), QByteArray("[s]\nn=0\n[s]\nn=imported\n"));
        QCOMPARE(QDir(work.file(QStringLiteral("modules/setting"))).entryList(QDir::Files).size(), 11);
        QVERIFY(!QFileInfo::exists(work.file(QStringLiteral("no"))));
    }

    void writerRewritesTheWholeFile()
    {
        StoresWorkFolder work(false);
        const QString path = work.file(QStringLiteral("p1.bin"));
        QVERIFY(writeFile(path, "[old]\ngone=1\n"));
        QMap<QString, QVariant> values{{QStringLiteral("sensor/stage_Z3"), 6},
                                       {QStringLiteral("keydefine_Z3/3"), QVariantList{1, 0, 0xF2, 0}}};
        QVERIFY(ProfileWriter::write(path, values));
        QCOMPARE(fileBytes(path), QByteArray("[keydefine_Z3]\n3=1, 0, 242, 0\n\n[sensor]\nstage_Z3=6\n"));
        QCOMPARE(QDir(work.path()).entryList(QDir::Files), QStringList{QStringLiteral("p1.bin")});
        // A folder that cannot exist (a file stands in its way) is reported.
        QVERIFY(!ProfileWriter::write(path + QStringLiteral("/p2.bin"), values));
        QCOMPARE(QDir(work.path()).entryList(QDir::Files), QStringList{QStringLiteral("p1.bin")});
    }

    void defaultsPerPage()
    {
        StoresWorkFolder work(false);
        const QString pd = work.file(QStringLiteral("pd.bin"));
        QCOMPARE(ProfileStore::loadDefaultProfile(pd, 3), (QVariantList{2, 5, 2, 5, 2})); // no file: integers only
        QVERIFY(ProfileStore::loadDefaultProfile(pd, 0).isEmpty() && !QFileInfo::exists(pd)); // nor makes one
        QByteArray text = "[color_Z3]\nledEffect=9, 3, 6\ntype0=1, 2\ntype1=31\ntype2=7\n"
                          "[sensor]\ndpi_Z3=250, 500\nstage_Z3=4\n[keydefine_Z3]\n";
        for (int n = 0; n < 16; ++n) // a missing list (7) contributes nothing
            text += n == 7 ? QByteArray() : QStringLiteral("%1=%1, 0, %2, 0\n").arg(n).arg(100 + n).toLatin1();
        QVERIFY(writeFile(pd, text));
        const QVariantList keys = ProfileStore::loadDefaultProfile(pd, 0);
        QCOMPARE(keys.size(), 60);
        QCOMPARE(keys.at(4 * 6 + 2).toString(), QStringLiteral("106"));
        QCOMPARE(keys.at(4 * 7 + 2).toString(), QStringLiteral("108")); // 8 follows 6 directly
        QCOMPARE(ProfileStore::loadDefaultProfile(pd, 2), (QVariantList{"1", "2", "9", "3", "6"}));
        QCOMPARE(ProfileStore::loadDefaultProfile(pd, 3), (QVariantList{2, 5, 2, 5, "250", "500", 4, "31", "7"}));
        QVERIFY(ProfileStore::loadDefaultProfile(pd, 1).isEmpty());
    }

    void viewImportAndResetSwapTheCurrentStore()
    {
        StoresWorkFolder work;
        ScriptedDialogs dialogs;
        myQQuickView view;
        const QString p1 = work.file(QStringLiteral("modules/setting/p1.bin"));
        QVERIFY(writeFile(work.file(QStringLiteral("in.pf")), "[sensor]\nstage_Z3=6\n"));
        dialogs.answer({work.file(QStringLiteral("in.pf"))});
        view.loadProfile(0);
        QCOMPARE(view.profileValue(QStringLiteral("sensor/stage_Z3")).toInt(), 6);
        QVERIFY(!view.profileValue(QStringLiteral("color_Z3/type0")).isValid()); // nothing of the old slot
        // The released store does not write its old view back.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        view.profileWrite(QStringLiteral("sensor/reportRate_Z3"), 4);
        view.flushProfiles();
        const QByteArray written = fileBytes(p1);
        QCOMPARE(written, QByteArray("[sensor]\nreportRate_Z3=4\nstage_Z3=6\n"));

        // A failed import or reset keeps the store and the file.
        QSettings *store = view.currentProfile();
        dialogs.answer({work.file(QStringLiteral("vanished.pf"))});
        view.loadProfile(0);
        QVERIFY(QFile::remove(work.file(QStringLiteral("modules/setting/pD.bin"))));
        view.resetProfile(0);
        QCOMPARE(view.currentProfile(), store);
        QCOMPARE(fileBytes(p1), written);
    }

    void listRoundTripsWithItsTypes()
    {
        StoresWorkFolder work(false);
        const QString path = work.file(QStringLiteral("apConfig.bin"));
        {
            QSettings s(path, QSettings::IniFormat);
            AppConfigStore::save(s, QVariantList(40, 7));
            AppConfigStore::save(s, {1, true, QStringLiteral("file:/home/u/a, b.png"), QString()});
        }
        QVERIFY(fileBytes(path).contains("1=true"));
        QSettings fresh(path, QSettings::IniFormat);
        QCOMPARE(fresh.value(QStringLiteral("common/39")).toInt(), 7); // a shorter list leaves old entries
        QCOMPARE(QVariant(AppConfigStore::load(fresh)).toStringList(),
                 (QStringList{"1", "true", "file:/home/u/a, b.png", QString()}));
        QCOMPARE(AppConfigStore::loadDeviceApConfig(fresh), QVariantList{8}); // eight stages by default

        QVERIFY(writeFile(path, "[common]\ntotal=3\n0=1\n[Z3]\ncolorMaxStage=5\n"));
        QSettings partial(path, QSettings::IniFormat);
        QCOMPARE(AppConfigStore::load(partial), (QVariantList{"1", 0, 0})); // missing entries read as 0
        QCOMPARE(AppConfigStore::loadDeviceApConfig(partial), QVariantList{5}); // an integer
        // Damaged totals are bounded.
        for (const char *total : {"", "total=2147483648", "total=-5", "total=lots", "total=2147483647"}) {
            const QString file = work.file(QStringLiteral("t") + QLatin1String(total));
            QVERIFY(writeFile(file, "[common]\n" + QByteArray(total) + "\n0=1\n"));
            QElapsedTimer timer;
            timer.start();
            const qsizetype size = AppConfigStore::load(QSettings(file, QSettings::IniFormat)).size();
            QVERIFY(timer.elapsed() < 2000);
            QCOMPARE(size, QByteArray(total).endsWith("47") ? AppConfigStore::kMaxEntries : 0);
        }
    }

    void resetAndSkinChoice()
    {
        StoresWorkFolder work;
        const QString path = work.file(QStringLiteral("modules/setting/apConfig.bin"));
        const QString defaults = work.file(QStringLiteral("modules/setting/apConfigD.bin"));
        QVERIFY(writeFile(defaults, fileBytes(defaults) + "\n[extra]\nkept=1\n"));
        QVERIFY(writeFile(path, "[common]\ntotal=1\n0=9\n") && AppConfigStore::resetFromDefault(path, defaults));
        QCOMPARE(fileBytes(path), fileBytes(defaults));
        QVERIFY(writeFile(path, "[common]\ntotal=1\n0=9\n") && QFile::remove(defaults));
        QVERIFY(!AppConfigStore::resetFromDefault(path, defaults)); // no default: the file stays
        QCOMPARE(fileBytes(path), QByteArray("[common]\ntotal=1\n0=9\n"));

        // The skin choice needs two skin folders; a file is no skin.
        const QString img = work.file(QStringLiteral("img"));
        QVERIFY(QDir().mkpath(img + "/skin1") && writeFile(img + "/skin2", "a file"));
        QVERIFY(!AppConfigStore::isSkinShow(img));
        QVERIFY(QFile::remove(img + "/skin2") && QDir().mkpath(img + "/skin2"));
        QVERIFY(AppConfigStore::isSkinShow(img));
    }

    void deliveredSettingFiles()
    {
        const QString dir = storesSourceModules() + QStringLiteral("/setting/");
        const QStringList languages = LanguageStore::chkLanguages(storesSourceModules() + "/i18n").keys();
        for (const char *name : {"apConfig.bin", "apConfigD.bin"}) {
            const QSettings s(dir + QLatin1String(name), QSettings::IniFormat);
            QCOMPARE(AppConfigStore::loadDeviceApConfig(s), QVariantList{8});
            const QVariantList list = AppConfigStore::load(s);
            QCOMPARE(list.size(), 32);
            QCOMPARE(languages.value(list.at(4).toInt()), QStringLiteral("ENGLISH")); // its position in the list
        }
        const auto page = [&](int id) { return ProfileStore::loadDefaultProfile(dir + "pD.bin", uchar(id)); };
        QCOMPARE((QList<qsizetype>{page(0).size(), page(2).size(), page(3).size()}), (QList<qsizetype>{64, 27, 45}));
        QVERIFY(page(3).at(3 + page(3).at(12).toInt()).toInt() != 0); // the current stage is in use
        for (int n = 1; n <= 10; ++n)
            QCOMPARE(fileBytes(dir + QStringLiteral("p%1.bin").arg(n)), fileBytes(dir + "pD.bin"));
    }
};

QTEST_MAIN(TestSettingFiles)
#include "tst_settingfiles.moc"
