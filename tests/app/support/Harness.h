#pragma once
// Runs the real z3config in a real window (the test's X display, Xvfb under
// scripts/test.sh) and drives it from outside, as a user would:
//
//   Harness h;                                  // private copy of the program
//   QVERIFY2(h.start({"--virtual-device"}), qPrintable(h.lastError()));
//   const Harness::Window w = h.waitForWindow(); // bounded
//   h.click(970, 20);                            // window coordinates
//   QVERIFY(h.waitForExit());                    // bounded
//   h.wireLog(); h.workDir(); h.screenshot();
//
// Each Harness copies the built program and its modules/ into its own temp
// folder, so scenarios never touch the build tree's settings and can run in
// parallel. The wire log is always on (workDir()/wire.log); XDG_RUNTIME_DIR
// and XDG_DATA_HOME point into the temp folder, so notices and per-user
// files stay private to the scenario. Input is real: xdotool (XTest).
// Screenshots: ImageMagick's import of the root window, cropped.

#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// An X server of the scenario's own (Xvfb), made the DISPLAY while it lives.
// Clicks land on whatever window is on top at a point of the screen, so a
// test whose windows share a server with other tests running in parallel
// can have its clicks caught by them. Falls back to the given DISPLAY when
// Xvfb is not installed.
class HarnessDisplay {
public:
    HarnessDisplay();
    ~HarnessDisplay();
    bool isPrivate() const { return m_process.state() == QProcess::Running; }

private:
    QProcess m_process;
    QByteArray m_previous;
};

// One visible top-level window of the program.
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

    // The folder holding the copy of z3config and modules/.
    QString workDir() const;
    QString programPath() const;
    QString wireLogPath() const;
    QString lastError() const { return m_error; }

    // Starts the program with args (the wire log option is added), extra
    // environment variables and a working directory (default: a fresh empty
    // folder, not the program's own, so start-up must find its files).
    bool start(const QStringList &args = {QStringLiteral("--virtual-device")},
               const QMap<QString, QString> &env = {}, const QString &workingDirectory = QString());
    bool isRunning() const;
    qint64 pid() const;

    // The program's visible windows, largest first.
    QList<Window> windows() const;
    // Waits until a visible window of at least minSize exists; the largest.
    Window waitForWindow(int timeoutMs = 20000, QSize minSize = QSize(400, 300));
    // Waits until a visible window other than the main one shows (a box).
    Window waitForDialog(int timeoutMs = 20000);
    // The main window's current geometry (refreshed).
    QRect mainGeometry() const;

    // Real input, in coordinates of the main window.
    bool click(int x, int y, int button = 1);
    bool drag(QPoint from, QPoint to, int steps = 8);
    // A key (xdotool key name: "Return", "Escape", "ctrl+a") to the window,
    // which is focused first.
    bool key(const QString &keyName, const Window &target = Window());

    // The main window as on screen (null on failure).
    QImage screenshot() const;
    // Waits until the window shows the same picture twice in a row, 300 ms
    // apart (animations have ended); false after timeoutMs.
    bool waitForStill(int timeoutMs = 20000) const;
    // The whole screen.
    QImage screenshotRoot() const;

    QString wireLog() const;
    QString output() const; // the program's stdout and stderr so far

    // Waits for the program to end; exitCode gets its code (-1 if it crashed).
    bool waitForExit(int timeoutMs = 20000, int *exitCode = nullptr);

    // Waits up to timeoutMs for condition(), polling every 50 ms.
    template <typename F> static bool waitFor(F condition, int timeoutMs);

    // Runs xdotool with args; true when it succeeded, with its output in *out.
    static bool xdotool(const QStringList &args, QString *out = nullptr, int timeoutMs = 5000);
    static bool displayAvailable();
    // How many colours a sparse grid of the image shows: a drawn scene has many,
    // a blank or black frame one or two.
    static int distinctColours(const QImage &image);

private:
    Window mainWindow() const;

    std::unique_ptr<QTemporaryDir> m_temp;
    std::unique_ptr<QProcess> m_process;
    mutable QString m_output;
    QString m_error;
    qulonglong m_mainId = 0;
};

template <typename F> bool Harness::waitFor(F condition, int timeoutMs)
{
    // Counts real time: a slow condition (a screenshot under load) must not
    // stretch the bound.
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (condition())
            return true;
        if (clock.elapsed() >= timeoutMs)
            return false;
        QTest::qWait(50);
    }
}
