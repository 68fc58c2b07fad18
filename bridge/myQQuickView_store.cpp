// myQQuickView slots for what the program keeps on disk: profiles, the
// application configuration, languages, the macro library, and the macro
// upload. The stores do the file work; dialogs and message boxes stay here.

#include "AppConfigStore.h"
#include "Hid_Thread.h"
#include "KeyNameTable.h"
#include "LanguageStore.h"
#include "MacroEncoder.h"
#include "MacroLibrary.h"
#include "ProfileStore.h"
#include "UserDialogs.h"
#include "myQQuickView.h"

#include <QFile>
#include <QLoggingCategory>
#include <QStandardPaths>

Q_LOGGING_CATEGORY(lcStore, "z3.bridge.store")

namespace {

const QString kSettingDir = QStringLiteral("./modules/setting");
const QString kApConfigPath = QStringLiteral("./modules/setting/apConfig.bin");
const QString kApConfigDefaultPath = QStringLiteral("./modules/setting/apConfigD.bin");
const QString kImgDir = QStringLiteral("./modules/img");
const QString kI18nDir = QStringLiteral("./modules/i18n/");
const QString kMacroDir = QStringLiteral("./modules/macro/");

constexpr int kMouseMacroSlots = 12;
constexpr int kKeyboardMacroSlots = 35;

QString desktopFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

// The device the slots act for; without a link the shipped device, the mouse.
uint currentDid(const Hid_Thread *hid)
{
    return hid ? hid->currentDevice() : MacroEncoder::kMouseDid;
}

// Makes slot `profile` a copy of `source` and reopens its store. The old
// store is released only after the new file is in place; on failure the slot
// file and its store stay as they were.
bool replaceProfileSlot(QList<QSettings *> &profiles, int profile, const QString &source)
{
    const ProfileStore store(kSettingDir);
    if (!ProfileStore::isValidSlot(profile))
        return false;
    QSettings *old = profile < profiles.size() ? profiles.at(profile) : nullptr;
    if (!store.importSlot(profile, source)) {
        qCWarning(lcStore) << "profile slot" << profile << "kept: cannot copy" << source;
        return false;
    }
    // Owned like the stores the view opened: by the view's list.
    auto *fresh = new ProfileSettings(store.slotPath(profile), QSettings::IniFormat);
    while (profiles.size() <= profile)
        profiles.append(nullptr);
    profiles[profile] = fresh;
    if (old)
        old->deleteLater();
    return true;
}

QString messageAt(const QStringList &messages, int i)
{
    return i < messages.size() ? messages.at(i) : QString();
}

} // namespace

void myQQuickView::buildKeyNameTable()
{
    KeyNameTable::rebuild();
}

// ---- profile store ------------------------------------------------------------

void myQQuickView::saveProfile(int profile)
{
    if (!ProfileStore::isValidSlot(profile))
        return;
    const QString target =
        UserDialogs::getSaveFileName(this, tr("Save File"), desktopFolder(), tr("Profile(*.pf)"));
    if (target.isEmpty())
        return;
    flushProfiles();
    if (!ProfileStore(kSettingDir).exportSlot(profile, target))
        qCWarning(lcStore) << "profile export failed" << profile << target;
}

void myQQuickView::loadProfile(int profile)
{
    if (!ProfileStore::isValidSlot(profile))
        return;
    const QString source =
        UserDialogs::getOpenFileName(this, tr("Open File"), desktopFolder(), tr("Profile(*.pf)"));
    if (source.isEmpty())
        return;
    flushProfiles();
    replaceProfileSlot(m_profiles, profile, source);
}

void myQQuickView::resetProfile(int profile)
{
    flushProfiles();
    replaceProfileSlot(m_profiles, profile, ProfileStore(kSettingDir).defaultPath());
}

QVariantList myQQuickView::loadDefaultProfile(uchar uiPageId)
{
    return ProfileStore::loadDefaultProfile(ProfileStore(kSettingDir).defaultPath(), uiPageId);
}

// ---- application configuration ---------------------------------------------

void myQQuickView::saveApConfig(QVariantList apConfigs)
{
    if (!m_apConfig)
        m_apConfig = new QSettings(kApConfigPath, QSettings::IniFormat);
    AppConfigStore::save(*m_apConfig, apConfigs);
}

QVariantList myQQuickView::loadApConfig()
{
    if (!m_apConfig)
        return {};
    return AppConfigStore::load(*m_apConfig);
}

QVariantList myQQuickView::loadDeviceApConfig()
{
    if (!m_apConfig)
        return {8};
    return AppConfigStore::loadDeviceApConfig(*m_apConfig);
}

void myQQuickView::resetApconfig()
{
    const QString path = m_apConfig ? m_apConfig->fileName() : kApConfigPath;
    if (m_apConfig)
        m_apConfig->sync();
    if (!AppConfigStore::resetFromDefault(path, kApConfigDefaultPath)) {
        qCWarning(lcStore) << "configuration kept: cannot copy" << kApConfigDefaultPath;
        return;
    }
    QSettings *old = m_apConfig;
    m_apConfig = new QSettings(kApConfigPath, QSettings::IniFormat);
    if (old)
        old->deleteLater();
}

bool myQQuickView::getIsSkinShow()
{
    return AppConfigStore::isSkinShow(kImgDir);
}

// ---- languages ----------------------------------------------------------------

QVariantMap myQQuickView::chkLanguages()
{
    return LanguageStore::chkLanguages(kI18nDir);
}

QStringList myQQuickView::getGlobalStrings(QString langCode)
{
    return LanguageStore::globalStrings(LanguageStore::languageFile(kI18nDir, langCode), &m_msgStrings);
}

