// The macro library: generated names, the file keys, bindings per device,
// rename/delete, import/export copies, and names that try to leave the
// macro folder.

#include "MacroLibrary.h"
#include "stores_WorkFolder.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QTest>

namespace {

const QString kDown = QStringLiteral("    [Down]");
const QString kUp = QStringLiteral("      [Up]");
const QString kDelay = QStringLiteral("   [Delay]");

QStringList allFilesUnder(const QString &root)
{
    QStringList out;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next();
    out.sort();
    return out;
}

} // namespace

class TestMacroLibrary : public QObject {
    Q_OBJECT

private slots:
    void newMacrosFillGapsAndStartEmpty();
    void numbersGrowPastThreeDigits();
    void createMakesTheFolderAndReportsFailure();
    void linesRoundTripAndSavingReplacesThem();
    void bindingBelongsToTheDeviceItWasMadeFor();
    void renameNeverOverwritesAndDeleteReports();
    void importAndExportAreAtomicCopies();
    void namesWithDotsAreOrdinaryMacros_data();
    void namesWithDotsAreOrdinaryMacros();
    void namesReachingOutsideTheFolderAreRefused_data();
    void namesReachingOutsideTheFolderAreRefused();
    void damagedTotalIsBounded();
};

void TestMacroLibrary::newMacrosFillGapsAndStartEmpty()
{
    StoresWorkFolder work;
    const MacroLibrary lib; // "./modules/macro/"
    QCOMPARE(lib.create(), QStringLiteral("Macro. 001"));
    QCOMPARE(lib.create(), QStringLiteral("Macro. 002"));
    QCOMPARE(lib.create(), QStringLiteral("Macro. 003"));
    QVERIFY(lib.remove(QStringLiteral("Macro. 002")));
    QCOMPARE(lib.create(), QStringLiteral("Macro. 002"));
    QCOMPARE(lib.create(), QStringLiteral("Macro. 004"));

    QSettings s(work.file(QStringLiteral("modules/macro/Macro. 002.bin")), QSettings::IniFormat);
    QCOMPARE(s.childGroups(), QStringList{QStringLiteral("config")});
    QCOMPARE(s.value(QStringLiteral("config/index")).toInt(), -1);
    QCOMPARE(s.value(QStringLiteral("config/total")).toInt(), 0);
    QCOMPARE(s.value(QStringLiteral("config/repeat")).toInt(), 1);
    QCOMPARE(s.value(QStringLiteral("config/did")).toInt(), -1);

    // Listing: file names with ".bin", in name order ignoring case.
    QVERIFY(storesWriteAll(work.file(QStringLiteral("modules/macro/alpha.bin")), "[config]\ntotal=0\n"));
    QVERIFY(storesWriteAll(work.file(QStringLiteral("modules/macro/Zulu.bin")), "[config]\ntotal=0\n"));
    QVERIFY(storesWriteAll(work.file(QStringLiteral("modules/macro/notes.txt")), ""));
    QCOMPARE(lib.fileNames(), (QStringList{QStringLiteral("alpha.bin"), QStringLiteral("Macro. 001.bin"),
                                           QStringLiteral("Macro. 002.bin"), QStringLiteral("Macro. 003.bin"),
                                           QStringLiteral("Macro. 004.bin"), QStringLiteral("Zulu.bin")}));
}

void TestMacroLibrary::numbersGrowPastThreeDigits()
{
    StoresWorkFolder work;
    for (int n = 1; n <= 999; ++n)
        QVERIFY(storesWriteAll(
            work.file(QStringLiteral("modules/macro/Macro. %1.bin").arg(n, 3, 10, QLatin1Char('0'))), ""));
    QCOMPARE(MacroLibrary().create(), QStringLiteral("Macro. 1000"));
}

