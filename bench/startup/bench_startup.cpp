// Measures, under the current X display:
//   - cold start to the first frame of the window (median and max of N runs);
//   - peak resident memory (VmHWM) after 10 s idle with the window open;
//   - CPU time used during those 10 idle seconds;
// for z3config (--virtual-device) and for a minimal Qt Quick window in a
// QQuickWidget (this program started with --minimal), each with the software
// and the OpenGL scene graph. Prints the figures and the ratios.
//
//   bench_startup [--runs N] [--idle SECONDS]

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QQuickWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

class FirstPaint : public QObject {
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            std::fputs("first-frame\n", stdout);
            std::fflush(stdout);
        }
        return false;
    }
};

// The reference: a frameless translucent 1000 x 600 Qt Quick widget.
int runMinimal(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (qEnvironmentVariable("QT_QUICK_BACKEND") == QLatin1String("software"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QWidget host;
    host.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    host.setAttribute(Qt::WA_TranslucentBackground);
    QQuickWidget view(&host);
    view.setClearColor(Qt::transparent);
    view.setAttribute(Qt::WA_AlwaysStackOnTop);
    QTemporaryDir dir;
    QFile qml(dir.path() + QStringLiteral("/main.qml"));
    if (!qml.open(QIODevice::WriteOnly))
        return 1;
    qml.write("import QtQuick\nRectangle { width: 1000; height: 600; color: \"#202830\"\n"
              "  Text { anchors.centerIn: parent; text: \"minimal\"; color: \"white\" } }\n");
    qml.close();
    view.setSource(QUrl::fromLocalFile(qml.fileName()));
    host.resize(view.size());
    FirstPaint reporter;
    view.installEventFilter(&reporter);
    host.show();
    return app.exec();
}

struct Sample {
    QString backend; // as the scene graph reports it
    double firstFrameMs = -1;
    double peakRssMiB = 0;
    double idleCpuPercent = 0;
};

long long clockTicks(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = f.readAll();
    // Fields after the command name (which may contain spaces).
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return fields.value(11).toLongLong() + fields.value(12).toLongLong(); // utime + stime
}

double peakRssMiB(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// One start; with idleSeconds > 0 it also stays open that long.
Sample measure(const QString &program, const QStringList &args, const QProcessEnvironment &env,
               int idleSeconds)
{
    Sample s;
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer clock;
    clock.start();
    p.start(program, args);
    if (!p.waitForStarted(10000))
        return s;
    QByteArray out;
    while (!out.contains("first-frame") && clock.elapsed() < 30000 && p.state() == QProcess::Running) {
        if (p.waitForReadyRead(100))
            out += p.readAllStandardOutput();
    }
    if (out.contains("first-frame"))
        s.firstFrameMs = clock.nsecsElapsed() / 1e6;
    if (idleSeconds > 0 && p.state() == QProcess::Running) {
        // Let the opening animation end before counting idle time.
        QThread::sleep(5);
        const long long before = clockTicks(p.processId());
        QThread::sleep(idleSeconds);
        const long long after = clockTicks(p.processId());
        s.idleCpuPercent = 100.0 * double(after - before) / double(sysconf(_SC_CLK_TCK)) / idleSeconds;
        s.peakRssMiB = peakRssMiB(p.processId());
    }
    ::kill(pid_t(p.processId()), SIGTERM);
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(2000);
    }
    // qt.scenegraph.general says which back end really drew.
    const QString err = QString::fromLocal8Bit(p.readAllStandardError());
    if (err.contains(QLatin1String("Loading backend software")))
        s.backend = QStringLiteral("software");
    else if (err.contains(QLatin1String("Using QRhi with backend OpenGL")))
        s.backend = QStringLiteral("OpenGL");
    else
        s.backend = QStringLiteral("?");
    return s;
}

struct Figures {
    QString backend;
    double median = 0, max = 0, rss = 0, cpu = 0;
    int failures = 0;
};

Figures run(const QString &program, const QStringList &args, const QProcessEnvironment &env, int runs,
            int idle)
{
    QList<double> times;
    Figures f;
    for (int i = 0; i < runs; ++i) {
        const Sample s = measure(program, args, env, 0);
        if (s.firstFrameMs < 0)
            ++f.failures;
        else
            times.append(s.firstFrameMs);
    }
    std::sort(times.begin(), times.end());
    if (!times.isEmpty()) {
        f.median = times.size() % 2 ? times.at(times.size() / 2)
                                    : (times.at(times.size() / 2 - 1) + times.at(times.size() / 2)) / 2;
        f.max = times.last();
    }
    const Sample idleSample = measure(program, args, env, idle);
    f.rss = idleSample.peakRssMiB;
    f.backend = idleSample.backend;
    f.cpu = idleSample.idleCpuPercent;
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]) == "--minimal")
            return runMinimal(argc, argv);

    QCoreApplication app(argc, argv);
    int runs = 10;
    int idle = 10;
    const QStringList a = app.arguments();
    for (int i = 1; i + 1 < a.size(); ++i) {
        if (a.at(i) == QLatin1String("--runs"))
            runs = qMax(1, a.at(i + 1).toInt());
        if (a.at(i) == QLatin1String("--idle"))
            idle = qMax(1, a.at(i + 1).toInt());
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "bench_startup needs an X display (e.g. Xvfb :99 & DISPLAY=:99)\n");
        return 2;
    }

    // The program runs in a scratch copy of nothing: it works beside itself
    // (the build tree), so settings there are read as a user's would be.
    QTextStream out(stdout);
    out << "Cold start to first frame over " << runs << " runs, idle " << idle << " s (virtual mouse)\n";
    out << QStringLiteral("%1 %2 %3 %4 %5 %6\n")
               .arg(QStringLiteral("scene graph / program"), -34)
               .arg(QStringLiteral("median ms"), 10)
               .arg(QStringLiteral("max ms"), 10)
               .arg(QStringLiteral("peak MiB"), 10)
               .arg(QStringLiteral("idle CPU%"), 10)
               .arg(QStringLiteral("failed"), 7);

    struct Variant {
        const char *name;
        const char *quickBackend;
        const char *rhiBackend;
    };
    const Variant variants[] = {{"software", "software", ""}, {"OpenGL", "", "opengl"}};
    QTextStream err(stderr);
    for (const Variant &v : variants) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QUICK_BACKEND"));
        env.remove(QStringLiteral("QSG_RHI_BACKEND"));
        if (*v.quickBackend)
            env.insert(QStringLiteral("QT_QUICK_BACKEND"), QLatin1String(v.quickBackend));
        if (*v.rhiBackend)
            env.insert(QStringLiteral("QSG_RHI_BACKEND"), QLatin1String(v.rhiBackend));
        env.insert(QStringLiteral("Z3_REPORT_FIRST_FRAME"), QStringLiteral("1"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.scenegraph.general=true"));

        const Figures program =
            run(QStringLiteral(Z3_PROGRAM), {QStringLiteral("--virtual-device")}, env, runs, idle);
        const Figures minimal =
            run(QCoreApplication::applicationFilePath(), {QStringLiteral("--minimal")}, env, runs, idle);
        const auto row = [&](const QString &name, const Figures &f) {
            out << QStringLiteral("%1 %2 %3 %4 %5 %6  (drawn by %7)\n")
                       .arg(name, -34)
                       .arg(f.median, 10, 'f', 1)
                       .arg(f.max, 10, 'f', 1)
                       .arg(f.rss, 10, 'f', 1)
                       .arg(f.cpu, 10, 'f', 2)
                       .arg(f.failures, 7)
                       .arg(f.backend);
        };
        row(QStringLiteral("%1 / z3config").arg(QLatin1String(v.name)), program);
        row(QStringLiteral("%1 / minimal Qt Quick window").arg(QLatin1String(v.name)), minimal);
        const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
        out << QStringLiteral("%1 %2 %3 %4\n\n")
                   .arg(QStringLiteral("%1 / ratio z3config : minimal").arg(QLatin1String(v.name)), -34)
                   .arg(ratio(program.median, minimal.median), 10, 'f', 2)
                   .arg(ratio(program.max, minimal.max), 10, 'f', 2)
                   .arg(ratio(program.rss, minimal.rss), 10, 'f', 2);
        out.flush();
    }
    return 0;
}
