// What a user of z3config waits for and what it costs while it sits open,
// beside a minimal Qt Quick window (1000 x 600 rectangle and a text), all on
// the software scene graph, measured in one interleaved run:
//   - exec to window mapped (the X server reports the window viewable);
//   - first frame with visible content: the window is read back from the X
//     server until its pixels are no longer uniform (z3config first paints a
//     blank frame; its logo fades in later);
//   - end of the opening animation: the last change of the window's pixels
//     before they stay still for a second;
//   - after the animation: peak RSS (VmHWM), CPU (all threads' run time from
//     /proc/<pid>/task/*/schedstat), wake-ups per second (voluntary and
//     involuntary context switches of all threads) and thread count.
// Variants: z3config as shipped (sounds on), z3config with sounds off, and the
// minimal window. Each round starts the three in turn; medians over the rounds
// after one warm-up round. Ratios are to the minimal window.
//
//   bench_startup [--runs N] [--idle SECONDS] [--program PATH]
// --program measures another build of z3config (e.g. an older one) with this
// build's data folders.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QQuickWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

// The reference: a frameless translucent 1000 x 600 Qt Quick widget.
int runMinimal(int argc, char **argv)
{
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QApplication app(argc, argv);
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
    host.show();
    return app.exec();
}

// Watches one process's top-level window through the X server.
class XProbe {
public:
    XProbe() : m_dpy(XOpenDisplay(nullptr))
    {
        if (m_dpy)
            m_pidAtom = XInternAtom(m_dpy, "_NET_WM_PID", False);
    }
    ~XProbe()
    {
        if (m_dpy)
            XCloseDisplay(m_dpy);
    }
    bool ok() const { return m_dpy != nullptr; }

    // The viewable top-level window of `pid` of at least 100 x 100, or 0.
    Window mappedWindow(qint64 pid) const
    {
        Window root = DefaultRootWindow(m_dpy), parent = 0, *children = nullptr;
        unsigned int n = 0;
        Window found = 0;
        if (!XQueryTree(m_dpy, root, &root, &parent, &children, &n))
            return 0;
        for (unsigned int i = 0; i < n && !found; ++i) {
            XWindowAttributes a;
            if (!XGetWindowAttributes(m_dpy, children[i], &a) || a.map_state != IsViewable || a.width < 100 ||
                a.height < 100)
                continue;
            Atom type = 0;
            int format = 0;
            unsigned long items = 0, after = 0;
            unsigned char *data = nullptr;
            if (XGetWindowProperty(m_dpy, children[i], m_pidAtom, 0, 1, False, AnyPropertyType, &type, &format,
                                   &items, &after, &data) == Success &&
                data) {
                if (items == 1 && format == 32 && qint64(*reinterpret_cast<unsigned long *>(data)) == pid)
                    found = children[i];
                XFree(data);
            }
        }
        if (children)
            XFree(children);
        return found;
    }

    struct Shot {
        bool valid = false;
        bool uniform = true;
        size_t hash = 0;
    };

    Shot shot(Window w) const
    {
        Shot s;
        XWindowAttributes a;
        if (!XGetWindowAttributes(m_dpy, w, &a))
            return s;
        XImage *img = XGetImage(m_dpy, w, 0, 0, unsigned(a.width), unsigned(a.height), AllPlanes, ZPixmap);
        if (!img)
            return s;
        s.valid = true;
        const QByteArray bytes = QByteArray::fromRawData(img->data, img->bytes_per_line * img->height);
        s.hash = qHash(bytes);
        const unsigned long first = XGetPixel(img, 0, 0);
        for (int y = 0; y < img->height && s.uniform; y += 2)
            for (int x = 0; x < img->width; x += 2)
                if (XGetPixel(img, x, y) != first) {
                    s.uniform = false;
                    break;
                }
        XDestroyImage(img);
        return s;
    }

private:
    Display *m_dpy;
    Atom m_pidAtom = 0;
};

struct ProcSample {
    // Per thread: CPU time (ns) and context switches. Kept per thread so a
    // thread that ends during the interval does not count as negative work.
    QHash<QString, QPair<double, double>> tasks;
    int threads = 0;
    double peakMiB = 0;

    // CPU ns and switches of the threads alive at `after`, since `this`.
    QPair<double, double> until(const ProcSample &after) const
    {
        QPair<double, double> d{0, 0};
        for (auto it = after.tasks.cbegin(); it != after.tasks.cend(); ++it) {
            const QPair<double, double> was = tasks.value(it.key(), {0, 0});
            d.first += it.value().first - was.first;
            d.second += it.value().second - was.second;
        }
        return d;
    }
};