void TestMacroLibrary::createMakesTheFolderAndReportsFailure()
{
    StoresWorkFolder work(false);
    const MacroLibrary fresh(work.file(QStringLiteral("new/macro")));
    QCOMPARE(fresh.create(), QStringLiteral("Macro. 001"));
    QVERIFY(QFileInfo::exists(work.file(QStringLiteral("new/macro/Macro. 001.bin"))));

    // A folder that cannot exist (a file stands in its way): no name.
    QVERIFY(storesWriteAll(work.file(QStringLiteral("blocker")), "x"));
    const MacroLibrary blocked(work.file(QStringLiteral("blocker/macro")));
    QCOMPARE(blocked.create(), QString());
    QCOMPARE(storesReadAll(work.file(QStringLiteral("blocker"))), QByteArray("x"));
}

void TestMacroLibrary::linesRoundTripAndSavingReplacesThem()
{
    StoresWorkFolder work;
    const MacroLibrary lib;
    const QString name = lib.create();
    const QStringList lines{QStringLiteral("A") + kDown,
                            QStringLiteral("100") + kDelay,
                            QStringLiteral("A") + kUp,
                            QStringLiteral(", <") + kDown,
                            QStringLiteral("; :") + kUp,
                            QStringLiteral("' \"") + kDown,
                            QStringLiteral("\\ |") + kUp,
                            QStringLiteral("KP 7 ") + kDown,
                            QString::fromUtf8("\xE2\x96\xBA") + kUp};
    QVERIFY(lib.save(name, lines));
    QCOMPARE(lib.load(name), lines);

    // Fewer lines later: the old keys are gone, not just hidden by the total.
    QVERIFY(lib.save(name, {QStringLiteral("B") + kDown}));
    QCOMPARE(lib.load(name), QStringList{QStringLiteral("B") + kDown});
    {
        QSettings s(lib.pathFor(name), QSettings::IniFormat);
        s.beginGroup(QStringLiteral("macro"));
        QCOMPARE(s.childKeys(), QStringList{QStringLiteral("0")});
    }

    QVERIFY(lib.save(name, {}));
    QVERIFY(lib.load(name).isEmpty());
    {
        QSettings s(lib.pathFor(name), QSettings::IniFormat);
        QCOMPARE(s.value(QStringLiteral("config/total")).toInt(), 0);
        QVERIFY(!s.childGroups().contains(QStringLiteral("macro")));
    }

    // Missing macro: nothing is written.
    QVERIFY(!lib.save(QStringLiteral("Nobody"), lines));
    QVERIFY(!QFileInfo::exists(lib.pathFor(QStringLiteral("Nobody"))));
    QVERIFY(lib.load(QStringLiteral("Nobody")).isEmpty());

    // A total larger than the lines present: missing lines read as "0".
    QVERIFY(storesWriteAll(lib.pathFor(QStringLiteral("short")), "[config]\ntotal=2\n[macro]\n0=X\n"));
    QCOMPARE(lib.load(QStringLiteral("short")), (QStringList{QStringLiteral("X"), QStringLiteral("0")}));
}

void TestMacroLibrary::bindingBelongsToTheDeviceItWasMadeFor()
{
    StoresWorkFolder work;
    const MacroLibrary lib;
    const QString name = lib.create();
    QCOMPARE(lib.loadConfig(name, 1), (QVariantList{-1, 1}));

    QVERIFY(lib.setConfig(name, {4, 3}, 0)); // bound while the keyboard was current
    QCOMPARE(lib.loadConfig(name, 0), (QVariantList{4, 3}));
    QCOMPARE(lib.loadConfig(name, 1), (QVariantList{-1, 3}));
    QCOMPARE(lib.boundIndex(name), 4); // the stored index is kept
    {
        QSettings s(lib.pathFor(name), QSettings::IniFormat);
        QCOMPARE(s.value(QStringLiteral("config/did")).toInt(), 0);
    }
    QVERIFY(lib.setConfig(name, {11, 70000}, 1));
    QCOMPARE(lib.loadConfig(name, 1), (QVariantList{11, 70000}));
    QCOMPARE(lib.repeat(name), 70000u);
    QCOMPARE(lib.loadConfig(name, 1).at(0).typeId(), int(QMetaType::Int));

    QVERIFY(lib.loadConfig(QStringLiteral("Nobody"), 1).isEmpty());
    QVERIFY(!lib.setConfig(QStringLiteral("Nobody"), {1, 1}, 1));
    QVERIFY(!QFileInfo::exists(lib.pathFor(QStringLiteral("Nobody"))));
}

