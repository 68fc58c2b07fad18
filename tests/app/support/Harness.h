#pragma once
// Runs a private copy of the built z3config and its data in a real window and drives it from
// outside as a user would: real input (xdotool), ImageMagick screenshots, wire log, files.

#include "Files.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QRect>
#include <QTemporaryDir>
#include <QTest>
#include <QVariant>

#include <memory>

using namespace Qt::StringLiterals;

// A private Xvfb as DISPLAY while it lives, so tests running beside it cannot take its clicks or focus.
class HarnessDisplay {
public:
    HarnessDisplay();
    ~HarnessDisplay();

private:
    QProcess m_process;
    QByteArray m_previous;
};

// QTEST_MAIN on a private X server, made before the application connects.
#define PRIVATE_DISPLAY_TEST_MAIN(TestObject)                                                                \
    int main(int argc, char **argv)                                                                          \
    {                                                                                                        \
        HarnessDisplay display;                                                                              \
        QApplication app(argc, argv);                                                                        \
        TestObject tc;                                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }

struct HarnessWindow {
    qulonglong id = 0;
    QString name;
    QRect geometry; // screen coordinates
    bool isValid() const { return id != 0; }
};

class Harness {
public:
    using Window = HarnessWindow;

    Harness();
    ~Harness(); // ends a still running program (SIGTERM, then SIGKILL)

    QString workDir() const { return m_temp.path() + u"/app"_s; }
    QString programPath() const { return workDir() + u"/z3config"_s; }
    QString wireLogPath() const { return m_temp.path() + u"/wire.log"_s; }
    QString lastError() const { return m_error; }
    // A value of modules/setting/apConfig.bin, first set to `set` if that is given (before the start).
    QString config(const QString &key, const QVariant &set = QVariant()) const;

    // Starts with args (plus the wire log) and extra environment in workingDirectory
    // (default: an empty folder, not the program's own, so it must find its files).
    bool start(const QStringList &args = {u"--virtual-device"_s}, const QMap<QString, QString> &env = {},
               const QString &workingDirectory = QString());
    bool isRunning() const { return m_process && m_process->state() != QProcess::NotRunning; }
    qint64 pid() const { return m_process ? m_process->processId() : 0; }

    // The program's visible windows, largest first.
    QList<Window> windows() const;
    // Waits for the largest window (at least 400 x 300), or with dialog for another one (a box). The
    // bound is wide for a start starved of CPU on a loaded machine; the wait ends when the window maps.
    Window waitForWindow(bool dialog = false);
    QRect mainGeometry() const;

    // Real input, in coordinates of the main window.
    bool click(int x, int y);
    bool drag(QPoint from, QPoint to);
    // A key (xdotool name: "Return", "ctrl+a") to the window, focused first.
    bool key(const QString &keyName, const Window &target = Window());
    // Moves the pointer to a point of the screen, then runs the xdotool commands `then`.
    static bool pointer(QPoint at, const QStringList &then = {});

    // The main window as on screen (null on failure).
    QImage screenshot() const;
    QString wireLog() const;
    QString output() const; // the program's stdout and stderr so far
    // Waits for the program to end: its exit code, -1 if it crashed, -2 if it still runs.
    int waitForExit(int timeoutMs = 30000);

    // Polls every 100 ms: the conditions run xdotool or take screenshots.
    template <typename F> static bool waitFor(F condition, int timeoutMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!condition()) {
            if (deadline.hasExpired())
                return false;
            QTest::qWait(100);
        }
        return true;
    }
    static bool xdotool(const QStringList &args, QString *out = nullptr, int timeoutMs = 5000);
    static bool displayAvailable();
    // An X window's geometry on the screen (null once it is gone).
    static QRect geometry(const QString &windowId);
    // Colours on a sparse grid of the image: many on a drawn scene, few on a blank one.
    static int distinctColours(const QImage &image);
    // Copies the data folders of the build's modules/ into to/modules.
    static bool copyData(const QString &to);
    // The lines of a macro file.
    static QStringList macroLines(const QString &file);
    // A part of the X screen, null on failure.
    static QImage grab(const QRect &area);

private:
    QTemporaryDir m_temp;
    std::unique_ptr<QProcess> m_process;
    mutable QString m_output;
    QString m_error;
    qulonglong m_mainId = 0;
};