ProcSample sampleProc(qint64 pid)
{
    ProcSample s;
    const QString base = QStringLiteral("/proc/%1").arg(pid);
    const QStringList tasks = QDir(base + QStringLiteral("/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &t : tasks) {
        QPair<double, double> &task = s.tasks[t];
        QFile sched(base + QStringLiteral("/task/") + t + QStringLiteral("/schedstat"));
        if (sched.open(QIODevice::ReadOnly))
            task.first = sched.readAll().split(' ').value(0).toDouble();
        QFile status(base + QStringLiteral("/task/") + t + QStringLiteral("/status"));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("voluntary_ctxt_switches:") || line.startsWith("nonvoluntary_ctxt_switches:"))
                task.second += line.mid(line.indexOf(':') + 1).trimmed().toDouble();
    }
    QFile status(base + QStringLiteral("/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                s.peakMiB = line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
            if (line.startsWith("Threads:"))
                s.threads = line.mid(8).trimmed().toInt();
        }
    }
    return s;
}

struct Run {
    bool ok = false;
    double mappedMs = 0, contentMs = 0, settledMs = 0;
    double peakMiB = 0, cpuPercent = 0, wakeups = 0, threads = 0;
};

Run measure(const XProbe &x, const QString &program, const QStringList &args, const QProcessEnvironment &env,
            int idleSeconds)
{
    Run r;
    QProcess p;
    p.setProcessEnvironment(env);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    p.start(program, args);
    const auto stop = [&] {
        ::kill(pid_t(p.processId()), SIGTERM);
        if (!p.waitForFinished(5000)) {
            p.kill();
            p.waitForFinished(2000);
        }
    };
    if (!p.waitForStarted(10000))
        return r;
    const qint64 pid = p.processId();
    Window w = 0;
    while (!(w = x.mappedWindow(pid)) && clock.elapsed() < 60000 && p.state() == QProcess::Running)
        QThread::msleep(2);
    if (!w) {
        stop();
        return r;
    }
    r.mappedMs = clock.nsecsElapsed() / 1e6;
    XProbe::Shot s;
    while (clock.elapsed() < 60000 && ((s = x.shot(w)).uniform))
        QThread::msleep(5);
    if (s.uniform) {
        stop();
        return r;
    }
    r.contentMs = clock.nsecsElapsed() / 1e6;
    // The animation has ended once the pixels stay the same for a second.
    size_t last = s.hash;
    r.settledMs = r.contentMs;
    while (clock.elapsed() < 90000 && clock.nsecsElapsed() / 1e6 - r.settledMs < 1000) {
        QThread::msleep(15);
        const XProbe::Shot now = x.shot(w);
        if (now.valid && now.hash != last) {
            last = now.hash;
            r.settledMs = clock.nsecsElapsed() / 1e6;
        }
    }
    const ProcSample before = sampleProc(pid);
    QElapsedTimer idle;
    idle.start();
    QThread::sleep(idleSeconds);
    const ProcSample after = sampleProc(pid);
    const double seconds = idle.nsecsElapsed() / 1e9;
    const QPair<double, double> used = before.until(after);
    r.cpuPercent = 100.0 * used.first / 1e9 / seconds;
    r.wakeups = used.second / seconds;
    r.threads = after.threads;
    r.peakMiB = after.peakMiB;
    r.ok = p.state() == QProcess::Running;
    stop();
    return r;
}

