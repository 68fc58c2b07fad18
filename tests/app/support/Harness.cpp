#include "Harness.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QSet>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <algorithm>
#include <csignal>
#include <sys/prctl.h>

namespace {

// A test killed by its time limit must not leave servers or windows behind.
void dieWithParent(QProcess &process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

bool copyTree(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
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

QString binaryDir()
{
    return qEnvironmentVariable("Z3_BINARY_DIR");
}
QString modulesDir()
{
    const QString m = qEnvironmentVariable("Z3_MODULES_DIR");
    return m.isEmpty() ? binaryDir() + QStringLiteral("/modules") : m;
}

} // namespace

HarnessDisplay::HarnessDisplay() : m_previous(qgetenv("DISPLAY"))
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
        return;
    // Xvfb picks a free number itself and writes it to our pipe once it
    // listens: choosing a number here could race another test's server for
    // it and end up on that server, which goes away with its test.
    dieWithParent(m_process);
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start(QStringLiteral("Xvfb"),
                    {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                     QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                     QStringLiteral("tcp")});
    if (!m_process.waitForStarted(5000))
        return;
    QByteArray number;
    QElapsedTimer clock;
    clock.start();
    while (!number.contains('\n') && m_process.state() == QProcess::Running && clock.elapsed() < 20000) {
        m_process.waitForReadyRead(200);
        number += m_process.readAllStandardOutput();
    }
    bool ok = false;
    number.trimmed().toInt(&ok);
    if (ok) {
        qputenv("DISPLAY", ":" + number.trimmed());
        // Only a connection that succeeds shows the server is ready.
        if (Harness::waitFor([] { return Harness::xdotool({QStringLiteral("getdisplaygeometry")}, nullptr, 2000); },
                             10000))
            return;
    }
    qputenv("DISPLAY", m_previous);
    m_process.kill();
    m_process.waitForFinished(3000);
}

HarnessDisplay::~HarnessDisplay()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    qputenv("DISPLAY", m_previous);
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

Harness::Harness() : m_temp(std::make_unique<QTemporaryDir>())
{
    const QString program = binaryDir() + QStringLiteral("/z3config");
    if (!m_temp->isValid() || !QFileInfo(program).isExecutable()) {
        m_error = QStringLiteral("no program at %1 (Z3_BINARY_DIR)").arg(program);
        return;
    }
    QDir().mkpath(workDir());
    if (!QFile::copy(program, programPath())) {
        m_error = QStringLiteral("cannot copy the program");
        return;
    }
    // Only the data folders; the build tree's modules/ also holds CMake files.
    for (const char *dir : {"setting", "macro", "i18n", "media", "img"}) {
        const QString from = modulesDir() + QLatin1Char('/') + QLatin1String(dir);
        if (QFileInfo(from).isDir() &&
            !copyTree(from, workDir() + QStringLiteral("/modules/") + QLatin1String(dir))) {
            m_error = QStringLiteral("cannot copy %1").arg(from);
            return;
        }
    }
    QDir().mkpath(workDir() + QStringLiteral("/modules/macro"));
}

Harness::~Harness()
{
    if (isRunning()) {
        ::kill(pid_t(m_process->processId()), SIGTERM);
        if (!m_process->waitForFinished(5000)) {
            m_process->kill();
            m_process->waitForFinished(2000);
        }
    }
}

QString Harness::workDir() const
{
    return m_temp->path() + QStringLiteral("/app");
}
QString Harness::programPath() const
{
    return workDir() + QStringLiteral("/z3config");
}
QString Harness::wireLogPath() const
{
    return m_temp->path() + QStringLiteral("/wire.log");
}

bool Harness::displayAvailable()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") && xdotool({QStringLiteral("getdisplaygeometry")});
}

bool Harness::xdotool(const QStringList &args, QString *out, int timeoutMs)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(1000);
        return false;
    }
    if (out)
        *out = QString::fromLocal8Bit(p.readAllStandardOutput());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool Harness::start(const QStringList &args, const QMap<QString, QString> &env,
                    const QString &workingDirectory)
{
    if (!m_error.isEmpty())
        return false;
    if (isRunning()) {
        m_error = QStringLiteral("already running");
        return false;
    }
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.remove(QStringLiteral("QT_QPA_PLATFORM"));
    e.remove(QStringLiteral("Z3_VIRTUAL_DEVICE"));
    e.remove(QStringLiteral("Z3_SCRIPTED_DIALOGS"));
    const QString runtime = m_temp->path() + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    e.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    e.insert(QStringLiteral("XDG_DATA_HOME"), m_temp->path() + QStringLiteral("/data"));
    if (!e.contains(QStringLiteral("QT_QUICK_BACKEND")))
        e.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
    for (auto it = env.cbegin(); it != env.cend(); ++it)
        e.insert(it.key(), it.value());

    QString cwd = workingDirectory;
    if (cwd.isEmpty()) {
        cwd = m_temp->path() + QStringLiteral("/elsewhere");
        QDir().mkpath(cwd);
    }
    m_process = std::make_unique<QProcess>();
    m_process->setProcessEnvironment(e);
    m_process->setWorkingDirectory(cwd);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    QStringList allArgs = args;
    allArgs << QStringLiteral("--wire-log") << wireLogPath();
    m_output.clear();
    m_mainId = 0;
    dieWithParent(*m_process);
    m_process->start(programPath(), allArgs);
    if (!m_process->waitForStarted(10000)) {
        m_error = QStringLiteral("cannot start: ") + m_process->errorString();
        return false;
    }
    return true;
}

