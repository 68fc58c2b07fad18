// The macro library: generated names, the file keys, bindings per device,
// rename/delete, import/export copies, and names that try to leave the
// macro folder.

#include "MacroLibrary.h"
#include "stores_WorkFolder.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QSettings>
#include <QTest>

namespace {

const QString kDown = QStringLiteral("    [Down]");

QStringList allFilesUnder(const QString &root)
{
    QStringList out;
    for (QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
        out << it.next() + QString::fromLatin1(storesReadAll(it.filePath()).toHex());
    out.sort();
    return out;
}

} // namespace

class TestMacroLibrary : public QObject {
    Q_OBJECT

private slots:
    void newMacrosFillGapsAndStartEmpty()
    {
        StoresWorkFolder work;
        const MacroLibrary lib; // "./modules/macro/"
        for (const char *name : {"Macro. 001", "Macro. 002", "Macro. 003"})
            QCOMPARE(lib.create(), QString::fromLatin1(name));
        QVERIFY(lib.remove(QStringLiteral("Macro. 002")));
        QVERIFY(!lib.remove(QStringLiteral("Macro. 002")));
        QCOMPARE(lib.create(), QStringLiteral("Macro. 002"));
        QSettings s(lib.pathFor(QStringLiteral("Macro. 002")), QSettings::IniFormat);
        QCOMPARE(s.childGroups(), QStringList{QStringLiteral("config")});
        QCOMPARE(lib.loadConfig(QStringLiteral("Macro. 002"), 1), (QVariantList{-1, 1}));
        QCOMPARE(s.value(QStringLiteral("config/total")).toInt(), 0);
        QCOMPARE(s.value(QStringLiteral("config/did")).toInt(), -1);

        // Listed with ".bin", in name order ignoring case; past 999 the number grows.
        QVERIFY(storesWriteAll(work.file(QStringLiteral("modules/macro/alpha.bin")), ""));
        QVERIFY(storesWriteAll(work.file(QStringLiteral("modules/macro/notes.txt")), ""));
        QCOMPARE(lib.fileNames(), (QStringList{"alpha.bin", "Macro. 001.bin", "Macro. 002.bin", "Macro. 003.bin"}));
        for (int n = 4; n <= 999; ++n)
            QVERIFY(storesWriteAll(lib.pathFor(QStringLiteral("Macro. %1").arg(n, 3, 10, QLatin1Char('0'))), ""));
        QCOMPARE(lib.create(), QStringLiteral("Macro. 1000"));

        // A folder that cannot exist (a file stands in its way): no name.
        QCOMPARE(MacroLibrary(work.file(QStringLiteral("modules/macro/alpha.bin/x"))).create(), QString());
        QCOMPARE(MacroLibrary(work.file(QStringLiteral("new/macro"))).create(), QStringLiteral("Macro. 001"));
    }

    void linesRoundTripAndSavingReplacesThem()
    {
        StoresWorkFolder work;
        const MacroLibrary lib;
        const QString name = lib.create();
        const QStringList lines{"A    [Down]", "100   [Delay]", ", <      [Up]", "' \"    [Down]", "\\ |      [Up]",
                                "KP 7     [Down]", QString::fromUtf8("\xE2\x96\xBA") + kDown};
        QVERIFY(lib.save(name, lines));
        QCOMPARE(lib.load(name), lines);

        // Fewer lines later: the old keys are gone, not just hidden by the total.
        QVERIFY(lib.save(name, {QStringLiteral("B") + kDown}));
        QCOMPARE(lib.load(name), QStringList{QStringLiteral("B") + kDown});
        QSettings s(lib.pathFor(name), QSettings::IniFormat);
        QCOMPARE(s.allKeys().filter(QStringLiteral("macro/")), QStringList{QStringLiteral("macro/0")});
        QVERIFY(lib.save(name, {}));
        QVERIFY(lib.load(name).isEmpty());

        QVERIFY(!lib.save(QStringLiteral("Nobody"), lines)); // a missing macro is not created
        QVERIFY(!QFileInfo::exists(lib.pathFor(QStringLiteral("Nobody"))));
        // A total larger than the lines present: missing lines read as "0".
        QVERIFY(storesWriteAll(lib.pathFor(QStringLiteral("short")), "[config]\ntotal=2\n[macro]\n0=X\n"));
        QCOMPARE(lib.load(QStringLiteral("short")), (QStringList{QStringLiteral("X"), QStringLiteral("0")}));
    }

