// Real key presses and mouse clicks (xdotool through the X server) into a
// window of this program, through the key-event manager's tables and change
// filter; and the view handing them to the scene's root functions.

#include "KeyTables.h"
#include "bridges_ViewRig.h"
#include "hookMgr.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProcess>
#include <QQmlEngine>
#include <QQuickItem>
#include <QStandardPaths>
#include <QTest>
#include <QWidget>

#include <tuple>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using KeyReport = QPair<int, int>;                   // usage code, down
using ButtonReport = std::tuple<int, int, int, int>; // code, down, x, y

struct Reports {
    QList<KeyReport> keys;
    QList<ButtonReport> buttons;
};

void recordKey(uchar usbCode, uchar isDown, void *userData)
{
    static_cast<Reports *>(userData)->keys.append({usbCode, isDown});
}

void recordButton(uchar code, uchar isDown, int x, int y, void *userData)
{
    static_cast<Reports *>(userData)->buttons.append({code, isDown, x, y});
}

// Counts what the window system delivered, independently of the manager, so a
// test can wait until an event has surely arrived.
class RawCounter : public QObject {
public:
    int keyReleases = 0;
    int buttonEvents = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->spontaneous() && watched->isWindowType()) {
            if (event->type() == QEvent::KeyRelease) {
                ++keyReleases;
            } else if (event->type() == QEvent::MouseButtonPress ||
                       event->type() == QEvent::MouseButtonRelease ||
                       event->type() == QEvent::MouseButtonDblClick) {
                ++buttonEvents;
            }
        }
        return false;
    }
};

QString describe(const QList<KeyReport> &keys)
{
    QStringList parts;
    for (const KeyReport &k : keys)
        parts.append(QStringLiteral("%1%2")
                         .arg(k.second ? QStringLiteral("+") : QStringLiteral("-"))
                         .arg(k.first, 2, 16, QLatin1Char('0')));
    return parts.join(QLatin1Char(' '));
}

bool xdotool(const QStringList &args)
{
    return QProcess::execute(QStringLiteral("xdotool"), args) == 0;
}

} // namespace

class KeyInputTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void letterReportsOneDownAndOneUp();
    void keypadEnterDiffersFromEnter();
    void everyModifierOnEachSide_data();
    void everyModifierOnEachSide();
    void pauseDiffersFromNumLock();
    void backslashFollowsTheNonUsOption();
    void altPrintScreenIsPrintScreen();
    void removedHooksReportNothing();
    void doubleClickReportsNoSecondDown();
    void rightAndMiddleButtons();
    void viewHandsEventsToTheSceneQueued();

private:
    bool pressAndWait(const QString &key, int releases);
    QPoint windowCentre() const { return m_window->mapToGlobal(m_window->rect().center()); }

    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<hookMgr> m_hooks;
    RawCounter m_raw;
    Reports m_reports;
};

