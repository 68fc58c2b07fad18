#pragma once
// The device link's view of the application configuration: the secrecy code
// of each device row and the product names, read from the file every time
// they are asked for, so a reset or an edit of the file is seen at the next
// device check.

#include "Hid_Thread.h"

#include <QString>
#include <QStringList>

class AppConfigDeviceConfig : public DeviceConfig {
public:
    explicit AppConfigDeviceConfig(const QString &path = QStringLiteral("./modules/setting/apConfig.bin"));

    QString secrecyCode(uint did, const QString &defaultValue) const override;
    QStringList productNames() const override;

private:
    QString m_path;
};
