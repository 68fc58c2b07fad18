// The view's store slots with their dialogs answered from a script: profile
// export, import and reset replace the slot's store in place; the
// configuration reset, the language strings with their message texts, the
// picture picker's warning, and macro import/export/rename/delete.

#include "myQQuickView.h"
#include "stores_WorkFolder.h"

#include <QCoreApplication>
#include <QEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

void runDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestStoreSlots : public QObject {
    Q_OBJECT

private slots:
    void exportAsksForATargetAndCopiesTheSlot();
    void importReplacesTheCurrentSlotsStore();
    void resetMakesAnExactCopyOfTheDefault();
    void failedImportKeepsSlotAndStore();
    void configurationSaveLoadAndReset();
    void languageStringsRefillTheMessages();
    void picturePickerWarnsAboutUnreadableFiles();
    void macroFilesThroughTheView();
};

void TestStoreSlots::exportAsksForATargetAndCopiesTheSlot()
{
    StoresWorkFolder work;
    ScriptedDialogs dialogs;
    myQQuickView view;
    QVERIFY(storesWriteAll(work.file(QStringLiteral("modules/setting/p10.bin")), "[sensor]\nstage_Z3=4\n"));
    const QString target = work.file(QStringLiteral("out.pf"));
    dialogs.answer({target, QString()});
    view.saveProfile(9);
    QCOMPARE(storesReadAll(target), QByteArray("[sensor]\nstage_Z3=4\n"));
    QCOMPARE(dialogs.log().value(0), QStringLiteral("save\tSave File\tProfile(*.pf)"));

    // Cancelled: nothing written.
    QVERIFY(QFile::remove(target));
    view.saveProfile(9);
    QVERIFY(!QFileInfo::exists(target));
    QCOMPARE(dialogs.log().size(), 2);
}

void TestStoreSlots::importReplacesTheCurrentSlotsStore()
{
    StoresWorkFolder work;
    ScriptedDialogs dialogs;
    myQQuickView view;
    QCOMPARE(view.currentProfileIndex(), 0);
    QCOMPARE(view.profileValue(QStringLiteral("sensor/stage_Z3")).toInt(), 2); // the delivered slot
    const QString pf = work.file(QStringLiteral("in.pf"));
    const QByteArray content = "[sensor]\nstage_Z3=6\ndpi_Z3=250, 500, 750, 0, 0, 0, 0, 0\n";
    QVERIFY(storesWriteAll(pf, content));
    dialogs.answer({pf});
    view.loadProfile(0);
    QCOMPARE(dialogs.log().value(0), QStringLiteral("open\tOpen File\tProfile(*.pf)"));
    QCOMPARE(storesReadAll(work.file(QStringLiteral("modules/setting/p1.bin"))), content);
    QCOMPARE(view.profileValue(QStringLiteral("sensor/stage_Z3")).toInt(), 6);
    QCOMPARE(view.profileList(QStringLiteral("sensor/dpi_Z3")).size(), 8);
    QVERIFY(!view.profileValue(QStringLiteral("color_Z3/type0")).isValid()); // nothing of the old slot

    // The released store does not write its old view back, and writes after
    // the import go to the new file.
    runDeferredDeletes();
    view.profileWrite(QStringLiteral("sensor/reportRate_Z3"), 4);
    QSettings onDisk(work.file(QStringLiteral("modules/setting/p1.bin")), QSettings::IniFormat);
    QCOMPARE(onDisk.value(QStringLiteral("sensor/stage_Z3")).toInt(), 6);
    QCOMPARE(onDisk.value(QStringLiteral("sensor/reportRate_Z3")).toInt(), 4);
    QVERIFY(!onDisk.contains(QStringLiteral("color_Z3/type0")));
}

void TestStoreSlots::resetMakesAnExactCopyOfTheDefault()
{
    StoresWorkFolder work;
    ScriptedDialogs dialogs;
    myQQuickView view;
    view.profileWrite(QStringLiteral("sensor/stage_Z3"), 7);
    view.profileWrite(QStringLiteral("keydefine/3"), QVariantList{1, 2, 3, 4});
    view.resetProfile(0);
    runDeferredDeletes();
    QCOMPARE(storesReadAll(work.file(QStringLiteral("modules/setting/p1.bin"))),
             storesReadAll(work.file(QStringLiteral("modules/setting/pD.bin"))));
    QCOMPARE(view.profileValue(QStringLiteral("sensor/stage_Z3")).toInt(), 2);
    QVERIFY(!view.profileValue(QStringLiteral("keydefine/3")).isValid());
    QVERIFY(dialogs.log().isEmpty()); // no dialog for a reset

    // Another slot: its file is reset, the current one is untouched.
    view.profileWrite(QStringLiteral("sensor/stage_Z3"), 3);
    QVERIFY(storesWriteAll(work.file(QStringLiteral("modules/setting/p5.bin")), "[x]\ny=1\n"));
    view.resetProfile(4);
    QCOMPARE(storesReadAll(work.file(QStringLiteral("modules/setting/p5.bin"))),
             storesReadAll(work.file(QStringLiteral("modules/setting/pD.bin"))));
    QCOMPARE(view.profileValue(QStringLiteral("sensor/stage_Z3")).toInt(), 3);

    QCOMPARE(view.loadDefaultProfile(3).size(), 45);
    QCOMPARE(view.loadDefaultProfile(0).size(), 64);
    QCOMPARE(view.loadDefaultProfile(2).size(), 27);
    QVERIFY(view.loadDefaultProfile(1).isEmpty());
}