bool Harness::isRunning() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}
qint64 Harness::pid() const
{
    return m_process ? m_process->processId() : 0;
}

QList<Harness::Window> Harness::windows() const
{
    QList<Window> result;
    if (!isRunning())
        return result;
    QString ids;
    // xdotool search fails when nothing matches; that is an empty list.
    xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
             QString::number(pid())},
            &ids);
    for (const QString &idText : ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        Window w;
        w.id = idText.trimmed().toULongLong();
        QString shell;
        if (!xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), idText.trimmed()},
                     &shell))
            continue; // gone meanwhile
        QMap<QString, int> values;
        for (const QString &line : shell.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            values.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1).toInt());
        w.geometry = QRect(values.value(QStringLiteral("X")), values.value(QStringLiteral("Y")),
                           values.value(QStringLiteral("WIDTH")), values.value(QStringLiteral("HEIGHT")));
        xdotool({QStringLiteral("getwindowname"), idText.trimmed()}, &w.name);
        w.name = w.name.trimmed();
        // Qt keeps small helper windows mapped at 1 x 1; they are not the program's windows.
        if (w.id && w.geometry.width() > 1 && w.geometry.height() > 1)
            result.append(w);
    }
    std::sort(result.begin(), result.end(), [](const Window &a, const Window &b) {
        return a.geometry.width() * a.geometry.height() > b.geometry.width() * b.geometry.height();
    });
    return result;
}

Harness::Window Harness::waitForWindow(int timeoutMs, QSize minSize)
{
    Window found;
    waitFor(
        [&] {
            const QList<Window> all = windows();
            if (!all.isEmpty() && all.first().geometry.width() >= minSize.width() &&
                all.first().geometry.height() >= minSize.height())
                found = all.first();
            return found.isValid() || !isRunning();
        },
        timeoutMs);
    m_mainId = found.id;
    return found;
}

Harness::Window Harness::waitForDialog(int timeoutMs)
{
    Window found;
    waitFor(
        [&] {
            for (const Window &w : windows())
                if (w.id != m_mainId) {
                    found = w;
                    return true;
                }
            return !isRunning();
        },
        timeoutMs);
    return found;
}

Harness::Window Harness::mainWindow() const
{
    for (const Window &w : windows())
        if (w.id == m_mainId)
            return w;
    return Window();
}

QRect Harness::mainGeometry() const
{
    return mainWindow().geometry;
}

bool Harness::click(int x, int y, int button)
{
    const Window w = mainWindow();
    if (!w.isValid())
        return false;
    const QPoint p = w.geometry.topLeft() + QPoint(x, y);
    return xdotool({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y()),
                    QStringLiteral("click"), QString::number(button)});
}

bool Harness::drag(QPoint from, QPoint to, int steps)
{
    const Window w = mainWindow();
    if (!w.isValid() || steps < 1)
        return false;
    const QPoint origin = w.geometry.topLeft();
    const QPoint start = origin + from;
    if (!xdotool({QStringLiteral("mousemove"), QString::number(start.x()), QString::number(start.y()),
                  QStringLiteral("mousedown"), QStringLiteral("1")}))
        return false;
    // Moves in screen coordinates from the press point; the window follows
    // the pointer, so each step is relative to where the pointer is.
    const QPoint delta = to - from;
    for (int i = 1; i <= steps; ++i) {
        const QPoint p = start + delta * i / steps;
        xdotool({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())});
        QTest::qWait(20);
    }
    return xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
}

bool Harness::key(const QString &keyName, const Window &target)
{
    const Window w = target.isValid() ? target : mainWindow();
    if (w.isValid())
        xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(w.id)});
    return xdotool({QStringLiteral("key"), keyName});
}

QImage Harness::screenshotRoot() const
{
    QProcess p;
    p.start(QStringLiteral("import"),
            {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")});
    if (!p.waitForFinished(10000))
        return QImage();
    return QImage::fromData(p.readAllStandardOutput(), "PNG");
}

QImage Harness::screenshot() const
{
    const QRect g = mainGeometry();
    if (g.isEmpty())
        return QImage();
    const QImage root = screenshotRoot();
    return root.isNull() ? QImage() : root.copy(g);
}

bool Harness::waitForStill(int timeoutMs) const
{
    QImage last;
    return waitFor(
        [&] {
            const QImage now = screenshot();
            const bool still = !now.isNull() && now == last;
            last = now;
            if (!still)
                QTest::qWait(250);
            return still;
        },
        timeoutMs);
}

QString Harness::wireLog() const
{
    QFile f(wireLogPath());
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QString Harness::output() const
{
    if (m_process)
        m_output += QString::fromLocal8Bit(m_process->readAll());
    return m_output;
}

bool Harness::waitForExit(int timeoutMs, int *exitCode)
{
    if (!m_process)
        return false;
    if (m_process->state() != QProcess::NotRunning && !m_process->waitForFinished(timeoutMs))
        return false;
    output();
    if (exitCode)
        *exitCode = m_process->exitStatus() == QProcess::NormalExit ? m_process->exitCode() : -1;
    return true;
}

int Harness::distinctColours(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    return colours.size();
}