    void bindingBelongsToTheDeviceItWasMadeFor()
    {
        StoresWorkFolder work;
        const MacroLibrary lib;
        const QString name = lib.create();
        QVERIFY(lib.setConfig(name, {4, 3}, 0)); // bound while the keyboard was current
        QCOMPARE(lib.loadConfig(name, 0), (QVariantList{4, 3}));
        QCOMPARE(lib.loadConfig(name, 1), (QVariantList{-1, 3}));
        QCOMPARE(lib.boundIndex(name), 4);
        QCOMPARE(QSettings(lib.pathFor(name), QSettings::IniFormat).value(QStringLiteral("config/did")).toInt(), 0);
        QVERIFY(lib.setConfig(name, {11, 70000}, 1));
        QCOMPARE(lib.loadConfig(name, 1), (QVariantList{11, 70000}));
        QCOMPARE(lib.repeat(name), 70000u);
        QVERIFY(!lib.setConfig(QStringLiteral("Nobody"), {1, 1}, 1) && !lib.setConfig(name, {1}, 1));
        QCOMPARE(lib.loadConfig(name, 1), (QVariantList{11, 70000}));
        QVERIFY(lib.loadConfig(QStringLiteral("Nobody"), 1).isEmpty() && !lib.exists(QStringLiteral("Nobody")));
    }

    void renameImportAndExportKeepTheOldFiles()
    {
        StoresWorkFolder work;
        const MacroLibrary lib;
        const QString first = lib.create();
        const QString second = lib.create();
        QVERIFY(lib.save(first, {QStringLiteral("A") + kDown}));
        QVERIFY(lib.save(second, {QStringLiteral("B") + kDown}));
        QVERIFY(!lib.rename(first, second)); // never over another macro
        QCOMPARE(lib.load(second), QStringList{QStringLiteral("B") + kDown});
        QVERIFY(lib.rename(first, QStringLiteral("Jump")));
        QVERIFY(!lib.exists(first));
        QCOMPARE(lib.load(QStringLiteral("Jump")), QStringList{QStringLiteral("A") + kDown});

        const QString mc = work.file(QStringLiteral("shared.mc"));
        QVERIFY(storesWriteAll(mc, "an earlier export"));
        QVERIFY(lib.exportTo(QStringLiteral("Jump"), mc));
        QCOMPARE(storesReadAll(mc), storesReadAll(lib.pathFor(QStringLiteral("Jump"))));
        const QByteArray imported = "[config]\ntotal=1\nindex=-1\nrepeat=2\ndid=-1\n[macro]\n0=Z    [Down]\n";
        QVERIFY(storesWriteAll(mc, imported));
        QVERIFY(lib.importFrom(second, mc));
        QCOMPARE(storesReadAll(lib.pathFor(second)), imported);
        QVERIFY(!lib.importFrom(second, work.file(QStringLiteral("gone.mc"))));
        QCOMPARE(storesReadAll(lib.pathFor(second)), imported);
        QVERIFY(!lib.exportTo(second, work.file(QStringLiteral("no/folder/x.mc"))));
        QVERIFY(!lib.importFrom(QStringLiteral("Nobody"), mc) && !lib.exists(QStringLiteral("Nobody")));
        QVERIFY(!lib.exportTo(QStringLiteral("Nobody"), work.file(QStringLiteral("n.mc"))));
        QVERIFY(!QFileInfo::exists(work.file(QStringLiteral("n.mc"))));
    }