void KeyInputTest::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X display (run under Xvfb)");
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("needs xdotool");
    qApp->installEventFilter(&m_raw);
    m_window = std::make_unique<QWidget>();
    m_window->setWindowTitle(QStringLiteral("key input test"));
    m_window->resize(240, 160);
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void KeyInputTest::init()
{
    m_reports = Reports();
    m_hooks = std::make_unique<hookMgr>(false);
    m_hooks->setKeyboardCallback(&recordKey, &m_reports);
    m_hooks->setMouseCallback(&recordButton, &m_reports);
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void KeyInputTest::cleanup()
{
    m_hooks.reset();
}

// Presses a key (or chord) and waits until the window has seen the releases.
bool KeyInputTest::pressAndWait(const QString &key, int releases)
{
    const int target = m_raw.keyReleases + releases;
    if (!xdotool({QStringLiteral("key"), key}))
        return false;
    return QTest::qWaitFor([&] { return m_raw.keyReleases >= target; }, 5000);
}

void KeyInputTest::letterReportsOneDownAndOneUp()
{
    QVERIFY(pressAndWait(QStringLiteral("a"), 1));
    QCOMPARE(m_reports.keys, (QList<KeyReport>{{0x04, 1}, {0x04, 0}}));
}

void KeyInputTest::keypadEnterDiffersFromEnter()
{
    QVERIFY(pressAndWait(QStringLiteral("KP_Enter"), 1));
    QVERIFY(pressAndWait(QStringLiteral("Return"), 1));
    QCOMPARE(m_reports.keys, (QList<KeyReport>{{0x58, 1}, {0x58, 0}, {0x28, 1}, {0x28, 0}}));
}

void KeyInputTest::everyModifierOnEachSide_data()
{
    // X key codes (evdev + 8): xdotool would add the first key of a keysym.
    QTest::addColumn<QString>("keycode");
    QTest::addColumn<int>("usage");
    QTest::newRow("L Ctrl") << QStringLiteral("37") << 0xE0;
    QTest::newRow("L Shift") << QStringLiteral("50") << 0xE1;
    QTest::newRow("L Alt") << QStringLiteral("64") << 0xE2;
    QTest::newRow("L Win") << QStringLiteral("133") << 0xE3;
    QTest::newRow("R Ctrl") << QStringLiteral("105") << 0xE4;
    QTest::newRow("R Shift") << QStringLiteral("62") << 0xE5;
    QTest::newRow("R Alt") << QStringLiteral("108") << 0xE6;
    QTest::newRow("R Win") << QStringLiteral("134") << 0xE7;
}

void KeyInputTest::everyModifierOnEachSide()
{
    QFETCH(QString, keycode);
    QFETCH(int, usage);
    QVERIFY(pressAndWait(keycode, 1));
    QCOMPARE(m_reports.keys, (QList<KeyReport>{{usage, 1}, {usage, 0}}));
}

void KeyInputTest::pauseDiffersFromNumLock()
{
    QVERIFY(pressAndWait(QStringLiteral("Pause"), 1));
    QVERIFY(pressAndWait(QStringLiteral("Num_Lock"), 1));
    QVERIFY(pressAndWait(QStringLiteral("Num_Lock"), 1)); // leave Num Lock as it was
    QCOMPARE(m_reports.keys,
             (QList<KeyReport>{{0x48, 1}, {0x48, 0}, {0x53, 1}, {0x53, 0}, {0x53, 1}, {0x53, 0}}));
}

void KeyInputTest::backslashFollowsTheNonUsOption()
{
    QVERIFY(pressAndWait(QStringLiteral("backslash"), 1));
    QCOMPARE(m_reports.keys, (QList<KeyReport>{{0x31, 1}, {0x31, 0}}));

    m_hooks = std::make_unique<hookMgr>(true);
    m_hooks->setKeyboardCallback(&recordKey, &m_reports);
    m_reports.keys.clear();
    QVERIFY(pressAndWait(QStringLiteral("backslash"), 1));
    QCOMPARE(m_reports.keys, (QList<KeyReport>{{0x32, 1}, {0x32, 0}}));
}

void KeyInputTest::altPrintScreenIsPrintScreen()
{
    QVERIFY(pressAndWait(QStringLiteral("alt+Print"), 2));
    // xdotool may let go of Alt first.
    QCOMPARE(m_reports.keys.size(), 4);
    QCOMPARE(m_reports.keys.mid(0, 2), (QList<KeyReport>{{0xE2, 1}, {0x46, 1}}));
    QVERIFY(m_reports.keys.contains(KeyReport{0x46, 0}));
    QVERIFY(m_reports.keys.contains(KeyReport{0xE2, 0}));
}

void KeyInputTest::removedHooksReportNothing()
{
    m_hooks->removeHooks();
    QVERIFY(pressAndWait(QStringLiteral("b"), 1));
    QVERIFY(m_reports.keys.isEmpty());
    QVERIFY(m_hooks->installHooks());
    QVERIFY(pressAndWait(QStringLiteral("b"), 1));
    QCOMPARE(m_reports.keys, (QList<KeyReport>{{0x05, 1}, {0x05, 0}}));
}

void KeyInputTest::doubleClickReportsNoSecondDown()
{
    const QPoint at = windowCentre();
    QVERIFY(xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())}));
    QTRY_COMPARE_WITH_TIMEOUT(QCursor::pos(), at, 5000);
    const int before = m_raw.buttonEvents;
    QVERIFY(xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                     QStringLiteral("--delay"), QStringLiteral("60"), QStringLiteral("1")}));
    // press, release, press, double click, release
    QVERIFY(QTest::qWaitFor([&] { return m_raw.buttonEvents >= before + 5; }, 5000));
    QCOMPARE(m_reports.buttons,
             (QList<ButtonReport>{
                 {0xF0, 1, at.x(), at.y()}, {0xF0, 0, at.x(), at.y()}, {0xF0, 0, at.x(), at.y()}}));
}

