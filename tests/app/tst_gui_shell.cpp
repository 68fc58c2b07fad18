// The real program under X, driven with real input, judged by windows, exit codes, boxes, files.
#include "Harness.h"
#include "Unwritable.h"

#include <QSettings>
#include <QWidget>

#include <csignal>

namespace {

bool waitForScene(Harness &h)
{
    return Harness::waitFor([&] { return Harness::distinctColours(h.screenshot()) > 40; }, 30000);
}

// Boxes answered from a script and logged to <script>.log, one line each.
struct Script {
    QString path;
    explicit Script(const Harness &h) : path(h.workDir() + u"/../dialogs.txt"_s) { writeFile(path, "ok\n"); }
    // Starts h with boxes answered from the script, on `mouse`.
    bool start(Harness &h, const QString &mouse = QString(), QMap<QString, QString> env = {}) const
    {
        env.insert(u"Z3_SCRIPTED_DIALOGS"_s, path);
        env.insert(u"Z3_VIRTUAL_DEVICE"_s, mouse);
        return h.start({u"--virtual-device"_s}, env);
    }
    QString log() const { return QString::fromUtf8(fileBytes(path + u".log"_s)); }
};

} // namespace

class tst_gui_shell : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!Harness::displayAvailable())
            QSKIP("needs an X display and xdotool (scripts/test.sh starts Xvfb)");
    }

    // Started from another folder it finds its files, shows the scene in a window of its size named
    // from its configuration, talks to the mouse, moves when dragged and ends by its close button,
    // leaving that folder untouched.
    void startedElsewhereItShowsItselfAndEndsByItsCloseButton()
    {
        Harness h;
        QTemporaryDir elsewhere;
        QVERIFY2(h.start({u"--virtual-device"_s}, {}, elsewhere.path()), qPrintable(h.lastError()));
        const Harness::Window w = h.waitForWindow();
        QVERIFY2(w.isValid(), qPrintable(h.output()));
        QCOMPARE(w.geometry.size(), QSize(1000, 600));
        QVERIFY(!h.config("common/name").isEmpty());
        QCOMPARE(w.name, h.config("common/name"));
        QVERIFY2(waitForScene(h), "the window stays blank");
        QVERIFY(h.wireLog().contains(u" cmd feature-out 00 "_s)); // the handshake
        // The close button is drawn in the accent once the top menu is in.
        const auto closeShown = [&] {
            const QImage shot = h.screenshot();
            int accent = 0;
            for (int y = 6; y < 34 && !shot.isNull(); ++y)
                accent += qBlue(shot.pixel(970, y)) > 150 && qGreen(shot.pixel(970, y)) > 150 &&
                          qRed(shot.pixel(970, y)) < 120;
            return accent > 3;
        };
        QVERIFY2(Harness::waitFor(closeShown, 30000), "the top menu did not come in");
        const QRect before = h.mainGeometry();
        QVERIFY(h.drag(QPoint(500, 330), QPoint(580, 390))); // an empty part of the scene
        QVERIFY2(Harness::waitFor([&] { return h.mainGeometry().topLeft() != before.topLeft(); }, 5000),
                 "no move");
        const QPoint moved = h.mainGeometry().topLeft() - before.topLeft();
        QVERIFY2(qAbs(moved.x() - 80) <= 4 && qAbs(moved.y() - 60) <= 4,
                 qPrintable(u"moved by %1,%2"_s.arg(moved.x()).arg(moved.y())));
        QVERIFY(h.click(970, 20));
        QVERIFY2(h.waitForExit() == 0, qPrintable(h.output()));
        // Read once the program has ended: until then part of its output may still sit in the pipe.
        QVERIFY(h.output().contains(u"Device Connect"_s));
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    // The missing-mouse box and the window both end cleanly, by OK or by a signal.
    void endsCleanly_data()
    {
        QTest::addColumn<QString>("mouse");
        QTest::addColumn<int>("signal"); // 0: Return on the box
        QTest::newRow("box, OK") << "absent" << 0;
        QTest::newRow("box, SIGTERM") << "absent" << int(SIGTERM);
        QTest::newRow("window, SIGINT") << "" << int(SIGINT);
    }
    void endsCleanly()
    {
        QFETCH(QString, mouse);
        QFETCH(int, signal);
        Harness h;
        QVERIFY2(h.start({u"--virtual-device"_s}, {{u"Z3_VIRTUAL_DEVICE"_s, mouse}}),
                 qPrintable(h.lastError()));
        const Harness::Window w = h.waitForWindow(!mouse.isEmpty());
        QVERIFY2(w.isValid(), qPrintable(h.output()));
        if (!mouse.isEmpty()) { // a small box captioned with the window title; no main window
            QCOMPARE(w.name, h.config("common/name"));
            QVERIFY(w.geometry.width() < 1000 && w.geometry.height() < 600);
            QCOMPARE(h.windows().size(), 1);
        }
        QVERIFY(signal ? ::kill(pid_t(h.pid()), signal) == 0 : h.key(u"Return"_s, w));
        QVERIFY2(h.waitForExit() == 0, qPrintable(h.output()));
    }

    void missingMouseBoxNamesTheProduct_data()
    {
        QTest::addColumn<QString>("mouse");
        QTest::addColumn<QString>("configKey");
        QTest::addColumn<QVariant>("configValue");
        QTest::addColumn<bool>("denied");
        const auto row = [](const char *name, const char *mouse, const char *key, QVariant value,
                            bool denied) {
            QTest::newRow(name) << QString(mouse) << QString(key) << value << denied;
        };
        row("absent", "absent", "", {}, false);
        row("another code", "code=123456", "", {}, false);
        row("five-character code", "", "common/sCode1", "58260", false);
        row("short product list", "absent", "common/product_name", QStringList{"Keyboard"}, false);
        row("access denied", "deny", "", {}, true);
    }
    void missingMouseBoxNamesTheProduct()
    {
        QFETCH(QString, mouse);
        QFETCH(QString, configKey);
        QFETCH(QVariant, configValue);
        QFETCH(bool, denied);
        Harness h;
        if (!configKey.isEmpty())
            h.config(configKey, configValue);
        const Script script(h);
        QVERIFY(script.start(h, mouse));
        QCOMPARE(h.waitForExit(), 0);
        const QString log = script.log();
        QVERIFY2(
            log.startsWith(u"warning\t%1\tCan not detect Z3 Gaming Mouse !"_s.arg(h.config("common/name"))),
            qPrintable(log));
        QCOMPARE(log.contains(u"access to it was denied"_s), denied);
        QCOMPARE(log.count('\n'), 1);
    }

    void demoModeOpensTheWindowAndShowsTheNotice()
    {
        Harness h;
        h.config(u"common/sCode1"_s, u"v-harbor"_s);
        const Script script(h);
        QVERIFY(script.start(h, u"absent"_s));
        const Harness::Window w = h.waitForWindow();
        QVERIFY2(w.isValid(), qPrintable(h.output()));
        QVERIFY(Harness::waitFor([&] { return !script.log().isEmpty(); }, 20000));
        QCOMPARE(script.log(), u"warning\t%1\t===== Demo Mode =====\n"_s.arg(w.name));
    }

    // Data that cannot be written is never worked on in place: a read-only copy works in the user's
    // folder without a word; installed data with no writable home is shown read-only, said once.
    void readOnlyDataIsNotWorkedInPlace_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::newRow("read-only copy") << false;
        QTest::newRow("installed, home unwritable") << true;
    }
    void readOnlyDataIsNotWorkedInPlace()
    {
        QFETCH(bool, installed);
        Harness h;
        QString modules = h.workDir() + u"/modules"_s;
        const QString home = h.workDir() + u"/../home"_s;
        QMap<QString, QString> env;
        if (installed) { // <prefix>/bin/z3config, <prefix>/share/z3config/modules
            QVERIFY(QDir().mkpath(home) && QDir().mkpath(h.workDir() + u"/../share/z3config"_s));
            QVERIFY(QDir().rename(modules, h.workDir() + u"/../share/z3config/modules"_s));
            modules = h.workDir() + u"/../share/z3config/modules"_s;
            env = {{u"XDG_DATA_HOME"_s, home}, {u"HOME"_s, home}};
        }
        const Unwritable unwritable(installed ? QStringList{modules, home} : QStringList{modules});
        if (!unwritable.holds())
            QSKIP("this file system lets the tests write anywhere");
        const Script script(h);
        QVERIFY(script.start(h, QString(), env));
        const Harness::Window w = h.waitForWindow();
        QVERIFY2(w.isValid(), qPrintable(h.output()));
        QVERIFY2(waitForScene(h), "no artwork");
        if (!installed) {
            QVERIFY(QFileInfo(h.workDir() + "/../data/z3config/modules/setting/apConfig.bin").isWritable());
            QCOMPARE(script.log(), QString());
            return;
        }
        QVERIFY(Harness::waitFor([&] { return !script.log().isEmpty(); }, 20000));
        QVERIFY2(script.log().startsWith(u"warning\t%1\t"_s.arg(w.name)) &&
                     script.log().contains(u"changes will not be kept"_s) && script.log().count('\n') == 1,
                 qPrintable(script.log()));
    }

    void relativeWireLogIsTakenFromTheStartFolder()
    {
        Harness h;
        QTemporaryDir elsewhere;
        QProcess p;
        p.setWorkingDirectory(elsewhere.path());
        p.start(h.programPath(), {u"--virtual-device"_s, u"--wire-log"_s, u"wire.log"_s});
        const bool written =
            Harness::waitFor([&] { return QFileInfo(elsewhere.filePath("wire.log")).size() > 0; }, 30000);
        ::kill(pid_t(p.processId()), SIGTERM);
        QVERIFY(p.waitForFinished(10000));
        QVERIFY(written);
        QVERIFY(!QFileInfo::exists(h.workDir() + u"/wire.log"_s));
    }

    // Keys typed into the window while recording reach the macro file: a key let go in another
    // program's window is not left down, and a key held for a second on a busy machine is one down
    // and one up.
    void keysHeldOrLetGoElsewhereAreRecordedOnce()
    {
        Harness h;
        h.config(u"common/3"_s, 1); // animations off
        QVERIFY2(h.start(), qPrintable(h.lastError()));
        QVERIFY(h.waitForWindow().isValid());
        const QRect menu(8, 96, 150, 300), header(285, 117, 141, 21), actions(743, 148, 141, 198);
        const auto crop = [&](const QRect &r) { return h.screenshot().copy(r); };
        QVERIFY2(Harness::waitFor([&] { return Harness::distinctColours(crop(menu)) > 40; }, 30000),
                 "the function menu did not show");
        const QImage emptyHeader = crop(header);
        QVERIFY(h.click(83, 205)); // MACRO
        QVERIFY2(Harness::waitFor([&] { return crop(header) != emptyHeader; }, 10000), "no macro page");
        const QString file = h.workDir() + u"/modules/macro/Macro. 001.bin"_s;
        QVERIFY(h.click(394, 127)); // a new macro
        QVERIFY2(Harness::waitFor([&] { return QFileInfo::exists(file); }, 10000), "no macro was created");
        QVERIFY(h.click(743, 127)); // RECORD

        const QString program = QString::number(h.waitForWindow().id);
        QWidget other;
        other.resize(200, 100);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QImage rows = crop(actions);
        QVERIFY(Harness::xdotool({"windowfocus", "--sync", program, "keydown", "37"})); // L Ctrl
        QVERIFY2(Harness::waitFor([&] { return crop(actions) != rows; }, 10000), "no Ctrl down");
        rows = crop(actions);
        QVERIFY(Harness::xdotool({"windowfocus", "--sync", QString::number(other.winId()), "keyup", "37"}));
        QVERIFY2(Harness::waitFor([&] { return crop(actions) != rows; }, 10000),
                 "leaving did not let go of Ctrl");
        QVERIFY(h.key(u"37"_s));
        QProcess busy;
        busy.start(u"sh"_s, {u"-c"_s, u"while :; do :; done"_s});
        QVERIFY(busy.waitForStarted(5000));
        QVERIFY(Harness::xdotool({"windowfocus", "--sync", program, "keydown", "a"}));
        QTest::qWait(1000); // held: the window system repeats it meanwhile
        QVERIFY(Harness::xdotool({"keyup", "a"}));
        busy.kill();
        busy.waitForFinished(5000);
        QVERIFY(h.key(u"shift+b"_s));
        QVERIFY(h.click(764, 127)); // STOP
        const QStringList expected{"L Ctrl    [Down]",  "L Ctrl      [Up]", "L Ctrl    [Down]",
                                   "L Ctrl      [Up]",  "A    [Down]",      "A      [Up]",
                                   "L Shift    [Down]", "B    [Down]",      "B      [Up]",
                                   "L Shift      [Up]"};
        QVERIFY2(Harness::waitFor([&] { return Harness::macroLines(file).size() >= expected.size(); }, 10000),
                 qPrintable(Harness::macroLines(file).join('|')));
        QStringList lines = Harness::macroLines(file);
        if (lines.size() == expected.size() && lines[8] == expected[9]) // xdotool may let go of Shift first
            lines.swapItemsAt(8, 9);
        QCOMPARE(lines, expected);
    }
};

PRIVATE_DISPLAY_TEST_MAIN(tst_gui_shell)
#include "tst_gui_shell.moc"
