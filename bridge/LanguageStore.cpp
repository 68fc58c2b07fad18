#include "LanguageStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <iterator>

namespace {

// Names of the Qt 4 QLocale::Language values, indexed by their number
// (0 "Default" .. 234 "Yangben"), as Qt 4.8 spelled them.
const char *const kQt4Languages[] = {
    "Default", "C", "Abkhazian", "Oromo", "Afar", "Afrikaans", "Albanian", "Amharic", "Arabic", "Armenian",
    "Assamese", "Aymara", "Azerbaijani", "Bashkir", "Basque", "Bengali", "Dzongkha", "Bihari", "Bislama",
    "Breton", "Bulgarian", "Burmese", "Belarusian", "Khmer", "Catalan", "Chinese", "Corsican", "Croatian",
    "Czech", "Danish", "Dutch", "English", "Esperanto", "Estonian", "Faroese", "Fijian", "Finnish", "French",
    "Western Frisian", "Gaelic", "Galician", "Georgian", "German", "Greek", "Greenlandic", "Guarani",
    "Gujarati", "Hausa", "Hebrew", "Hindi", "Hungarian", "Icelandic", "Indonesian", "Interlingua",
    "Interlingue", "Inuktitut", "Inupiak", "Irish", "Italian", "Japanese", "Javanese", "Kannada", "Kashmiri",
    "Kazakh", "Kinyarwanda", "Kirghiz", "Korean", "Kurdish", "Rundi", "Lao", "Latin", "Latvian", "Lingala",
    "Lithuanian", "Macedonian", "Malagasy", "Malay", "Malayalam", "Maltese", "Maori", "Marathi", "Moldavian",
    "Mongolian", "Nauru", "Nepali", "Norwegian Bokmal", "Occitan", "Oriya", "Pashto", "Persian", "Polish",
    "Portuguese", "Punjabi", "Quechua", "RhaetoRomance", "Romanian", "Russian", "Samoan", "Sango", "Sanskrit",
    "Serbian", "SerboCroatian", "Southern Sotho", "Tswana", "Shona", "Sindhi", "Sinhala", "Swati", "Slovak",
    "Slovenian", "Somali", "Spanish", "Sundanese", "Swahili", "Swedish", "Tagalog", "Tajik", "Tamil", "Tatar",
    "Telugu", "Thai", "Tibetan", "Tigrinya", "Tongan", "Tsonga", "Turkish", "Turkmen", "Twi", "Uigur",
    "Ukrainian", "Urdu", "Uzbek", "Vietnamese", "Volapuk", "Welsh", "Wolof", "Xhosa", "Yiddish", "Yoruba",
    "Zhuang", "Zulu", "Nynorsk", "Bosnian", "Divehi", "Manx", "Cornish", "Akan", "Konkani", "Ga", "Igbo",
    "Kamba", "Syriac", "Blin", "Geez", "Koro", "Sidamo", "Atsam", "Tigre", "Jju", "Friulian", "Venda", "Ewe",
    "Walamo", "Hawaiian", "Tyap", "Chewa", "Filipino", "Swiss German", "Sichuan Yi", "Kpelle", "Low German",
    "South Ndebele", "Northern Sotho", "Northern Sami", "Taroko", "Gusii", "Taita", "Fulah", "Kikuyu",
    "Samburu", "Sena", "North Ndebele", "Rombo", "Tachelhit", "Kabyle", "Nyankole", "Bena", "Vunjo",
    "Bambara", "Embu", "Cherokee", "Morisyen", "Makonde", "Langi", "Ganda", "Bemba", "Kabuverdianu", "Meru",
    "Kalenjin", "Nama", "Machame", "Colognian", "Masai", "Soga", "Luyia", "Asu", "Teso", "Saho",
    "Koyra Chiini", "Rwa", "Luo", "Chiga", "Central Morocco Tamazight", "Koyraboro Senni", "Shambala", "Bodo",
    "Aghem", "Basaa", "Zarma", "Duala", "JolaFonyi", "Ewondo", "Bafia", "LubaKatanga", "MakhuwaMeetto",
    "Mundang", "Kwasio", "Nuer", "Sakha", "Sangu", "Congo Swahili", "Tasawaq", "Vai", "Walser", "Yangben",
};

// Names of the Qt 4 QLocale::Country values, indexed by their number
// (0 "Default" .. 246 "Latin America And The Caribbean").
const char *const kQt4Countries[] = {
    "Default", "Afghanistan", "Albania", "Algeria", "American Samoa", "Andorra", "Angola", "Anguilla",
    "Antarctica", "Antigua And Barbuda", "Argentina", "Armenia", "Aruba", "Australia", "Austria",
    "Azerbaijan", "Bahamas", "Bahrain", "Bangladesh", "Barbados", "Belarus", "Belgium", "Belize", "Benin",
    "Bermuda", "Bhutan", "Bolivia", "Bosnia And Herzegowina", "Botswana", "Bouvet Island", "Brazil",
    "British Indian Ocean Territory", "Brunei", "Bulgaria", "Burkina Faso", "Burundi", "Cambodia", "Cameroon",
    "Canada", "Cape Verde", "Cayman Islands", "Central African Republic", "Chad", "Chile", "China",
    "Christmas Island", "Cocos Islands", "Colombia", "Comoros", "Democratic Republic Of Congo",
    "People's Republic Of Congo", "Cook Islands", "Costa Rica", "Ivory Coast", "Croatia", "Cuba", "Cyprus",
    "Czech Republic", "Denmark", "Djibouti", "Dominica", "Dominican Republic", "East Timor", "Ecuador",
    "Egypt", "El Salvador", "Equatorial Guinea", "Eritrea", "Estonia", "Ethiopia", "Falkland Islands",
    "Faroe Islands", "Fiji", "Finland", "France", "Metropolitan France", "French Guiana", "French Polynesia",
    "French Southern Territories", "Gabon", "Gambia", "Georgia", "Germany", "Ghana", "Gibraltar", "Greece",
    "Greenland", "Grenada", "Guadeloupe", "Guam", "Guatemala", "Guinea", "Guinea Bissau", "Guyana", "Haiti",
    "Heard and McDonald Islands", "Honduras", "Hong Kong", "Hungary", "Iceland", "India", "Indonesia", "Iran",
    "Iraq", "Ireland", "Israel", "Italy", "Jamaica", "Japan", "Jordan", "Kazakhstan", "Kenya", "Kiribati",
    "Democratic Republic Of Korea", "Republic Of Korea", "Kuwait", "Kyrgyzstan", "Lao", "Latvia", "Lebanon",
    "Lesotho", "Liberia", "Libya", "Liechtenstein", "Lithuania", "Luxembourg", "Macau", "Macedonia",
    "Madagascar", "Malawi", "Malaysia", "Maldives", "Mali", "Malta", "Marshall Islands", "Martinique",
    "Mauritania", "Mauritius", "Mayotte", "Mexico", "Micronesia", "Moldova", "Monaco", "Mongolia",
    "Montserrat", "Morocco", "Mozambique", "Myanmar", "Namibia", "Nauru", "Nepal", "Netherlands",
    "Netherlands Antilles", "New Caledonia", "New Zealand", "Nicaragua", "Niger", "Nigeria", "Niue",
    "Norfolk Island", "Northern Mariana Islands", "Norway", "Oman", "Pakistan", "Palau",
    "Palestinian Territory", "Panama", "Papua New Guinea", "Paraguay", "Peru", "Philippines", "Pitcairn",
    "Poland", "Portugal", "Puerto Rico", "Qatar", "Reunion", "Romania", "Russian Federation", "Rwanda",
    "Saint Kitts and Nevis", "St Lucia", "St Vincent and the Grenadines", "Samoa", "San Marino",
    "Sao Tome And Principe", "Saudi Arabia", "Senegal", "Seychelles", "Sierra Leone", "Singapore", "Slovakia",
    "Slovenia", "Solomon Islands", "Somalia", "South Africa", "South Georgia And The South Sandwich Islands",
    "Spain", "Sri Lanka", "St Helena", "St Pierre and Miquelon", "Sudan", "Suriname",
    "Svalbard And Jan Mayen Islands", "Swaziland", "Sweden", "Switzerland", "Syrian Arab Republic", "Taiwan",
    "Tajikistan", "Tanzania", "Thailand", "Togo", "Tokelau", "Tonga", "Trinidad And Tobago", "Tunisia",
    "Turkey", "Turkmenistan", "Turks And Caicos Islands", "Tuvalu", "Uganda", "Ukraine",
    "United Arab Emirates", "United Kingdom", "United States", "United States Minor Outlying Islands",
    "Uruguay", "Uzbekistan", "Vanuatu", "Vatican City State", "Venezuela", "Viet Nam",
    "British Virgin Islands", "US Virgin Islands", "Wallis And Futuna Islands", "Western Sahara", "Yemen",
    "Yugoslavia", "Zambia", "Zimbabwe", "Serbia And Montenegro", "Montenegro", "Serbia", "Saint Barthelemy",
    "Saint Martin", "Latin America And The Caribbean",
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

QString qt4LanguageName(int number)
{
    if (number < 0 || number >= int(std::size(kQt4Languages)))
        return QString();
    return QString::fromLatin1(kQt4Languages[number]);
}

QString qt4CountryName(int number)
{
    if (number < 0 || number >= int(std::size(kQt4Countries)))
        return QString();
    return QString::fromLatin1(kQt4Countries[number]);
}

QString displayName(const QString &code)
{
    const int languageNumber = numberOf(code.mid(0, 3));
    const int countryNumber = numberOf(code.mid(3, 3));
    // A number past the known ones keeps its digits, so two such files do
    // not collapse into one entry.
    QString language = qt4LanguageName(languageNumber).toUpper();
    if (language.isEmpty())
        language = QString::number(languageNumber);
    if (countryNumber == 0)
        return language;
    if (countryNumber == kQt4China)
        return language + QStringLiteral(" (Simp)");
    if (countryNumber == kQt4Taiwan)
        return language + QStringLiteral(" (Trad)");
    QString country = qt4CountryName(countryNumber).toUpper();
    if (country.isEmpty())
        country = QString::number(countryNumber);
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