void KeyInputTest::rightAndMiddleButtons()
{
    const QPoint at = windowCentre() + QPoint(20, 10);
    QVERIFY(xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())}));
    QTRY_COMPARE_WITH_TIMEOUT(QCursor::pos(), at, 5000);
    int before = m_raw.buttonEvents;
    QVERIFY(xdotool({QStringLiteral("click"), QStringLiteral("3")}));
    QVERIFY(QTest::qWaitFor([&] { return m_raw.buttonEvents >= before + 2; }, 5000));
    before = m_raw.buttonEvents;
    QVERIFY(xdotool({QStringLiteral("click"), QStringLiteral("2")}));
    QVERIFY(QTest::qWaitFor([&] { return m_raw.buttonEvents >= before + 2; }, 5000));
    // Side buttons are not reported.
    before = m_raw.buttonEvents;
    QVERIFY(xdotool({QStringLiteral("click"), QStringLiteral("8")}));
    QVERIFY(QTest::qWaitFor([&] { return m_raw.buttonEvents >= before + 2; }, 5000));
    QCOMPARE(m_reports.buttons, (QList<ButtonReport>{{0xF1, 1, at.x(), at.y()},
                                                     {0xF1, 0, at.x(), at.y()},
                                                     {0xF2, 1, at.x(), at.y()},
                                                     {0xF2, 0, at.x(), at.y()}}));
}

