// The macro library: names, file keys, bindings per device, copies, names leaving the folder.

#include "MacroLibrary.h"
#include "stores_WorkFolder.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QSettings>
#include <QTest>

class TestMacroLibrary : public QObject {
    Q_OBJECT

private slots:
    void newMacrosFillGapsAndStartEmpty()
    {
        StoresWorkFolder work;
        const MacroLibrary lib; // "./modules/macro/"
        for (const char *name : {"Macro. 001", "Macro. 002", "Macro. 003"})
            QCOMPARE(lib.create(), QString::fromLatin1(name));
        QVERIFY(lib.remove("Macro. 002") && !lib.remove("Macro. 002"));
        QCOMPARE(lib.create(), QStringLiteral("Macro. 002"));
        QCOMPARE(fileBytes(lib.pathFor("Macro. 002")), QByteArray("[config]\ndid=-1\nindex=-1\nrepeat=1\ntotal=0\n"));
        // Listed with ".bin", in name order ignoring case; past 999 the number grows.
        QVERIFY(writeFile(lib.folder() + "alpha.bin", "") && writeFile(lib.folder() + "notes.txt", ""));
        QCOMPARE(lib.fileNames(), (QStringList{"alpha.bin", "Macro. 001.bin", "Macro. 002.bin", "Macro. 003.bin"}));
        for (int n = 4; n <= 999; ++n)
            QVERIFY(writeFile(lib.pathFor(QStringLiteral("Macro. %1").arg(n, 3, 10, QLatin1Char('0'))), ""));
        QCOMPARE(lib.create(), QStringLiteral("Macro. 1000"));
        // A folder that cannot exist (a file stands in its way): no name.
        QCOMPARE(MacroLibrary(lib.folder() + "alpha.bin/x").create(), QString());
        QCOMPARE(MacroLibrary(work.file(QStringLiteral("new/macro"))).create(), QStringLiteral("Macro. 001"));
    }

    void linesAndBindingsRoundTrip()
    {
        StoresWorkFolder work;
        const MacroLibrary lib;
        const QString name = lib.create();
        const QStringList lines{"A    [Down]", "100   [Delay]", ", <      [Up]", "' \"    [Down]", "\\ |      [Up]",
                                "KP 7     [Down]", QString::fromUtf8("\xE2\x96\xBA    [Down]")};
        QVERIFY(lib.save(name, lines));
        QCOMPARE(lib.load(name), lines);
        // Fewer lines later: the old keys are gone, not just hidden by the total.
        QVERIFY(lib.save(name, {"B    [Down]"}));
        QCOMPARE(QSettings(lib.pathFor(name), QSettings::IniFormat).allKeys().filter("macro/"), QStringList{"macro/0"});
        QCOMPARE(lib.load(name), QStringList{"B    [Down]"});
        QVERIFY(!lib.save("Nobody", lines) && !lib.exists("Nobody")); // a missing macro is not created
        // A total larger than the lines present: missing lines read as "0".
        QVERIFY(writeFile(lib.pathFor("short"), "[config]\ntotal=2\n[macro]\n0=X\n"));
        QCOMPARE(lib.load("short"), (QStringList{"X", "0"}));
        // Damaged totals are bounded.
        QVERIFY(writeFile(lib.pathFor("huge"), "[config]\ntotal=2147483647\n[macro]\n0=A    [Down]\n"));
        QVERIFY(writeFile(lib.pathFor("over"), "[config]\ntotal=2147483648\n"));
        QVERIFY(writeFile(lib.pathFor("negative"), "[config]\ntotal=-3\n"));
        QElapsedTimer timer;
        timer.start();
        const QStringList huge = lib.load("huge");
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(huge.size(), MacroLibrary::kMaxLines);
        QCOMPARE(huge.at(0), QStringLiteral("A    [Down]"));
        QVERIFY(lib.load("over").isEmpty() && lib.load("negative").isEmpty());

        // A binding belongs to the device it was made for.
        QVERIFY(lib.setConfig(name, {4, 3}, 0)); // bound while the keyboard was current
        QCOMPARE(lib.loadConfig(name, 0), (QVariantList{4, 3}));
        QCOMPARE(lib.loadConfig(name, 1), (QVariantList{-1, 3}));
        QCOMPARE(lib.boundIndex(name), 4);
        QVERIFY(lib.setConfig(name, {11, 70000}, 1));
        QCOMPARE(lib.repeat(name), 70000u);
        QVERIFY(!lib.setConfig("Nobody", {1, 1}, 1) && !lib.setConfig(name, {1}, 1));
        QCOMPARE(lib.loadConfig(name, 1), (QVariantList{11, 70000}));
        QVERIFY(lib.loadConfig("Nobody", 1).isEmpty() && !lib.exists("Nobody"));
    }

