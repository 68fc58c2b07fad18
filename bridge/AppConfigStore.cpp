#include "AppConfigStore.h"

#include "FileReplace.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace AppConfigStore {

void save(QSettings &settings, const QVariantList &apConfigs)
{
    settings.setValue(QStringLiteral("common/total"), int(apConfigs.size()));
    for (int i = 0; i < apConfigs.size(); ++i)
        settings.setValue(QStringLiteral("common/") + QString::number(i), apConfigs.at(i));
    settings.sync();
}

QVariantList load(const QSettings &settings)
{
    QVariantList out;
    const int total = std::clamp(settings.value(QStringLiteral("common/total"), 0).toInt(), 0, kMaxEntries);
    out.reserve(total);
    for (int i = 0; i < total; ++i)
        out << settings.value(QStringLiteral("common/") + QString::number(i), 0);
    return out;
}

QVariantList loadDeviceApConfig(const QSettings &settings)
{
    return {settings.value(QStringLiteral("Z3/colorMaxStage"), 8).toInt()};
}

bool resetFromDefault(const QString &path, const QString &defaultPath)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return FileReplace::copyOver(defaultPath, path);
}

bool isSkinShow(const QString &imgDir)
{
    return QDir(imgDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size() >= 2;
}

} // namespace AppConfigStore