void TestStoreSlots::failedImportKeepsSlotAndStore()
{
    StoresWorkFolder work;
    ScriptedDialogs dialogs;
    myQQuickView view;
    view.profileWrite(QStringLiteral("sensor/stage_Z3"), 5);
    view.flushProfiles();
    const QByteArray before = storesReadAll(work.file(QStringLiteral("modules/setting/p1.bin")));
    QVERIFY(before.contains("stage_Z3=5"));
    QSettings *store = view.currentProfile();
    dialogs.answer({work.file(QStringLiteral("vanished.pf"))});
    view.loadProfile(0);
    QCOMPARE(view.currentProfile(), store);
    QCOMPARE(storesReadAll(work.file(QStringLiteral("modules/setting/p1.bin"))), before);

    QVERIFY(QFile::remove(work.file(QStringLiteral("modules/setting/pD.bin"))));
    view.resetProfile(0);
    QCOMPARE(view.currentProfile(), store);
    QCOMPARE(view.profileValue(QStringLiteral("sensor/stage_Z3")).toInt(), 5);
    QCOMPARE(storesReadAll(work.file(QStringLiteral("modules/setting/p1.bin"))), before);

    view.resetProfile(-1); // refused, no crash
    view.resetProfile(10);
    QVERIFY(!QFileInfo::exists(work.file(QStringLiteral("modules/setting/p11.bin"))));
}

void TestStoreSlots::configurationSaveLoadAndReset()
{
    StoresWorkFolder work;
    myQQuickView view;
    const QVariantList delivered = view.loadApConfig();
    QCOMPARE(delivered.size(), 32);
    QCOMPARE(view.loadDeviceApConfig(), QVariantList{8});

    QVariantList changed = delivered;
    changed[1] = 2;
    changed[31] = QStringLiteral("https://example.org/");
    view.saveApConfig(changed);
    {
        QSettings onDisk(work.file(QStringLiteral("modules/setting/apConfig.bin")), QSettings::IniFormat);
        QCOMPARE(onDisk.value(QStringLiteral("common/1")).toInt(), 2);
    }
    QCOMPARE(view.loadApConfig().at(31).toString(), QStringLiteral("https://example.org/"));

    view.resetApconfig();
    runDeferredDeletes();
    QCOMPARE(storesReadAll(work.file(QStringLiteral("modules/setting/apConfig.bin"))),
             storesReadAll(work.file(QStringLiteral("modules/setting/apConfigD.bin"))));
    QCOMPARE(view.loadApConfig().at(1).toInt(), 1);

    // Without the default the configuration is kept.
    view.saveApConfig(changed);
    QVERIFY(QFile::remove(work.file(QStringLiteral("modules/setting/apConfigD.bin"))));
    view.resetApconfig();
    QCOMPARE(view.loadApConfig().at(1).toInt(), 2);

    QVERIFY(!view.getIsSkinShow());
    QVERIFY(QDir().mkpath(work.file(QStringLiteral("modules/img/skin1"))));
    QVERIFY(QDir().mkpath(work.file(QStringLiteral("modules/img/skin2"))));
    QVERIFY(view.getIsSkinShow());
}

void TestStoreSlots::languageStringsRefillTheMessages()
{
    StoresWorkFolder work;
    myQQuickView view;
    QVERIFY(view.messageStrings().isEmpty());
    const QVariantMap languages = view.chkLanguages();
    QCOMPARE(languages.keys(), (QStringList{QStringLiteral("CHINESE (Simp)"),
                                            QStringLiteral("CHINESE (Trad)"), QStringLiteral("ENGLISH")}));
    const QStringList english = view.getGlobalStrings(QStringLiteral("031000"));
    QCOMPARE(english.size(), 116);
    QCOMPARE(view.messageStrings().size(), 6);
    QCOMPARE(view.messageStrings().at(0), QStringLiteral("MACRO"));
    const QStringList englishMessages = view.messageStrings();

    view.getGlobalStrings(QStringLiteral("025208"));
    QCOMPARE(view.messageStrings().size(), 6);
    QVERIFY(view.messageStrings() != englishMessages);

    view.getGlobalStrings(QStringLiteral("999999"));
    QCOMPARE(view.messageStrings(), QStringList(6, QString()));
    QCOMPARE(view.getProductLayoutStrings_Z3(QStringLiteral("031000")).size(), 16);
    QCOMPARE(view.getProductLayoutStrings_Z3(QStringLiteral("031000")).at(7), QString());
    QVERIFY(!view.getProductLayoutStrings_Z3(QStringLiteral("031000")).at(15).isEmpty());
}