void KeyInputTest::viewHandsEventsToTheSceneQueued()
{
    BridgesViewRig rig(BridgesViewRig::Link::None);
    const QString qml = rig.dir.filePath(QStringLiteral("root.qml"));
    QFile file(qml);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("import QtQuick\n"
               "Item {\n"
               "  width: 100; height: 100\n"
               "  property var keys: []\n"
               "  property var mice: []\n"
               "  function detectKeyboard(isDown, usbCode) { keys = keys.concat([[isDown, usbCode]]) }\n"
               "  function detectMouse(isDown, code, x, y) { mice = mice.concat([[isDown, code, x, y]]) }\n"
               "}\n");
    file.close();
    rig.view->setSource(QUrl::fromLocalFile(qml));
    QQuickItem *root = rig.view->rootObject();
    QVERIFY(root);
    rig.view->onKeyboardEvent(0x58, true);
    rig.view->onMouseEvent(0xF1, false, 640, 480);
    // Queued: nothing has reached the scene yet.
    QCOMPARE(root->property("keys").toList().size(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(root->property("keys").toList().size(), 1, 5000);
    const QVariantList key = root->property("keys").toList().at(0).toList();
    QCOMPARE(key.at(0).toBool(), true);
    QCOMPARE(key.at(1).toInt(), 0x58);
    QTRY_COMPARE_WITH_TIMEOUT(root->property("mice").toList().size(), 1, 5000);
    const QVariantList mouse = root->property("mice").toList().at(0).toList();
    QCOMPARE(mouse.at(0).toBool(), false);
    QCOMPARE(mouse.at(1).toUInt(), 0xF1u);
    QCOMPARE(mouse.at(2).toUInt(), 640u);
    QCOMPARE(mouse.at(3).toUInt(), 480u);
}

// The parts of the translation that no Linux key event reaches: the Windows
// scan-code overrides and the edges of the tables, fed in directly.
class KeyTranslationTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_reports = Reports();
        m_hooks = std::make_unique<hookMgr>(false);
        m_hooks->removeHooks(); // only direct feeding here
        m_hooks->setKeyboardCallback(&recordKey, &m_reports);
    }
    void breakAndAltPrintScreenOverrides()
    {
        m_hooks->handleKey(0x46, true, true);        // Ctrl+Pause arrives as extended 46
        m_hooks->handleKey(0x54, false, true, true); // Alt+Print Screen
        m_hooks->handleKey(0x46, false, true);       // plain 46 is Scroll Lock
        QCOMPARE(describe(m_reports.keys), QStringLiteral("+48 +46 +47"));
        m_reports.keys.clear();
        m_hooks->handleKey(0x54, false, false, false); // 54 without Alt is no key
        QVERIFY(m_reports.keys.isEmpty());
    }
    void keysOutsideTheTablesReportNothing()
    {
        m_hooks->handleKey(0x55, false, true);  // not in the scan table
        m_hooks->handleKey(0x11E, false, true); // beyond one byte counts as scan 0
        m_hooks->handleKey(0x6E, false, true);  // F23: virtual key 86 -> usage 72
        QCOMPARE(describe(m_reports.keys), QStringLiteral("+72"));
        QCOMPARE(m_hooks->scanToVk(0x5501), uchar(0));
        QCOMPARE(m_hooks->vkToUsb(0xFE), uchar(0));
        QCOMPARE(m_hooks->vkToUsb(0xDC), uchar(0x31));
        QCOMPARE(hookMgr(true).vkToUsb(0xDC), uchar(0x32));
    }
    void evdevCodesBecomePcScanCodes()
    {
        struct Case {
            quint32 evdev;
            quint16 scan;
            bool extended;
        };
        const Case cases[] = {{1, 0x01, false},  {30, 0x1E, false}, {28, 0x1C, false}, {96, 0x1C, true},
                              {29, 0x1D, false}, {97, 0x1D, true},  {69, 0x45, true},  {119, 0x45, false},
                              {99, 0x37, true},  {55, 0x37, false}, {100, 0x38, true}, {86, 0x56, false},
                              {111, 0x53, true}, {125, 0x5B, true}, {127, 0x5D, true}, {193, 0x6E, false}};
        for (const Case &c : cases) {
            quint16 scan = 0xFFFF;
            bool extended = !c.extended;
            QVERIFY2(KeyTables::evdevToScan(c.evdev, scan, extended), qPrintable(QString::number(c.evdev)));
            QCOMPARE(scan, c.scan);
            QCOMPARE(extended, c.extended);
        }
        quint16 scan = 0;
        bool extended = false;
        QVERIFY(!KeyTables::evdevToScan(0, scan, extended));
        QVERIFY(!KeyTables::evdevToScan(240, scan, extended));
    }

private:
    std::unique_ptr<hookMgr> m_hooks;
    Reports m_reports;
};

// Key presses go to whichever window has the focus, so this program gets an X
// server of its own: other real-window tests running beside it cannot take
// the focus away. Returns the server's process id, or 0 (then the given
// display is used).
static pid_t startPrivateDisplay()
{
    int fds[2];
    if (pipe(fds) != 0)
        return 0;
    const QByteArray fd = QByteArray::number(fds[1]);
    const char *args[] = {"Xvfb",    "-displayfd", fd.constData(), "-nolisten", "tcp",
                          "-screen", "0",          "800x600x24",   nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    const int devNull = open("/dev/null", O_WRONLY);
    if (devNull >= 0)
        posix_spawn_file_actions_adddup2(&actions, devNull, 2);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "Xvfb", &actions, nullptr, const_cast<char **>(args), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (devNull >= 0)
        close(devNull);
    close(fds[1]);
    QByteArray number;
    if (spawned == 0) {
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (!number.endsWith('\n') && poll(&p, 1, 15000) > 0 && read(fds[0], &c, 1) == 1)
            number.append(c);
    }
    close(fds[0]);
    if (spawned != 0 || !number.endsWith('\n')) {
        if (spawned == 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        return 0;
    }
    qputenv("DISPLAY", ":" + number.trimmed());
    return pid;
}

int main(int argc, char **argv)
{
    const pid_t server = startPrivateDisplay();
    int failed = 0;
    {
        QApplication app(argc, argv);
        KeyTranslationTest translation;
        failed = QTest::qExec(&translation, argc, argv);
        KeyInputTest test;
        failed += QTest::qExec(&test, argc, argv);
    }
    if (server > 0) {
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
    }
    return failed;
}

#include "tst_gui_keyinput.moc"
