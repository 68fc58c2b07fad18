// GUI-thread cost of three user actions in the real scene, without the
// protocol's own waits.
//
// The scene runs in-process on the virtual mouse as the program starts it;
// then the view's device link is detached, so every command the action would
// send is skipped and what remains is the program's own work on the GUI
// thread: the scene's script, the bridge, and the profile files.
//
// For each action (key-definition APPLY, sensor APPLY, profile switch) and
// each of N runs it records:
//   - stall: the longest time the event loop did not run (a 0 ms probe timer
//     notes every pass; the action and the 300 ms after it are watched, so
//     work it defers to later passes counts too);
//   - held: the same gap less the time the GUI thread waited for a CPU while
//     other processes ran (from /proc/thread-self/schedstat): what the
//     program itself held the thread for, work or blocking I/O; on a loaded
//     machine the wall-clock stall is mostly other processes' turns;
//   - busy: the sum of all gaps longer than 2 ms in that window.
// It prints median and max over the runs, and beside them the same key set
// written the two ways a store can write it (one sync per key, one sync per
// batch), measured in this run.
//
// Usage: bench_gui_actions [--runs N] [--hidden]   (QT_QPA_PLATFORM=offscreen works)

#include "Hid_Thread.h"
#include "VirtualDevice.h"
#include "Widget.h"
#include "myQQuickView.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QQuickItem>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

bool copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString dst = to + src.mid(from.size());
        QDir().mkpath(QFileInfo(dst).absolutePath());
        if (!QFile::copy(src, dst))
            return false;
    }
    return true;
}

QObject *child(QObject *root, const char *name)
{
    return root ? root->findChild<QObject *>(QString::fromLatin1(name)) : nullptr;
}