void TestStoreSlots::picturePickerWarnsAboutUnreadableFiles()
{
    StoresWorkFolder work;
    ScriptedDialogs dialogs;
    myQQuickView view;
    view.getGlobalStrings(QStringLiteral("031000"));
    const QString picture = work.file(QStringLiteral("pic.png"));
    QVERIFY(storesWriteAll(picture, "not really a png"));
    const QString missing = work.file(QStringLiteral("gone.png"));
    dialogs.answer({picture, missing, QStringLiteral("ok"), QString()});

    QCOMPARE(view.getCustomFilePath(), picture);
    QCOMPARE(view.getCustomFilePath(), QString());
    QCOMPARE(view.getCustomFilePath(), QString()); // cancelled
    const QStringList log = dialogs.log();
    QCOMPARE(log.size(), 4);
    QCOMPARE(log.at(0), QStringLiteral("open\tOpen File\tImage Files(*.png)"));
    const QStringList warning = log.at(2).split(QLatin1Char('\t'));
    QCOMPARE(warning.at(0), QStringLiteral("warning"));
    QCOMPARE(warning.at(1), view.messageStrings().at(2));
    QCOMPARE(warning.at(2),
             QString(view.messageStrings().at(3) + missing).replace('\n', QStringLiteral("\\n")));
}

void TestStoreSlots::macroFilesThroughTheView()
{
    StoresWorkFolder work;
    ScriptedDialogs dialogs;
    myQQuickView view;
    QVERIFY(QDir(work.file(QStringLiteral("modules/macro"))).removeRecursively()); // created on demand
    const QString name = view.createMacroIni().toString();
    QCOMPARE(name, QStringLiteral("Macro. 001"));
    QCOMPARE(view.getMacroIniNames(), QStringList{QStringLiteral("Macro. 001.bin")});
    QVERIFY(view.saveMacroIni(name, {QStringLiteral("A    [Down]")}).toBool());

    const QString mc = work.file(QStringLiteral("m.mc"));
    dialogs.answer({mc, QString()});
    view.saveMacroIniToFile(name);
    QCOMPARE(storesReadAll(mc), storesReadAll(work.file(QStringLiteral("modules/macro/Macro. 001.bin"))));
    QCOMPARE(dialogs.log().value(0), QStringLiteral("save\tSave File\tMacro(*.mc)"));

    const QByteArray other = "[config]\ntotal=1\nindex=-1\nrepeat=1\ndid=-1\n[macro]\n0=B    [Down]\n";
    QVERIFY(storesWriteAll(mc, other));
    dialogs.answer({mc});
    view.loadMacroIniFromFile(name);
    QCOMPARE(view.loadMacroIni(name), QStringList{QStringLiteral("B    [Down]")});

    // Import onto a name without a file: nothing happens.
    dialogs.answer({mc});
    view.loadMacroIniFromFile(QStringLiteral("Nobody"));
    QVERIFY(!QFileInfo::exists(work.file(QStringLiteral("modules/macro/Nobody.bin"))));
    // A refused name asks nothing.
    const int asked = dialogs.log().size();
    view.loadMacroIniFromFile(QStringLiteral("../evil"));
    view.saveMacroIniToFile(QStringLiteral("../evil"));
    QCOMPARE(dialogs.log().size(), asked);

    view.renameMacroIniFile(name, QStringLiteral("../escaped"));
    QVERIFY(!QFileInfo::exists(work.file(QStringLiteral("modules/escaped.bin"))));
    view.renameMacroIniFile(name, QStringLiteral("Jump"));
    QCOMPARE(view.getMacroIniNames(), QStringList{QStringLiteral("Jump.bin")});
    QCOMPARE(view.deleteMacroIni(QStringLiteral("Jump")).toBool(), true);
    QCOMPARE(view.deleteMacroIni(QStringLiteral("Jump")).toBool(), false);
    QVERIFY(view.getMacroIniNames().isEmpty());
}

QTEST_MAIN(TestStoreSlots)
#include "tst_storeslots.moc"
