#pragma once
// Runs the real z3config in a real window and drives it from outside, as a
// user would: each Harness copies the built program and its data into its own
// temp folder (wire log on, XDG_RUNTIME_DIR and XDG_DATA_HOME inside it);
// input is real (xdotool, XTest), screenshots are ImageMagick's.

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

// An X server of the test's own (Xvfb), made the DISPLAY while it lives, so
// windows of tests running beside it cannot take its clicks or key focus.
// Falls back to the given DISPLAY when Xvfb is not installed.
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

    QString workDir() const { return m_temp.path() + QStringLiteral("/app"); }
    QString programPath() const { return workDir() + QStringLiteral("/z3config"); }
    QString wireLogPath() const { return m_temp.path() + QStringLiteral("/wire.log"); }
    QString lastError() const { return m_error; }
    // Writes a value of modules/setting/apConfig.bin before the start.
    void setConfig(const QString &key, const QVariant &value) const;

    // Starts the program with args (plus the wire log), extra environment and a working
    // directory (default: an empty folder, not the program's own, so it must find its files).
    bool start(const QStringList &args = {QStringLiteral("--virtual-device")},
               const QMap<QString, QString> &env = {}, const QString &workingDirectory = QString());
    bool isRunning() const { return m_process && m_process->state() != QProcess::NotRunning; }
    qint64 pid() const { return m_process ? m_process->processId() : 0; }

    // The program's visible windows, largest first.
    QList<Window> windows() const;
    // Waits until a window of at least minSize shows; the largest. The bound is wide: a start
    // starved of CPU by a loaded machine takes that long; the wait ends when the window maps.
    Window waitForWindow(int timeoutMs = 60000, QSize minSize = QSize(400, 300));
    // Waits until a window other than the main one shows (a box).
    Window waitForDialog(int timeoutMs = 60000);
    QRect mainGeometry() const;

    // Real input, in coordinates of the main window.
    bool click(int x, int y, int button = 1);
    bool drag(QPoint from, QPoint to, int steps = 8);
    // A key (xdotool name: "Return", "ctrl+a") to the window, focused first.
    bool key(const QString &keyName, const Window &target = Window());

    // The main window as on screen (null on failure).
    QImage screenshot() const;
    QString wireLog() const;
    QString output() const; // the program's stdout and stderr so far
    // Waits for the program to end; exitCode gets its code (-1 if it crashed).
    bool waitForExit(int timeoutMs = 20000, int *exitCode = nullptr);

    // Waits up to timeoutMs (real time) for condition(), polling every 100 ms.
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
    // Runs xdotool with args; true when it succeeded, with its output in *out.
    static bool xdotool(const QStringList &args, QString *out = nullptr, int timeoutMs = 5000);
    static bool displayAvailable();
    // How many colours a sparse grid of the image shows: many on a drawn scene, few on a blank one.
    static int distinctColours(const QImage &image);
    // The lines of a macro file.
    static QStringList macroLines(const QString &file);
    // A part of the X screen (ImageMagick's import), null on failure.
    static QImage grab(const QRect &area);

private:
    QTemporaryDir m_temp;
    std::unique_ptr<QProcess> m_process;
    mutable QString m_output;
    QString m_error;
    qulonglong m_mainId = 0;
};