    void renameImportAndExportKeepTheOldFiles()
    {
        StoresWorkFolder work;
        const MacroLibrary lib;
        const QString first = lib.create(), second = lib.create(), mc = work.file("shared.mc");
        QVERIFY(lib.save(first, {"A    [Down]"}) && writeFile(mc, "an earlier export"));
        QVERIFY(lib.exportTo(first, mc));
        QCOMPARE(fileBytes(mc), fileBytes(lib.pathFor(first)));
        QVERIFY(!lib.rename(first, second) && lib.exists(first)); // never over another macro
        QVERIFY(writeFile(mc, "[config]\ntotal=1\n[macro]\n0=Z    [Down]\n") && lib.importFrom(second, mc));
        QVERIFY(!lib.importFrom(second, work.file("gone.mc")) && !lib.exportTo(second, work.file("no/x.mc")));
        QCOMPARE(fileBytes(lib.pathFor(second)), fileBytes(mc));
        QVERIFY(!lib.importFrom("Nobody", mc) && !lib.exportTo("Nobody", mc) && !lib.exists("Nobody"));
        QCOMPARE(lib.load(first), QStringList{"A    [Down]"});
        QCOMPARE(lib.load(second), QStringList{"Z    [Down]"});
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
        QVERIFY(writeFile(lib.folder() + name + ".bin", "[config]\ntotal=1\nindex=-1\n[macro]\n0=A    [Down]\n"));
        QCOMPARE(lib.fileNames(), QStringList{name + ".bin"});
        QCOMPARE(lib.load(name), QStringList{"A    [Down]"});
        QVERIFY(lib.save(name, {"B    [Down]"}) && lib.setConfig(name, {3, 2}, 1));
        QCOMPARE(lib.loadConfig(name, 1), (QVariantList{3, 2}));
        QVERIFY(lib.exportTo(name, work.file("out.mc")) && lib.importFrom(name, work.file("out.mc")));
        QVERIFY(lib.rename(name, "Plain") && lib.rename("Plain", name));
        QCOMPARE(lib.fileNames(), QStringList{name + ".bin"});
        QCOMPARE(lib.load(name), QStringList{"B    [Down]"});
        QVERIFY(lib.remove(name) && lib.fileNames().isEmpty());
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
        QVERIFY(writeFile(work.file("x.bin"), "[config]\ntotal=1\n[macro]\n0=A    [Down]\n"));
        QVERIFY(writeFile(lib.folder() + "a/b.bin", "[config]\ntotal=0\n"));
        QVERIFY(writeFile(work.file("in.mc"), "[config]\ntotal=0\n"));
        const auto everything = [&] { // every file there, with its bytes
            QStringList out;
            for (QDirIterator it(work.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
                out << it.next() + QString::fromLatin1(fileBytes(it.filePath()).toHex());
            return out;
        };
        const QStringList before = everything();
        QVERIFY(!MacroLibrary::isValidName(name));
        QVERIFY(lib.pathFor(name).isEmpty() && !lib.exists(name) && lib.load(name).isEmpty());
        QVERIFY(!lib.save(name, {"B    [Down]"}) && !lib.setConfig(name, {1, 1}, 1));
        QVERIFY(lib.loadConfig(name, 1).isEmpty() && !lib.remove(name));
        QVERIFY(!lib.rename(existing, name) && !lib.rename(name, "stolen"));
        QVERIFY(!lib.importFrom(name, work.file("in.mc")) && !lib.exportTo(name, work.file("out.mc")));
        QCOMPARE(everything(), before);
    }
};

QTEST_MAIN(TestMacroLibrary)
#include "tst_macrolibrary.moc"