void waitFor(const std::function<bool()> &condition, int boundMs)
{
    QElapsedTimer t;
    t.start();
    while (!condition() && t.elapsed() < boundMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

struct Sample {
    double stallMs = 0; // longest gap, wall clock
    double heldMs = 0;  // longest gap less the time the thread waited for a CPU
    double busyMs = 0;
};

// Nanoseconds this thread has waited on the run queue (runnable, but another
// thread had the CPU): on a loaded machine that, not the program, makes
// most of a gap. -1 when the kernel does not tell.
qint64 runQueueWaitNs()
{
    QFile f(QStringLiteral("/proc/thread-self/schedstat"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() >= 2 ? fields.at(1).toLongLong() : -1;
}

// Runs `action` from the event loop (from a pass of the probe, so the gap
// that contains it is measured) and watches the loop for 300 ms after the
// action has returned, long enough for work it defers to the next passes.
Sample measure(const std::function<void()> &action)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = -1;
    int ticks = 0;
    Sample s;
    QTimer probe;
    probe.setInterval(0);
    qint64 lastWait = 0;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const qint64 wait = runQueueWaitNs();
        if (ticks > 2) {
            const double gap = (now - last) / 1e6;
            s.stallMs = std::max(s.stallMs, gap);
            s.heldMs = std::max(s.heldMs, wait >= 0 ? gap - (wait - lastWait) / 1e6 : gap);
            if (gap > 2.0)
                s.busyMs += gap;
        }
        last = now;
        lastWait = wait;
        if (++ticks == 3)
            action();
    });
    probe.start();
    while (ticks < 3 && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const qint64 started = clock.elapsed();
    while (clock.elapsed() - started < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    probe.stop();
    return s;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2);
}

void report(const char *name, const std::vector<Sample> &samples)
{
    std::vector<double> stall, held, busy;
    for (const Sample &s : samples) {
        stall.push_back(s.stallMs);
        held.push_back(s.heldMs);
        busy.push_back(s.busyMs);
    }
    const auto max = [](const std::vector<double> &v) { return *std::max_element(v.begin(), v.end()); };
    std::printf("%-22s held median %6.1f max %6.1f ms | stall median %6.1f max %6.1f ms | busy median %6.1f ms\n",
                name, median(held), max(held), median(stall), max(stall), median(busy));
}

// The 17 keys of a key-page apply, written to a scratch file one sync per
// key or all with one sync.
double writeKeys(const QString &path, bool syncEach)
{
    QSettings s(path, QSettings::IniFormat);
    QElapsedTimer t;
    t.start();
    for (int k = 0; k < 16; ++k) {
        s.setValue(QStringLiteral("keydefine_Z3/%1").arg(k),
                   QStringList{QString::number(t.nsecsElapsed() % 200), "0", "240", "0"});
        if (syncEach)
            s.sync();
    }
    s.setValue(QStringLiteral("keydefine_Z3/scrollswap"), bool(t.nsecsElapsed() & 1));
    s.sync();
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    QApplication app(argc, argv);
    int runs = 20;
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--runs"));
    if (at >= 0 && at + 1 < args.size())
        runs = std::max(1, args.at(at + 1).toInt());

    QTemporaryDir dir;
    const QString modules = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral(Z3_MODULES_DIR));
    if (!dir.isValid() || !copyTree(modules, dir.filePath(QStringLiteral("modules")))) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(modules));
        return 1;
    }
    {
        QSettings cfg(dir.filePath(QStringLiteral("modules/setting/apConfig.bin")), QSettings::IniFormat);
        cfg.setValue(QStringLiteral("common/3"), 1); // animations off
    }
    QDir::setCurrent(dir.path());

    Widget widget(nullptr, std::make_unique<VirtualDevice>());
    widget.checkDevice();
    // Hidden, nothing is drawn: the figures are then the script, the bridge
    // and the files alone, without the scene's rendering on the GUI thread.
    const bool hidden = args.contains(QStringLiteral("--hidden"));
    if (!hidden)
        widget.showNormal();
    myQQuickView *view = widget.view();
    if (!view || !view->rootObject()) {
        std::fprintf(stderr, "the scene did not load\n");
        return 1;
    }
    view->initUI();
    QObject *mainZ3 = child(view->rootObject(), "main_Z3");
    QObject *pfItem = child(view->rootObject(), "pfItem");
    // Pages are built when first needed; build those an APPLY or a switch uses,
    // so the first run does not count a page being built.
    for (int index : {0, 2, 3})
        if (mainZ3)
            QMetaObject::invokeMethod(mainZ3, "page", Q_ARG(QVariant, index));
    waitFor([&] { return mainZ3 && mainZ3->property("pageSensor").value<QObject *>(); }, 10000);
    QObject *keyPage = mainZ3 ? mainZ3->property("pageKeydefine").value<QObject *>() : nullptr;
    QObject *sensorPage = mainZ3 ? mainZ3->property("pageSensor").value<QObject *>() : nullptr;
    if (!keyPage || !sensorPage || !pfItem) {
        std::fprintf(stderr, "the pages did not load\n");
        return 1;
    }
    // Let the start-up commands end, then take the link away: from here on
    // only the program's own work is measured.
    waitFor([&] { return widget.hidThread().isLinkFree(); }, 5000);
    measure([] {});
    view->setHidThread(nullptr);

    std::vector<Sample> keyApply, sensorApply, profileSwitch;
    for (int i = 0; i < runs; ++i) {
        keyApply.push_back(measure([&] { QMetaObject::invokeMethod(keyPage, "pageApply"); }));
        sensorApply.push_back(measure([&] { QMetaObject::invokeMethod(sensorPage, "pageApply"); }));
        const int slot = (i % 2) ? 0 : 1;
        profileSwitch.push_back(
            measure([&] { QMetaObject::invokeMethod(pfItem, "selectSlot", Q_ARG(QVariant, slot)); }));
    }
    std::printf("GUI thread per action, link detached, window %s, %d runs\n", hidden ? "hidden" : "shown", runs);
    report("key-definition APPLY", keyApply);
    report("sensor APPLY", sensorApply);
    report("profile switch", profileSwitch);

    std::vector<double> each, batch;
    const QString scratch = dir.filePath(QStringLiteral("scratch.bin"));
    for (int i = 0; i < runs; ++i) {
        each.push_back(writeKeys(scratch, true));
        batch.push_back(writeKeys(scratch, false));
    }
    std::printf("17 keys, one sync each:  median %6.1f ms\n", median(each));
    std::printf("17 keys, one batch:      median %6.1f ms\n", median(batch));
    std::printf("ratio each/batch:        %6.1f\n", median(each) / std::max(median(batch), 0.001));
    view->setHidThread(&widget.hidThread());
    return 0;
}
