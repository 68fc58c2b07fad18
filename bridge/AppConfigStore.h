#pragma once
// The application configuration file ("apConfig.bin") as the global settings
// page sees it: a flat numbered list "common/0".."common/<total-1>" whose
// meaning belongs to the page, plus the device-dependent values and the reset
// from the delivered default ("apConfigD.bin").

#include <QSettings>
#include <QString>
#include <QVariantList>

namespace AppConfigStore {

// A damaged "common/total" must not make a load run for ever or fill memory.
constexpr int kMaxEntries = 1024;

// Writes "common/total" and every item with its own type; entries of an
// earlier, longer list stay in the file but are not read any more.
void save(QSettings &settings, const QVariantList &apConfigs);
// The stored list; missing entries read as the integer 0; the count is
// bounded to 0..kMaxEntries.
QVariantList load(const QSettings &settings);
// One item: "Z3/colorMaxStage" (default 8).
QVariantList loadDeviceApConfig(const QSettings &settings);
// Makes `path` a copy of `defaultPath` atomically; false (file kept) on failure.
bool resetFromDefault(const QString &path, const QString &defaultPath);
// True when `imgDir` holds at least two sub-folders (skins).
bool isSkinShow(const QString &imgDir);

} // namespace AppConfigStore
