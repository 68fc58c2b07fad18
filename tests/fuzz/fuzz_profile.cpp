// A damaged profile imported into a slot, and a damaged default profile read
// for every page's defaults.
#include "FuzzSupport.h"
#include "ProfileStore.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::app();
    const QString path = fuzz::writeInput(data, size, QStringLiteral("pD"), QStringLiteral(".bin"));
    for (uchar page = 0; page < 5; ++page)
        ProfileStore::loadDefaultProfile(path, page);

    const QString settingDir = fuzz::folder() + QStringLiteral("/setting");
    const ProfileStore store(settingDir);
    if (!store.importSlot(0, path))
        __builtin_trap(); // a readable source must replace the slot
    QFile imported(store.slotPath(0));
    if (!imported.open(QIODevice::ReadOnly) || imported.readAll() != QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)))
        __builtin_trap(); // the slot holds exactly what was imported
    QFile::remove(path);
    return 0;
}