double median(QList<double> v)
{
    if (v.isEmpty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v.at(v.size() / 2) : (v.at(v.size() / 2 - 1) + v.at(v.size() / 2)) / 2;
}

// A copy of the program and its data folders, so a variant's settings are its own.
bool layOut(const QString &dir, const QString &exe, bool soundsOn)
{
    const QString modules = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral(Z3_MODULES));
    QStringList args{QStringLiteral("-r"), exe};
    for (const char *d : {"setting", "i18n", "media", "img", "macro"})
        if (QFileInfo::exists(modules + QLatin1Char('/') + QLatin1String(d)))
            args << modules + QLatin1Char('/') + QLatin1String(d);
    QDir().mkpath(dir + QStringLiteral("/modules"));
    QStringList program = args.mid(0, 2);
    if (QProcess::execute(QStringLiteral("cp"), program << dir) != 0)
        return false;
    if (QProcess::execute(QStringLiteral("cp"), QStringList{QStringLiteral("-r")} + args.mid(2) +
                                                    QStringList{dir + QStringLiteral("/modules")}) != 0)
        return false;
    QSettings config(dir + QStringLiteral("/modules/setting/apConfig.bin"), QSettings::IniFormat);
    config.setValue(QStringLiteral("common/2"), soundsOn ? 0 : 1);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]) == "--minimal")
            return runMinimal(argc, argv);

    QCoreApplication app(argc, argv);
    int runs = 7;
    int idle = 6;
    QString z3 = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral(Z3_PROGRAM));
    const QStringList a = app.arguments();
    for (int i = 1; i + 1 < a.size(); ++i) {
        if (a.at(i) == QLatin1String("--program"))
            z3 = QFileInfo(a.at(i + 1)).absoluteFilePath();
        if (a.at(i) == QLatin1String("--runs"))
            runs = qMax(1, a.at(i + 1).toInt());
        if (a.at(i) == QLatin1String("--idle"))
            idle = qMax(1, a.at(i + 1).toInt());
    }
    XProbe x;
    if (!x.ok()) {
        std::fprintf(stderr, "bench_startup needs an X display (e.g. Xvfb :99 & DISPLAY=:99)\n");
        return 2;
    }
    QTemporaryDir work;
    const QString shippedDir = work.filePath(QStringLiteral("shipped"));
    const QString quietDir = work.filePath(QStringLiteral("quiet"));
    if (!layOut(shippedDir, z3, true) || !layOut(quietDir, z3, false)) {
        std::fprintf(stderr, "cannot copy the program and its data\n");
        return 1;
    }
    const QString exe = QFileInfo(z3).fileName();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QUICK_BACKEND"));
    env.remove(QStringLiteral("QSG_RHI_BACKEND"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), work.path());
    struct Variant {
        QString name, program;
        QStringList args;
        QList<Run> runs;
        int failed = 0;
    };
    QList<Variant> variants = {
        {QStringLiteral("minimal"), QCoreApplication::applicationFilePath(), {QStringLiteral("--minimal")}, {}},
        {QStringLiteral("z3config"), shippedDir + QLatin1Char('/') + exe, {QStringLiteral("--virtual-device")}, {}},
        {QStringLiteral("sounds off"), quietDir + QLatin1Char('/') + exe, {QStringLiteral("--virtual-device")}, {}},
    };
    for (int round = 0; round <= runs; ++round) {
        for (Variant &v : variants) {
            const Run r = measure(x, v.program, v.args, env, idle);
            if (round == 0)
                continue; // warm-up
            if (r.ok)
                v.runs.append(r);
            else
                ++v.failed;
        }
    }

    QTextStream out(stdout);
    out << "Medians of " << runs << " interleaved runs after a warm-up, idle figures over " << idle
        << " s after the opening animation (virtual mouse, software scene graph)\n";
    out << QStringLiteral("%1%2%3%4%5%6\n")
               .arg(QString(), -26)
               .arg(QStringLiteral("minimal"), 10)
               .arg(QStringLiteral("z3config"), 10)
               .arg(QStringLiteral("ratio"), 7)
               .arg(QStringLiteral("sounds off"), 11)
               .arg(QStringLiteral("ratio"), 7);
    const auto row = [&](const char *label, double Run::*field, int decimals) {
        double m[3];
        for (int i = 0; i < 3; ++i) {
            QList<double> values;
            for (const Run &r : variants.at(i).runs)
                values.append(r.*field);
            m[i] = median(values);
        }
        const auto ratio = [&](double v) {
            return m[0] > 0 ? QString::number(v / m[0], 'f', 2) : QStringLiteral("-");
        };
        out << QStringLiteral("%1%2%3%4%5%6\n")
                   .arg(QLatin1String(label), -26)
                   .arg(m[0], 10, 'f', decimals)
                   .arg(m[1], 10, 'f', decimals)
                   .arg(ratio(m[1]), 7)
                   .arg(m[2], 11, 'f', decimals)
                   .arg(ratio(m[2]), 7);
    };
    row("exec to window mapped ms", &Run::mappedMs, 1);
    row("first visible content ms", &Run::contentMs, 1);
    row("opening animation end ms", &Run::settledMs, 1);
    row("peak RSS MiB", &Run::peakMiB, 1);
    row("idle CPU %", &Run::cpuPercent, 2);
    row("idle wake-ups per s", &Run::wakeups, 1);
    row("threads", &Run::threads, 0);
    out << QStringLiteral("%1%2%3%4%5%6\n")
               .arg(QStringLiteral("failed runs"), -26)
               .arg(variants.at(0).failed, 10)
               .arg(variants.at(1).failed, 10)
               .arg(QString(), 7)
               .arg(variants.at(2).failed, 11)
               .arg(QString(), 7);
    return 0;
}
