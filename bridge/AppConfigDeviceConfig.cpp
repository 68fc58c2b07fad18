#include "AppConfigDeviceConfig.h"

#include <QSettings>

AppConfigDeviceConfig::AppConfigDeviceConfig(const QString &path) : m_path(path) {}

QString AppConfigDeviceConfig::secrecyCode(uint did, const QString &defaultValue) const
{
    const QSettings s(m_path, QSettings::IniFormat);
    return s.value(QStringLiteral("common/sCode") + QString::number(did), defaultValue).toString();
}

QStringList AppConfigDeviceConfig::productNames() const
{
    const QSettings s(m_path, QSettings::IniFormat);
    return s.value(QStringLiteral("common/product_name")).toStringList();
}
