#include "WorkingFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtDebug>

namespace WorkingFolder {
namespace {

// Folders the user's actions write to: copied. The rest are assets: linked.
const char *const kWritable[] = {"setting", "macro"};
const char *const kAssets[] = {"i18n", "media", "img"};

bool isWritableModules(const QString &dir)
{
    const QFileInfo modules(dir + QStringLiteral("/modules"));
    if (!modules.isDir())
        return false;
    // Settings are written below "setting"; a read-only copy there is as bad
    // as a read-only "modules".
    const QFileInfo setting(dir + QStringLiteral("/modules/setting"));
    if (setting.exists())
        return setting.isDir() && setting.isWritable();
    return modules.isWritable();
}

void copyMissing(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    const QFileInfoList entries = QDir(from).entryInfoList(QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo &f : entries) {
        const QString target = to + QLatin1Char('/') + f.fileName();
        if (QFileInfo::exists(target))
            continue;
        if (QFile::copy(f.absoluteFilePath(), target))
            QFile(target).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        else
            qWarning() << "Could not copy" << f.absoluteFilePath() << "to" << target;
    }
}

} // namespace

QString installedModules(const QString &appDir)
{
    return QDir::cleanPath(appDir + QStringLiteral("/../share/z3config/modules"));
}

QString prepare(const QString &appDir, const QString &userDataHome)
{
    if (isWritableModules(appDir))
        return appDir;

    const QString installed = installedModules(appDir);
    if (!QFileInfo(installed).isDir() || userDataHome.isEmpty())
        return appDir;

    const QString work = userDataHome + QStringLiteral("/z3config");
    const QString modules = work + QStringLiteral("/modules");
    if (!QDir().mkpath(modules)) {
        qWarning() << "Could not create the working folder" << modules;
        return appDir;
    }
    // Seeded once: after that the copies are the user's, and a deleted macro
    // must not come back with the next start.
    for (const char *name : kWritable) {
        const QString target = modules + QLatin1Char('/') + QLatin1String(name);
        if (!QFileInfo::exists(target))
            copyMissing(installed + QLatin1Char('/') + QLatin1String(name), target);
    }
    // Assets follow the installed program (an upgrade brings new artwork).
    for (const char *name : kAssets) {
        const QString link = modules + QLatin1Char('/') + QLatin1String(name);
        const QString source = installed + QLatin1Char('/') + QLatin1String(name);
        const QFileInfo info(link);
        if (info.isSymLink() && info.symLinkTarget() == QFileInfo(source).absoluteFilePath())
            continue;
        if (info.isSymLink())
            QFile::remove(link);
        else if (info.exists())
            continue; // the user's own folder: leave it alone
        if (!QFile::link(source, link))
            qWarning() << "Could not link" << link << "to" << source;
    }
    return work;
}

QString enter()
{
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty())
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    const QString dir = prepare(QCoreApplication::applicationDirPath(), dataHome);
    if (!QDir::setCurrent(dir))
        qWarning() << "Could not enter the working folder" << dir;
    return dir;
}

} // namespace WorkingFolder