    void namesWithDotsAreOrdinaryMacros_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"Rapid fire...", "a..b", "...", ".quick", "..x"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    // Files already in the folder under such names are listed and work like any
    // other macro; renaming to them keeps the macro in the list.
    void namesWithDotsAreOrdinaryMacros()
    {
        QFETCH(QString, name);
        StoresWorkFolder work;
        const MacroLibrary lib;
        QVERIFY(storesWriteAll(work.file(QStringLiteral("modules/macro/") + name + QStringLiteral(".bin")),
                               "[config]\ntotal=1\nindex=-1\n[macro]\n0=A    [Down]\n"));
        QCOMPARE(lib.fileNames(), QStringList{name + QStringLiteral(".bin")});
        QCOMPARE(lib.load(name), QStringList{QStringLiteral("A") + kDown});
        QVERIFY(lib.save(name, {QStringLiteral("B") + kDown}));
        QVERIFY(lib.setConfig(name, {3, 2}, 1));
        QCOMPARE(lib.loadConfig(name, 1), (QVariantList{3, 2}));
        const QString mc = work.file(QStringLiteral("out.mc"));
        QVERIFY(lib.exportTo(name, mc));
        QVERIFY(lib.importFrom(name, mc));
        QVERIFY(lib.rename(name, QStringLiteral("Plain")));
        QVERIFY(lib.rename(QStringLiteral("Plain"), name));
        QCOMPARE(lib.fileNames(), QStringList{name + QStringLiteral(".bin")});
        QCOMPARE(lib.load(name), QStringList{QStringLiteral("B") + kDown});
        QVERIFY(lib.remove(name));
        QVERIFY(lib.fileNames().isEmpty());
    }

    void namesReachingOutsideTheFolderAreRefused_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"../x", "../../modules/setting/p1", "..", ".", "a/b", "a\\b", "/tmp/x", "", "   "})
            QTest::addRow("'%s'", name) << QString::fromLatin1(name);
    }

    void namesReachingOutsideTheFolderAreRefused()
    {
        QFETCH(QString, name);
        StoresWorkFolder work;
        const MacroLibrary lib;
        const QString existing = lib.create();
        QVERIFY(storesWriteAll(work.file(QStringLiteral("x.bin")), "[config]\ntotal=1\n[macro]\n0=A    [Down]\n"));
        QVERIFY(storesWriteAll(work.file(QStringLiteral("modules/macro/a/b.bin")), "[config]\ntotal=0\n"));
        const QString mc = work.file(QStringLiteral("in.mc"));
        QVERIFY(storesWriteAll(mc, "[config]\ntotal=0\n"));
        const QStringList before = allFilesUnder(work.path());
        QVERIFY(!MacroLibrary::isValidName(name));
        QVERIFY(lib.pathFor(name).isEmpty() && !lib.exists(name) && lib.load(name).isEmpty());
        QVERIFY(!lib.save(name, {QStringLiteral("B") + kDown}) && !lib.setConfig(name, {1, 1}, 1));
        QVERIFY(lib.loadConfig(name, 1).isEmpty() && !lib.remove(name));
        QVERIFY(!lib.rename(existing, name) && !lib.rename(name, QStringLiteral("stolen")));
        QVERIFY(!lib.importFrom(name, mc) && !lib.exportTo(name, work.file(QStringLiteral("out.mc"))));
        QCOMPARE(allFilesUnder(work.path()), before); // every file there, byte for byte
    }

    void damagedTotalIsBounded()
    {
        StoresWorkFolder work;
        const MacroLibrary lib;
        QVERIFY(storesWriteAll(lib.pathFor("huge"), "[config]\ntotal=2147483647\n[macro]\n0=A    [Down]\n"));
        QVERIFY(storesWriteAll(lib.pathFor("over"), "[config]\ntotal=2147483648\n"));
        QVERIFY(storesWriteAll(lib.pathFor("negative"), "[config]\ntotal=-3\n"));
        QElapsedTimer timer;
        timer.start();
        const QStringList huge = lib.load(QStringLiteral("huge"));
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(huge.size(), MacroLibrary::kMaxLines);
        QCOMPARE(huge.at(0), QStringLiteral("A    [Down]"));
        QVERIFY(lib.load(QStringLiteral("over")).isEmpty() && lib.load(QStringLiteral("negative")).isEmpty());
    }
};

QTEST_MAIN(TestMacroLibrary)
#include "tst_macrolibrary.moc"
