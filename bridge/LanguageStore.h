#pragma once
// Language files "lang_LLLCCC.ini" (UTF-8 INI): the language list with
// display names, the UI strings with the font family, the six message
// strings and the names of the mouse's key positions.
//
// The six digits of a file name are a language and a country number in the
// old Qt 4 numbering, which today's QLocale no longer uses; every Qt 4
// number is named here explicitly, with its Qt 4 name.

#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace LanguageStore {

// A damaged "font/total" must not make a load run for ever or fill memory.
constexpr int kMaxStrings = 1024;
constexpr int kMessageCount = 6;
constexpr int kLayoutCount = 16;

// The Qt 4 name of a language / country number ("English", "China"); empty
// for a number Qt 4 did not have.
QString qt4LanguageName(int number);
QString qt4CountryName(int number);

// Display name for a six-digit code, e.g. "031000" -> "ENGLISH",
// "025044" -> "CHINESE (Simp)", "025208" -> "CHINESE (Trad)".
QString displayName(const QString &code);

// Display name -> code for every "lang_*.ini" in `i18nDir`, in name order
// ignoring case; a later file with the same display name wins.
QVariantMap chkLanguages(const QString &i18nDir);

// The file of a language code; empty for a code that could name a file
// outside the folder (a path separator or "..").
QString languageFile(const QString &i18nDir, const QString &langCode);

// Font family then strings 1..N ("font/total", bounded). When `messages` is
// given it is replaced by "msg/0".."msg/5". An empty or missing file reads as
// empty: one empty string, six empty messages.
QStringList globalStrings(const QString &file, QStringList *messages = nullptr);

// The 16 "Z3_4D1E07B/" key position names.
QStringList productLayoutStrings(const QString &file);

} // namespace LanguageStore