void TestMacroLibrary::renameNeverOverwritesAndDeleteReports()
{
    StoresWorkFolder work;
    const MacroLibrary lib;
    const QString first = lib.create();
    const QString second = lib.create();
    QVERIFY(lib.save(first, {QStringLiteral("A") + kDown}));
    QVERIFY(lib.save(second, {QStringLiteral("B") + kDown}));

    QVERIFY(!lib.rename(first, second));
    QCOMPARE(lib.load(first), QStringList{QStringLiteral("A") + kDown});
    QCOMPARE(lib.load(second), QStringList{QStringLiteral("B") + kDown});

    QVERIFY(lib.rename(first, QStringLiteral("Jump")));
    QVERIFY(!lib.exists(first));
    QCOMPARE(lib.load(QStringLiteral("Jump")), QStringList{QStringLiteral("A") + kDown});

    QVERIFY(lib.remove(QStringLiteral("Jump")));
    QVERIFY(!lib.remove(QStringLiteral("Jump")));
    QVERIFY(!lib.exists(QStringLiteral("Jump")));
}

void TestMacroLibrary::importAndExportAreAtomicCopies()
{
    StoresWorkFolder work;
    const MacroLibrary lib;
    const QString name = lib.create();
    QVERIFY(lib.save(name, {QStringLiteral("A") + kDown}));
    const QByteArray original = storesReadAll(lib.pathFor(name));

    const QString mc = work.file(QStringLiteral("shared.mc"));
    QVERIFY(storesWriteAll(mc, "an earlier export"));
    QVERIFY(lib.exportTo(name, mc));
    QCOMPARE(storesReadAll(mc), original);

    const QByteArray imported = "[config]\ntotal=1\nindex=-1\nrepeat=2\ndid=-1\n[macro]\n0=Z    [Down]\n";
    QVERIFY(storesWriteAll(mc, imported));
    QVERIFY(lib.importFrom(name, mc));
    QCOMPARE(storesReadAll(lib.pathFor(name)), imported);

    // A source that is gone keeps the macro; a target folder that is missing
    // keeps everything as it was.
    QVERIFY(!lib.importFrom(name, work.file(QStringLiteral("gone.mc"))));
    QCOMPARE(storesReadAll(lib.pathFor(name)), imported);
    QVERIFY(!lib.exportTo(name, work.file(QStringLiteral("no/folder/x.mc"))));

    // Import onto a name without a file does nothing.
    QVERIFY(!lib.importFrom(QStringLiteral("Nobody"), mc));
    QVERIFY(!lib.exists(QStringLiteral("Nobody")));
    QVERIFY(!lib.exportTo(QStringLiteral("Nobody"), work.file(QStringLiteral("n.mc"))));
    QVERIFY(!QFileInfo::exists(work.file(QStringLiteral("n.mc"))));
}

void TestMacroLibrary::namesWithDotsAreOrdinaryMacros_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("ellipsis") << "Rapid fire...";
    QTest::newRow("inner dots") << "a..b";
    QTest::newRow("three dots") << "...";
    QTest::newRow("leading dot") << ".quick";
    QTest::newRow("leading dots") << "..x";
}