QStringList myQQuickView::getProductLayoutStrings_Z3(QString langCode)
{
    return LanguageStore::productLayoutStrings(LanguageStore::languageFile(kI18nDir, langCode));
}

// ---- macro library --------------------------------------------------------------

QStringList myQQuickView::getMacroIniNames()
{
    return MacroLibrary(kMacroDir).fileNames();
}

QVariant myQQuickView::createMacroIni()
{
    const QString name = MacroLibrary(kMacroDir).create();
    if (name.isEmpty())
        qCWarning(lcStore) << "cannot create a macro in" << kMacroDir;
    return name;
}

QStringList myQQuickView::loadMacroIni(QVariant name)
{
    return MacroLibrary(kMacroDir).load(name.toString());
}

QVariant myQQuickView::saveMacroIni(QVariant name, QStringList macros)
{
    const MacroLibrary library(kMacroDir);
    const QString macroName = name.toString();
    if (!library.save(macroName, macros))
        return false;
    const int index = library.boundIndex(macroName);
    if (index < 0)
        return true;
    const uint did = currentDid(m_hid);
    // A binding made for the other device names a slot of that device; sending
    // it here would overwrite an unrelated macro of this one.
    const QVariantList config = library.loadConfig(macroName, int(did));
    if (config.isEmpty() || config.at(0).toInt() != index)
        return true;
    if (did == MacroEncoder::kMouseDid && index < kMouseMacroSlots)
        ui_13H_SetMacroKey(index + 1, name);
    else if (did == MacroEncoder::kKeyboardDid && index < kKeyboardMacroSlots)
        ui_11H_SetMacroKey(index, name);
    return true;
}

QVariantList myQQuickView::loadMacroIniConfig(QVariant name)
{
    return MacroLibrary(kMacroDir).loadConfig(name.toString(), int(currentDid(m_hid)));
}

void myQQuickView::setMacroIniConfig(QVariant name, QVariantList config)
{
    MacroLibrary(kMacroDir).setConfig(name.toString(), config, int(currentDid(m_hid)));
}

QVariant myQQuickView::deleteMacroIni(QVariant name)
{
    return MacroLibrary(kMacroDir).remove(name.toString());
}

void myQQuickView::renameMacroIniFile(QVariant oldName, QVariant newName)
{
    if (!MacroLibrary(kMacroDir).rename(oldName.toString(), newName.toString()))
        qCInfo(lcStore) << "macro not renamed" << oldName.toString() << newName.toString();
}

void myQQuickView::loadMacroIniFromFile(QVariant name)
{
    const MacroLibrary library(kMacroDir);
    if (!MacroLibrary::isValidName(name.toString()))
        return;
    const QString source =
        UserDialogs::getOpenFileName(this, tr("Open File"), desktopFolder(), tr("Macro(*.mc)"));
    if (source.isEmpty() || !library.exists(name.toString()))
        return;
    if (!library.importFrom(name.toString(), source))
        qCWarning(lcStore) << "macro kept: cannot copy" << source;
}

void myQQuickView::saveMacroIniToFile(QVariant name)
{
    const MacroLibrary library(kMacroDir);
    if (!library.exists(name.toString()))
        return;
    const QString target =
        UserDialogs::getSaveFileName(this, tr("Save File"), desktopFolder(), tr("Macro(*.mc)"));
    if (target.isEmpty())
        return;
    if (!library.exportTo(name.toString(), target))
        qCWarning(lcStore) << "macro export failed" << target;
}

QString myQQuickView::getCustomFilePath()
{
    const QString path = UserDialogs::getOpenFileName(
        this, tr("Open File"), QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
        tr("Image Files(*.png)"));
    if (path.isEmpty())
        return QString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        UserDialogs::warning(messageAt(m_msgStrings, 2), messageAt(m_msgStrings, 3) + path);
        return QString();
    }
    file.close();
    return path;
}

// ---- macro encoding and upload -------------------------------------------------

QList<uchar> myQQuickView::macroIncode(QStringList macros)
{
    return MacroEncoder::encode(macros, currentDid(m_hid), KeyNameTable::table());
}

void myQQuickView::ui_13H_SetMacroKey(QVariant macroId, QVariant name)
{
    const MacroLibrary library(kMacroDir);
    const QStringList lines = library.load(name.toString());
    QList<int> recordEnds;
    const QList<uchar> data =
        MacroEncoder::encode(lines, currentDid(m_hid), KeyNameTable::table(), &recordEnds);
    bool cut = false;
    QByteArray block = MacroEncoder::block(data, recordEnds, MacroEncoder::kMouseBlockSize, &cut);
    if (cut)
        UserDialogs::warning(QStringLiteral("MACRO"),
                             QStringLiteral("Out of memory,\nsome command line has been cut."));
    MacroEncoder::setRepeatHeader(block, library.repeat(name.toString()));
    if (!m_hid)
        return;
    m_hid->hid_13H_SetMacroKey(uchar(macroId.toInt() & 0xFF), reinterpret_cast<uchar *>(block.data()));
}

void myQQuickView::ui_11H_SetMacroKey(QVariant macroId, QVariant name)
{
    const QStringList lines = MacroLibrary(kMacroDir).load(name.toString());
    QList<int> recordEnds;
    const QList<uchar> data =
        MacroEncoder::encode(lines, currentDid(m_hid), KeyNameTable::table(), &recordEnds);
    bool cut = false;
    QByteArray block = MacroEncoder::block(data, recordEnds, MacroEncoder::kKeyboardBlockSize, &cut);
    if (cut)
        UserDialogs::warning(messageAt(m_msgStrings, 0), messageAt(m_msgStrings, 1));
    if (!m_hid)
        return;
    m_hid->hid_11H_SetMacroKey(uchar(macroId.toInt() & 0xFF), reinterpret_cast<uchar *>(block.data()));
}
