// The application configuration file as the global settings page and the
// device pages read it.
#include "AppConfigStore.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::app();
    const QString path = fuzz::writeInput(data, size, QStringLiteral("apConfig"), QStringLiteral(".bin"));
    {
        const QSettings settings(path, QSettings::IniFormat);
        if (AppConfigStore::load(settings).size() > AppConfigStore::kMaxEntries)
            __builtin_trap();
        if (AppConfigStore::loadDeviceApConfig(settings).size() != 1)
            __builtin_trap();
    }
    QFile::remove(path);
    return 0;
}