// Files already in the folder under such names are listed and work like any
// other macro; renaming to them keeps the macro in the list.
void TestMacroLibrary::namesWithDotsAreOrdinaryMacros()
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
    QCOMPARE(lib.fileNames(), QStringList{QStringLiteral("Plain.bin")});
    QVERIFY(lib.rename(QStringLiteral("Plain"), name));
    QCOMPARE(lib.fileNames(), QStringList{name + QStringLiteral(".bin")});
    QCOMPARE(lib.load(name), QStringList{QStringLiteral("B") + kDown});
    QVERIFY(lib.remove(name));
    QVERIFY(lib.fileNames().isEmpty());
}

void TestMacroLibrary::namesReachingOutsideTheFolderAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("parent") << "../x";
    QTest::newRow("deeper") << "../../modules/setting/p1";
    QTest::newRow("dots") << "..";
    QTest::newRow("dot") << ".";
    QTest::newRow("slash") << "a/b";
    QTest::newRow("backslash") << "a\\b";
    QTest::newRow("absolute") << "/tmp/x";
    QTest::newRow("empty") << "";
    QTest::newRow("blank") << "   ";
}

void TestMacroLibrary::namesReachingOutsideTheFolderAreRefused()
{
    QFETCH(QString, name);
    StoresWorkFolder work;
    const MacroLibrary lib;
    const QString existing = lib.create();
    QVERIFY(storesWriteAll(work.file(QStringLiteral("x.bin")),
                           "[config]\ntotal=1\nindex=0\n[macro]\n0=A    [Down]\n"));
    QVERIFY(storesWriteAll(work.file(QStringLiteral("modules/macro/a/b.bin")), "[config]\ntotal=0\n"));
    const QString mc = work.file(QStringLiteral("in.mc"));
    QVERIFY(storesWriteAll(mc, "[config]\ntotal=0\n"));
    const QStringList before = allFilesUnder(work.path());
    const QByteArray p1 = storesReadAll(work.file(QStringLiteral("modules/setting/p1.bin")));

    QVERIFY(!MacroLibrary::isValidName(name));
    QVERIFY(lib.pathFor(name).isEmpty());
    QVERIFY(!lib.exists(name));
    QVERIFY(lib.load(name).isEmpty());
    QVERIFY(!lib.save(name, {QStringLiteral("B") + kDown}));
    QVERIFY(lib.loadConfig(name, 1).isEmpty());
    QVERIFY(!lib.setConfig(name, {1, 1}, 1));
    QVERIFY(!lib.remove(name));
    QVERIFY(!lib.rename(existing, name));
    QVERIFY(!lib.rename(name, QStringLiteral("stolen")));
    QVERIFY(!lib.importFrom(name, mc));
    QVERIFY(!lib.exportTo(name, work.file(QStringLiteral("out.mc"))));

    QCOMPARE(allFilesUnder(work.path()), before);
    QCOMPARE(storesReadAll(work.file(QStringLiteral("modules/setting/p1.bin"))), p1);
    QVERIFY(lib.exists(existing));
}

void TestMacroLibrary::damagedTotalIsBounded()
{
    StoresWorkFolder work;
    const MacroLibrary lib;
    QVERIFY(storesWriteAll(lib.pathFor(QStringLiteral("huge")),
                           "[config]\ntotal=2147483647\n[macro]\n0=A    [Down]\n"));
    QVERIFY(storesWriteAll(lib.pathFor(QStringLiteral("over")), "[config]\ntotal=2147483648\n"));
    QVERIFY(storesWriteAll(lib.pathFor(QStringLiteral("negative")), "[config]\ntotal=-3\n"));
    QElapsedTimer timer;
    timer.start();
    const QStringList huge = lib.load(QStringLiteral("huge"));
    QVERIFY(timer.elapsed() < 5000);
    QCOMPARE(huge.size(), MacroLibrary::kMaxLines);
    QCOMPARE(huge.at(0), QStringLiteral("A    [Down]"));
    QVERIFY(lib.load(QStringLiteral("over")).isEmpty());
    QVERIFY(lib.load(QStringLiteral("negative")).isEmpty());
}

QTEST_MAIN(TestMacroLibrary)
#include "tst_macrolibrary.moc"
