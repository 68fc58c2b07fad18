// Real key presses and clicks (xdotool) through the key-event manager's tables and change filter.

#include "hookMgr.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QWidget>

namespace {

// What the manager reported ("+04 -04" keys, "+f0@x,y" buttons), and the window's own event
// counts, so a test can wait until an event has surely arrived.
struct Reports : QObject {
    QStringList keys, buttons;
    int keyReleases = 0, buttonEvents = 0;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type t = event->type();
        if (event->spontaneous() && watched->isWindowType()) {
            keyReleases += t == QEvent::KeyRelease;
            buttonEvents += t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease ||
                            t == QEvent::MouseButtonDblClick;
        }
        return false;
    }
    static QString code(uchar code, uchar down) { return (down ? "+" : "-") + QString::number(code, 16).rightJustified(2, '0'); }
    static void key(uchar usbCode, uchar down, void *self)
    {
        static_cast<Reports *>(self)->keys << code(usbCode, down);
    }
    static void button(uchar button, uchar down, int x, int y, void *self)
    {
        static_cast<Reports *>(self)->buttons << code(button, down) + QStringLiteral("@%1,%2").arg(x).arg(y);
    }
};

} // namespace

class KeyInputTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<hookMgr> m_hooks;
    Reports m_seen;

    // Runs xdotool and waits until the window has seen `count` more events.
    bool xdotool(const QStringList &args, int count, int Reports::*counter = &Reports::keyReleases)
    {
        const int target = m_seen.*counter + count;
        return QProcess::execute(QStringLiteral("xdotool"), args) == 0 &&
               QTest::qWaitFor([&] { return m_seen.*counter >= target; }, 5000);
    }
    void hook(bool nonUs)
    {
        m_hooks = std::make_unique<hookMgr>(nonUs);
        m_hooks->setKeyboardCallback(&Reports::key, &m_seen);
        m_hooks->setMouseCallback(&Reports::button, &m_seen);
    }

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != "xcb" || QStandardPaths::findExecutable("xdotool").isEmpty())
            QSKIP("needs an X display (run under Xvfb) and xdotool");
        qApp->installEventFilter(&m_seen);
        m_window = std::make_unique<QWidget>();
        m_window->resize(240, 160);
        m_window->show();
    }
    void init()
    {
        m_seen.keys = m_seen.buttons = QStringList();
        hook(false);
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    // X key codes (evdev + 8) for the modifiers: xdotool would add the first
    // key of a keysym, always the left one.
    void keysReportTheirUsageCodes_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("reported");
        QTest::newRow("letter") << QStringList{"a"} << "+04 -04";
        QTest::newRow("keypad Enter is not Enter") << QStringList{"KP_Enter", "Return"} << "+58 -58 +28 -28";
        QTest::newRow("Pause, Num Lock") << QStringList{"Pause", "Num_Lock", "Num_Lock"} << "+48 -48 +53 -53 +53 -53";
        QTest::newRow("Alt+Print Screen") << QStringList{"alt+Print"} << "+e2 +46 -e2 -46";
        const char *modifiers[] = {"L Ctrl", "37", "L Shift", "50", "L Alt", "64", "L Win", "133",
                                   "R Ctrl", "105", "R Shift", "62", "R Alt", "108", "R Win", "134"};
        for (int i = 0; i < 8; ++i)
            QTest::newRow(modifiers[2 * i]) << QStringList{modifiers[2 * i + 1]} << QStringLiteral("+e%1 -e%1").arg(i);
    }
    void keysReportTheirUsageCodes()
    {
        QFETCH(QStringList, keys);
        QVERIFY(xdotool(QStringList{"key"} + keys, int(keys.size() + keys.join(' ').count('+'))));
        QTEST(m_seen.keys.join(' '), "reported");
    }

    void backslashFollowsTheNonUsOptionAndRemovedHooksReportNothing()
    {
        QVERIFY(xdotool({"key", "backslash"}, 1));
        hook(true);
        QVERIFY(xdotool({"key", "backslash"}, 1));
        m_hooks->removeHooks();
        QVERIFY(xdotool({"key", "b"}, 1));
        QVERIFY(m_hooks->installHooks());
        QVERIFY(xdotool({"key", "b"}, 1));
        QCOMPARE(m_seen.keys.join(' '), QStringLiteral("+31 -31 +32 -32 +05 -05"));
    }

    void buttonsAndDoubleClick()
    {
        const QPoint at = m_window->mapToGlobal(m_window->rect().center());
        QVERIFY(QProcess::execute("xdotool", {"mousemove", QString::number(at.x()), QString::number(at.y())}) == 0);
        QTRY_COMPARE_WITH_TIMEOUT(QCursor::pos(), at, 5000);
        // A double click: press, release, press, double click, release - no second down.
        QVERIFY(xdotool({"click", "--repeat", "2", "--delay", "60", "1"}, 5, &Reports::buttonEvents));
        for (const char *button : {"3", "2", "8"}) // side buttons are not reported
            QVERIFY(xdotool({"click", button}, 2, &Reports::buttonEvents));
        const QString p = QStringLiteral("@%1,%2").arg(at.x()).arg(at.y());
        QCOMPARE(m_seen.buttons.join(' '), QStringList({"+f0", "-f0", "-f0", "+f1", "-f1", "+f2", "-f2"}).join(p + ' ') + p);
    }
};

// An X server of its own: other real-window tests running beside it cannot take the focus away.
int main(int argc, char **argv)
{
    QProcess xvfb;
    xvfb.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "800x600x24"});
    QByteArray number;
    while (!number.contains('\n') && xvfb.waitForReadyRead(15000))
        number += xvfb.readAllStandardOutput();
    if (number.contains('\n'))
        qputenv("DISPLAY", ":" + number.trimmed());
    int failed = 0;
    {
        QApplication app(argc, argv);
        KeyInputTest test;
        failed = QTest::qExec(&test, argc, argv);
    }
    xvfb.terminate();
    xvfb.waitForFinished(5000);
    return failed;
}

#include "tst_gui_keyinput.moc"
