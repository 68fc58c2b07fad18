#include "Harness.h"

#include <QDir>
#include <QDirIterator>
#include <QProcessEnvironment>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <csignal>
#include <sys/prctl.h>

// A test killed by its time limit must not leave servers or windows behind.
static void dieWithParent(QProcess &process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

HarnessDisplay::HarnessDisplay() : m_previous(qgetenv("DISPLAY"))
{
    if (QStandardPaths::findExecutable(u"Xvfb"_s).isEmpty())
        return;
    // Xvfb picks a free number and writes it once it listens: one chosen here could race another test.
    dieWithParent(m_process);
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start(u"Xvfb"_s, {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    QByteArray number;
    QDeadlineTimer deadline(20000);
    while (m_process.waitForStarted(5000) && !number.contains('\n') && !deadline.hasExpired() &&
           m_process.state() == QProcess::Running) {
        m_process.waitForReadyRead(200);
        number += m_process.readAllStandardOutput();
    }
    bool ok = false;
    number.trimmed().toInt(&ok);
    if (ok) {
        qputenv("DISPLAY", ":" + number.trimmed());
        // Only a connection that succeeds shows the server is ready.
        if (Harness::waitFor([] { return Harness::displayAvailable(); }, 10000))
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
    if (!m_process.waitForFinished(5000))
        m_process.kill();
}

Harness::Harness()
{
    const QString bin = qEnvironmentVariable("Z3_BINARY_DIR");
    if (!m_temp.isValid() || !QDir().mkpath(workDir()) || !QFile::copy(bin + "/z3config", programPath()))
        m_error = u"no program at %1 (Z3_BINARY_DIR)"_s.arg(bin);
    else if (!copyData(workDir()))
        m_error = u"cannot copy the data"_s;
}

bool Harness::copyData(const QString &to)
{
    QString modules = qEnvironmentVariable("Z3_MODULES_DIR");
    if (modules.isEmpty())
        modules = qEnvironmentVariable("Z3_BINARY_DIR") + u"/modules"_s;
    bool ok = QDir().mkpath(to + u"/modules/macro"_s);
    // Only the data folders; the build tree's modules/ also holds CMake files.
    for (const char *dir : {"setting", "macro", "i18n", "media", "img"})
        for (QDirIterator it(modules + '/' + dir, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            const QString src = it.next(), dst = to + "/modules" + src.mid(modules.size());
            ok = ok && QDir().mkpath(QFileInfo(dst).path()) && QFile::copy(src, dst);
        }
    return ok;
}

Harness::~Harness()
{
    if (isRunning()) {
        ::kill(pid_t(pid()), SIGTERM);
        if (!m_process->waitForFinished(5000))
            m_process->kill();
        m_process->waitForFinished(2000);
    }
}

QString Harness::config(const QString &key, const QVariant &set) const
{
    QSettings s(workDir() + u"/modules/setting/apConfig.bin"_s, QSettings::IniFormat);
    if (set.isValid())
        s.setValue(key, set);
    return s.value(key).toString();
}

bool Harness::displayAvailable()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") && xdotool({u"getdisplaygeometry"_s}, nullptr, 2000);
}

bool Harness::xdotool(const QStringList &args, QString *out, int timeoutMs)
{
    QProcess p;
    p.start(u"xdotool"_s, args);
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
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "Z3_VIRTUAL_DEVICE", "Z3_SCRIPTED_DIALOGS"})
        e.remove(QLatin1String(name));
    const QString runtime = m_temp.path() + u"/runtime"_s;
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    e.insert(u"XDG_RUNTIME_DIR"_s, runtime);
    e.insert(u"XDG_DATA_HOME"_s, m_temp.path() + u"/data"_s);
    for (auto it = env.cbegin(); it != env.cend(); ++it)
        e.insert(it.key(), it.value());
    const QString cwd = workingDirectory.isEmpty() ? m_temp.path() + u"/elsewhere"_s : workingDirectory;
    QDir().mkpath(cwd);
    m_process = std::make_unique<QProcess>();
    m_process->setProcessEnvironment(e);
    m_process->setWorkingDirectory(cwd);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_output.clear();
    m_mainId = 0;
    dieWithParent(*m_process);
    m_process->start(programPath(), args + QStringList{u"--wire-log"_s, wireLogPath()});
    if (!m_process->waitForStarted(10000))
        m_error = u"cannot start: "_s + m_process->errorString();
    return m_error.isEmpty();
}

QRect Harness::geometry(const QString &windowId)
{
    QString shell;
    const auto value = [&](const char *name) {
        return shell.section(name + QLatin1Char('='), 1).section('\n', 0, 0).toInt();
    };
    return xdotool({"getwindowgeometry", "--shell", windowId}, &shell)
               ? QRect(value("X"), value("Y"), value("WIDTH"), value("HEIGHT"))
               : QRect(); // gone meanwhile
}

QList<Harness::Window> Harness::windows() const
{
    QList<Window> result;
    QString ids;
    // xdotool search fails when nothing matches; that is an empty list.
    if (!isRunning() || !xdotool({"search", "--onlyvisible", "--pid", QString::number(pid())}, &ids))
        return result;
    for (const QString &id : ids.split('\n', Qt::SkipEmptyParts)) {
        Window w{id.toULongLong(), QString(), geometry(id)};
        xdotool({"getwindowname", id}, &w.name);
        w.name = w.name.trimmed();
        // Qt keeps small helper windows mapped at 1 x 1; they are not the program's windows.
        if (w.geometry.width() > 1 && w.geometry.height() > 1)
            result.append(w);
    }
    std::sort(result.begin(), result.end(), [](const Window &a, const Window &b) {
        return a.geometry.width() * a.geometry.height() > b.geometry.width() * b.geometry.height();
    });
    return result;
}

Harness::Window Harness::waitForWindow(bool dialog)
{
    Window found;
    waitFor(
        [&] {
            const QList<Window> all = windows();
            for (const Window &w : all)
                if (dialog && w.id != m_mainId)
                    found = w;
            const QSize largest = all.isEmpty() ? QSize() : all.first().geometry.size();
            if (!dialog && largest.width() >= 400 && largest.height() >= 300)
                found = all.first();
            return found.isValid() || !isRunning();
        },
        60000);
    if (!dialog)
        m_mainId = found.id;
    return found;
}

QRect Harness::mainGeometry() const
{
    for (const Window &w : windows())
        if (w.id == m_mainId)
            return w.geometry;
    return QRect();
}

bool Harness::pointer(QPoint at, const QStringList &then)
{
    return xdotool(QStringList{"mousemove", QString::number(at.x()), QString::number(at.y())} + then);
}

bool Harness::click(int x, int y)
{
    const QRect g = mainGeometry();
    return g.isValid() && pointer(g.topLeft() + QPoint(x, y), {"click", "1"});
}

bool Harness::drag(QPoint from, QPoint to)
{
    const QPoint start = mainGeometry().topLeft() + from;
    if (!mainGeometry().isValid() || !pointer(start, {"mousedown", "1"}))
        return false;
    // The window follows the pointer: each step is taken from the press point.
    for (int i = 1; i <= 8; ++i) {
        pointer(start + (to - from) * i / 8);
        QTest::qWait(20);
    }
    return xdotool({"mouseup", "1"});
}

bool Harness::key(const QString &keyName, const Window &target)
{
    const qulonglong id = target.isValid() ? target.id : m_mainId;
    if (id)
        xdotool({"windowfocus", "--sync", QString::number(id)});
    return xdotool({"key", keyName});
}

QImage Harness::grab(const QRect &area)
{
    QProcess p;
    // Uncompressed: a PNG of the screen costs the program CPU time on a loaded machine.
    p.start("import",
            {"-window", "root", "-crop",
             u"%1x%2+%3+%4"_s.arg(area.width()).arg(area.height()).arg(area.x()).arg(area.y()), "ppm:-"});
    return p.waitForFinished(10000) ? QImage::fromData(p.readAllStandardOutput(), "PPM") : QImage();
}

QImage Harness::screenshot() const
{
    const QRect g = mainGeometry();
    return g.isEmpty() ? QImage() : grab(g);
}

QString Harness::wireLog() const
{
    return QString::fromUtf8(fileBytes(wireLogPath()));
}

QString Harness::output() const
{
    if (m_process)
        m_output += QString::fromLocal8Bit(m_process->readAll());
    return m_output;
}

int Harness::waitForExit(int timeoutMs)
{
    if (!m_process || (isRunning() && !m_process->waitForFinished(timeoutMs)))
        return -2;
    output();
    return m_process->exitStatus() == QProcess::NormalExit ? m_process->exitCode() : -1;
}

int Harness::distinctColours(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    return colours.size();
}

QStringList Harness::macroLines(const QString &file)
{
    QSettings s(file, QSettings::IniFormat);
    QStringList out;
    for (int i = 0; i < s.value(u"config/total"_s, 0).toInt(); ++i)
        out.append(s.value(u"macro/%1"_s.arg(i)).toString());
    return out;
}
