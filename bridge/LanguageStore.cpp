#include "LanguageStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>

namespace {

struct LanguageRow {
    int qt4;
    QLocale::Language language;
};

struct TerritoryRow {
    int qt4;
    QLocale::Territory territory;
};

// Qt 4 numbers of the languages a translation is likely to be made for.
const LanguageRow kLanguages[] = {
    {1, QLocale::C},           {5, QLocale::Afrikaans},
    {6, QLocale::Albanian},    {8, QLocale::Arabic},
    {14, QLocale::Basque},     {15, QLocale::Bengali},
    {20, QLocale::Bulgarian},  {24, QLocale::Catalan},
    {25, QLocale::Chinese},    {27, QLocale::Croatian},
    {28, QLocale::Czech},      {29, QLocale::Danish},
    {30, QLocale::Dutch},      {31, QLocale::English},
    {33, QLocale::Estonian},   {36, QLocale::Finnish},
    {37, QLocale::French},     {40, QLocale::Galician},
    {42, QLocale::German},     {43, QLocale::Greek},
    {48, QLocale::Hebrew},     {49, QLocale::Hindi},
    {50, QLocale::Hungarian},  {51, QLocale::Icelandic},
    {52, QLocale::Indonesian}, {57, QLocale::Irish},
    {58, QLocale::Italian},    {59, QLocale::Japanese},
    {63, QLocale::Kazakh},     {66, QLocale::Korean},
    {71, QLocale::Latvian},    {73, QLocale::Lithuanian},
    {76, QLocale::Malay},      {85, QLocale::NorwegianBokmal},
    {89, QLocale::Persian},    {90, QLocale::Polish},
    {91, QLocale::Portuguese}, {95, QLocale::Romanian},
    {96, QLocale::Russian},    {100, QLocale::Serbian},
    {108, QLocale::Slovak},    {109, QLocale::Slovenian},
    {111, QLocale::Spanish},   {114, QLocale::Swedish},
    {120, QLocale::Thai},      {125, QLocale::Turkish},
    {129, QLocale::Ukrainian}, {132, QLocale::Vietnamese},
};

// Qt 4 numbers of the countries that matter for those languages.
const TerritoryRow kTerritories[] = {
    {10, QLocale::Argentina},      {13, QLocale::Australia},     {14, QLocale::Austria},
    {21, QLocale::Belgium},        {30, QLocale::Brazil},        {38, QLocale::Canada},
    {44, QLocale::China},          {57, QLocale::CzechRepublic}, {58, QLocale::Denmark},
    {73, QLocale::Finland},        {74, QLocale::France},        {82, QLocale::Germany},
    {85, QLocale::Greece},         {97, QLocale::HongKong},      {98, QLocale::Hungary},
    {100, QLocale::India},         {101, QLocale::Indonesia},    {105, QLocale::Israel},
    {106, QLocale::Italy},         {108, QLocale::Japan},        {114, QLocale::SouthKorea},
    {126, QLocale::Macau},         {130, QLocale::Malaysia},     {139, QLocale::Mexico},
    {151, QLocale::Netherlands},   {161, QLocale::Norway},       {170, QLocale::Philippines},
    {172, QLocale::Poland},        {173, QLocale::Portugal},     {178, QLocale::Russia},
    {186, QLocale::SaudiArabia},   {190, QLocale::Singapore},    {197, QLocale::Spain},
    {205, QLocale::Sweden},        {206, QLocale::Switzerland},  {208, QLocale::Taiwan},
    {211, QLocale::Thailand},      {217, QLocale::Turkey},       {222, QLocale::Ukraine},
    {224, QLocale::UnitedKingdom}, {225, QLocale::UnitedStates}, {232, QLocale::Vietnam},
};

constexpr int kQt4China = 44;
constexpr int kQt4Taiwan = 208;

// The digits of a code as a number; anything unparsable counts as 0.
int numberOf(const QString &digits)
{
    bool ok = false;
    const int n = digits.toInt(&ok);
    return ok ? n : 0;
}

// A text with an unquoted comma comes back from an INI file as a list; the
// user meant one text, so it is put back together.
QString textValue(const QSettings &s, const QString &key)
{
    const QVariant v = s.value(key);
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QStringLiteral(", "));
    return v.toString();
}

} // namespace

namespace LanguageStore {

QLocale::Language languageFromQt4(int qt4Language)
{
    for (const LanguageRow &row : kLanguages)
        if (row.qt4 == qt4Language)
            return row.language;
    return QLocale::AnyLanguage;
}

QLocale::Territory territoryFromQt4(int qt4Country)
{
    for (const TerritoryRow &row : kTerritories)
        if (row.qt4 == qt4Country)
            return row.territory;
    return QLocale::AnyTerritory;
}

QString displayName(const QString &code)
{
    const int languageNumber = numberOf(code.mid(0, 3));
    const int countryNumber = numberOf(code.mid(3, 3));
    const QString language = QLocale::languageToString(languageFromQt4(languageNumber)).toUpper();
    if (countryNumber == 0)
        return language;
    if (countryNumber == kQt4China)
        return language + QStringLiteral(" (Simp)");
    if (countryNumber == kQt4Taiwan)
        return language + QStringLiteral(" (Trad)");
    const QLocale::Territory territory = territoryFromQt4(countryNumber);
    // A country this program does not know keeps its number, so two such
    // files do not collapse into one entry.
    const QString country = territory == QLocale::AnyTerritory
                                ? QString::number(countryNumber)
                                : QLocale::territoryToString(territory).toUpper();
    return language + QStringLiteral(" (") + country + QLatin1Char(')');
}

QVariantMap chkLanguages(const QString &i18nDir)
{
    QVariantMap map;
    const QStringList names = QDir(i18nDir).entryList({QStringLiteral("lang_*.ini")}, QDir::AllEntries,
                                                      QDir::Name | QDir::IgnoreCase);
    for (const QString &name : names) {
        const QString code = name.mid(5, 6);
        map.insert(displayName(code), code);
    }
    return map;
}

QString languageFile(const QString &i18nDir, const QString &langCode)
{
    if (langCode.contains(QLatin1Char('/')) || langCode.contains(QLatin1Char('\\')) ||
        langCode.contains(QStringLiteral("..")))
        return QString();
    QString dir = i18nDir;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir + QStringLiteral("lang_") + langCode + QStringLiteral(".ini");
}

QStringList globalStrings(const QString &file, QStringList *messages)
{
    if (file.isEmpty()) {
        if (messages)
            *messages = QStringList(kMessageCount, QString());
        return {QString()};
    }
    // QSettings reads INI files as UTF-8.
    const QSettings s(file, QSettings::IniFormat);
    QStringList out;
    out << textValue(s, QStringLiteral("font/family"));
    const int total = std::clamp(s.value(QStringLiteral("font/total"), 0).toInt(), 0, kMaxStrings);
    out.reserve(total + 1);
    for (int k = 1; k <= total; ++k)
        out << textValue(s, QStringLiteral("strings/") + QString::number(k));
    if (messages) {
        messages->clear();
        for (int i = 0; i < kMessageCount; ++i)
            *messages << textValue(s, QStringLiteral("msg/") + QString::number(i));
    }
    return out;
}

QStringList productLayoutStrings(const QString &file)
{
    if (file.isEmpty())
        return QStringList(kLayoutCount, QString());
    const QSettings s(file, QSettings::IniFormat);
    QStringList out;
    for (int p = 0; p < kLayoutCount; ++p)
        out << textValue(s, QStringLiteral("Z3_4D1E07B/") + QString::number(p));
    return out;
}

} // namespace LanguageStore
