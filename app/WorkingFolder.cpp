#include "WorkingFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtDebug>

namespace WorkingFolder {
namespace {

// Folders the user's actions write to: copied. The rest are assets: linked.
const char *const kWritable[] = {"setting", "macro"};
const char *const kAssets[] = {"i18n", "media", "img"};

void copyMissing(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    const QFileInfoList entries = QDir(from).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
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

bool isWritableModules(const QString &dir)
{
    const QFileInfo modules(dir + QStringLiteral("/modules"));
    if (!modules.isDir() || !modules.isWritable())
        return false;
    // Settings and macros are written in place: one read-only file there
    // loses the user's changes to it as surely as a read-only folder.
    for (const char *name : kWritable) {
        const QFileInfo folder(modules.filePath() + QLatin1Char('/') + QLatin1String(name));
        if (!folder.exists())
            continue;
        if (!folder.isDir() || !folder.isWritable())
            return false;
        const QFileInfoList files =
            QDir(folder.filePath()).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QFileInfo &f : files)
            if (!f.isWritable())
                return false;
    }
    return true;
}

QString installedModules(const QString &appDir)
{
    return QDir::cleanPath(appDir + QStringLiteral("/../share/z3config/modules"));
}

QString userDataHome()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

namespace {

// Seeds dataHome/z3config from the data in `source`; the folder, or empty
// when it cannot be made usable.
QString seedUserFolder(const QString &source, const QString &dataHome)
{
    const QString work = dataHome + QStringLiteral("/z3config");
    const QString modules = work + QStringLiteral("/modules");
    if (!QDir().mkpath(modules)) {
        qWarning() << "Could not create the working folder" << modules;
        return QString();
    }
    // Seeded once: after that the copies are the user's, and a deleted macro
    // must not come back with the next start.
    for (const char *name : kWritable) {
        const QString target = modules + QLatin1Char('/') + QLatin1String(name);
        if (!QFileInfo::exists(target))
            copyMissing(source + QLatin1Char('/') + QLatin1String(name), target);
    }
    // Assets follow the program's data (an upgrade brings new artwork).
    for (const char *name : kAssets) {
        const QString link = modules + QLatin1Char('/') + QLatin1String(name);
        const QString target = QFileInfo(source + QLatin1Char('/') + QLatin1String(name)).absoluteFilePath();
        const QFileInfo info(link);
        if (info.isSymLink() && info.symLinkTarget() == target)
            continue;
        if (info.isSymLink())
            QFile::remove(link);
        else if (info.exists())
            continue; // the user's own folder: leave it alone
        if (!QFile::link(target, link))
            qWarning() << "Could not link" << link << "to" << target;
    }
    return isWritableModules(work) ? work : QString();
}

} // namespace

Place prepare(const QString &appDir, const QString &dataHome)
{
    if (isWritableModules(appDir))
        return {appDir, false};

    // The program's own data: a copy beside it first, else the installed one.
    QString source = appDir + QStringLiteral("/modules");
    if (!QFileInfo(source).isDir())
        source = installedModules(appDir);
    if (!QFileInfo(source).isDir())
        return {appDir, false};

    if (!dataHome.isEmpty() && QDir::isAbsolutePath(dataHome)) {
        const QString work = seedUserFolder(source, dataHome);
        if (!work.isEmpty())
            return {work, false};
    }
    // Nowhere to keep changes: show the data as it is.
    return {QDir::cleanPath(source + QStringLiteral("/..")), true};
}

Place enter()
{
    const Place place = prepare(QCoreApplication::applicationDirPath(), userDataHome());
    if (!QDir::setCurrent(place.folder))
        qWarning() << "Could not enter the working folder" << place.folder;
    if (place.readOnly)
        qWarning() << "Working read-only from" << place.folder << "- changes will not be kept";
    return place;
}

} // namespace WorkingFolder
