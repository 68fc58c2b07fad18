// Every data file delivered beside the program, parsed as the program reads
// it: a missing file or key, a list of the wrong length or an untranslated
// language file fails here.

#include "AppConfigStore.h"
#include "LanguageStore.h"
#include "ProfileStore.h"
#include "stores_WorkFolder.h"

#include <QFontDatabase>
#include <QSettings>
#include <QTest>

namespace {

QString settingFile(const QString &name)
{
    return storesSourceModules() + QStringLiteral("/setting/") + name;
}

QString languageFile(const QString &code)
{
    return storesSourceModules() + QStringLiteral("/i18n/lang_") + code + QStringLiteral(".ini");
}

QList<int> intList(const QVariant &v)
{
    QList<int> out;
    for (const QString &s : v.toStringList()) {
        bool ok = false;
        out << s.toInt(&ok);
        if (!ok)
            out << -99999;
    }
    return out;
}

bool hasHan(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF)
            return true;
    return false;
}

} // namespace

class TestDeliveredFiles : public QObject {
    Q_OBJECT

private slots:
    void applicationConfigurationFiles_data();
    void applicationConfigurationFiles();
    void defaultProfileHoldsEveryPageDefault();
    void slotFilesAreCopiesOfTheDefault();
    void languageFiles_data();
    void languageFiles();
    void translationsAreTranslated();
    void macroFolderExists();
};

void TestDeliveredFiles::applicationConfigurationFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("apConfig.bin") << settingFile(QStringLiteral("apConfig.bin"));
    QTest::newRow("apConfigD.bin") << settingFile(QStringLiteral("apConfigD.bin"));
}

void TestDeliveredFiles::applicationConfigurationFiles()
{
    QFETCH(QString, file);
    QVERIFY2(QFileInfo::exists(file), qPrintable(file));
    const QSettings s(file, QSettings::IniFormat);
    QCOMPARE(s.status(), QSettings::NoError);
    QVERIFY(!s.value(QStringLiteral("common/name")).toString().isEmpty());
    const QStringList products = s.value(QStringLiteral("common/product_name")).toStringList();
    QCOMPARE(products.size(), 2);
    QVERIFY(!products.at(0).isEmpty());
    QVERIFY(!products.at(1).isEmpty());
    QCOMPARE(s.value(QStringLiteral("common/sCode0")).toString(), QStringLiteral("582604"));
    QCOMPARE(s.value(QStringLiteral("common/sCode1")).toString(), QStringLiteral("582604"));
    QVERIFY(s.contains(QStringLiteral("Z3/colorMaxStage")));
    QCOMPARE(AppConfigStore::loadDeviceApConfig(s), QVariantList{8});

    for (int i = 0; i < 32; ++i)
        QVERIFY2(s.contains(QStringLiteral("common/%1").arg(i)), qPrintable(QString::number(i)));
    const QVariantList list = AppConfigStore::load(s);
    QCOMPARE(list.size(), 32);
    QCOMPARE(list.at(0).toInt(), 1);      // version
    QCOMPARE(list.at(1).toInt(), 1);      // skin 1
    QCOMPARE(list.at(2).toInt(), 0);      // sound on
    QCOMPARE(list.at(3).toInt(), 0);      // animations on
    QCOMPARE(list.at(5).toBool(), false); // no custom background
    QCOMPARE(list.at(6).toString(), QString());
    QCOMPARE(list.at(7).toInt(), 0); // normal text size
    for (int i = 8; i <= 28; ++i) {
        bool ok = false;
        const int c = list.at(i).toString().toInt(&ok);
        QVERIFY(ok && c >= 0 && c <= 255);
    }
    QVERIFY(list.at(29).toInt() >= 0 && list.at(29).toInt() <= 6);
    QCOMPARE(list.at(30).toInt(), 7);
    QVERIFY(list.at(31).toString().startsWith(QStringLiteral("https://")));

    // The language entry is the position of ENGLISH in the delivered list.
    const QStringList names =
        LanguageStore::chkLanguages(storesSourceModules() + QStringLiteral("/i18n")).keys();
    const int index = list.at(4).toInt();
    QVERIFY(index >= 0 && index < names.size());
    QCOMPARE(names.at(index), QStringLiteral("ENGLISH"));
}

void TestDeliveredFiles::defaultProfileHoldsEveryPageDefault()
{
    const QString pd = settingFile(QStringLiteral("pD.bin"));
    QVERIFY(QFileInfo::exists(pd));
    const QSettings s(pd, QSettings::IniFormat);
    QCOMPARE(s.status(), QSettings::NoError);

    // The built-in key defaults of the key definition page, entry by entry.
    const int keys[16][4] = {
        {0x01, 0, 0xF0, 0}, {0x01, 0, 0xF1, 0},    {0x01, 0, 0xF2, 0},    {0x01, 0, 0xF4, 0},
        {0x01, 0, 0xF3, 0}, {0x07, 0, 0x03, 0},    {0x0B, 0, 0, 0},       {0x07, 0, 0x03, 0},
        {0x05, 0, 0x03, 0}, {0x03, 0, 0x8A, 0x01}, {0x03, 0, 0x23, 0x02}, {0x03, 0, 0x94, 0x01},
        {0, 0, 0, 0},       {0, 0, 0, 0},          {0x04, 0, 0x01, 0},    {0x04, 0, 0x02, 0}};
    for (int n = 0; n < 16; ++n) {
        const QString key = QStringLiteral("keydefine_Z3/%1").arg(n);
        QVERIFY2(s.contains(key), qPrintable(key));
        QCOMPARE(intList(s.value(key)), (QList<int>{keys[n][0], keys[n][1], keys[n][2], keys[n][3]}));
    }
    for (const char *key : {"sensor/reportRate_Z3", "sensor/cursorSpeed_Z3", "sensor/verticalScrollLines_Z3",
                            "sensor/doubleClickSpeed_Z3", "sensor/stage_Z3", "keydefine_Z3/scrollswap"})
        QVERIFY2(s.contains(QLatin1String(key)), key);
    QVERIFY(QList<int>({1, 2, 4, 8}).contains(s.value(QStringLiteral("sensor/reportRate_Z3")).toInt()));
    for (const char *key :
         {"sensor/cursorSpeed_Z3", "sensor/verticalScrollLines_Z3", "sensor/doubleClickSpeed_Z3"}) {
        const int v = s.value(QLatin1String(key)).toInt();
        QVERIFY2(v >= 0 && v <= 10, key);
    }

    // DPI values usable on sensor type 0, the current stage on a used stage.
    const QList<int> dpi = intList(s.value(QStringLiteral("sensor/dpi_Z3")));
    QCOMPARE(dpi.size(), 8);
    const QList<int> menu{0, 250, 500, 750, 1000, 1250, 1500, 1750, 2000, 2500, 3000, 3500, 4000};
    int used = 0;
    for (int v : dpi) {
        QVERIFY(menu.contains(v));
        used += v != 0;
    }
    const int stage = s.value(QStringLiteral("sensor/stage_Z3")).toInt();
    QVERIFY(stage >= 1 && stage <= used);
    QVERIFY(dpi.at(stage - 1) != 0);

    for (const char *key : {"color_Z3/type0", "color_Z3/type1"}) {
        const QList<int> rgb = intList(s.value(QLatin1String(key)));
        QCOMPARE(rgb.size(), 24);
        for (int c : rgb)
            QVERIFY(c >= 0 && c <= 255);
    }
    const QList<int> numbers = intList(s.value(QStringLiteral("color_Z3/type2")));
    QCOMPARE(numbers.size(), 8);
    for (int c : numbers)
        QVERIFY(c >= 0 && c <= 7);
    const QList<int> effect = intList(s.value(QStringLiteral("color_Z3/ledEffect")));
    QCOMPARE(effect.size(), 3);
    QVERIFY(effect.at(0) >= 0 && effect.at(0) <= 10);
    QVERIFY(effect.at(1) >= 0 && effect.at(1) <= 7);
    QVERIFY(effect.at(2) >= 0 && effect.at(2) <= 7);

    QCOMPARE(ProfileStore::loadDefaultProfile(pd, 0).size(), 64);
    QCOMPARE(ProfileStore::loadDefaultProfile(pd, 2).size(), 27);
    QCOMPARE(ProfileStore::loadDefaultProfile(pd, 3).size(), 45);
}

void TestDeliveredFiles::slotFilesAreCopiesOfTheDefault()
{
    const QByteArray pd = storesReadAll(settingFile(QStringLiteral("pD.bin")));
    QVERIFY(!pd.isEmpty());
    for (int n = 1; n <= 10; ++n)
        QVERIFY2(storesReadAll(settingFile(QStringLiteral("p%1.bin").arg(n))) == pd,
                 qPrintable(QString::number(n)));
}

void TestDeliveredFiles::languageFiles_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("font");
    QTest::newRow("English") << "031000"
                             << "DejaVu Sans";
    QTest::newRow("Chinese (Simp)") << "025044"
                                    << "WenQuanYi Micro Hei";
    QTest::newRow("Chinese (Trad)") << "025208"
                                    << "WenQuanYi Micro Hei";
}

void TestDeliveredFiles::languageFiles()
{
    QFETCH(QString, code);
    QFETCH(QString, font);
    const QString file = languageFile(code);
    QVERIFY2(QFileInfo::exists(file), qPrintable(file));
    const QByteArray raw = storesReadAll(file);
    QCOMPARE(QString::fromUtf8(raw).toUtf8(), raw); // valid UTF-8
    QVERIFY(!QString::fromUtf8(raw).contains(QChar::ReplacementCharacter));

    const QSettings s(file, QSettings::IniFormat);
    QCOMPARE(s.status(), QSettings::NoError);
    QCOMPARE(s.value(QStringLiteral("font/total")).toInt(), 115);
    QStringList messages;
    const QStringList strings = LanguageStore::globalStrings(file, &messages);
    QCOMPARE(strings.size(), 116);
    QCOMPARE(strings.at(0), font);
    QVERIFY2(QFontDatabase::families().contains(font), qPrintable(font + " is not installed"));
    for (int k = 1; k <= 115; ++k) {
        QVERIFY2(s.contains(QStringLiteral("strings/%1").arg(k)), qPrintable(QString::number(k)));
        QVERIFY2(!strings.at(k).trimmed().isEmpty(), qPrintable(QString::number(k)));
    }
    QCOMPARE(messages.size(), 6);
    for (int i = 0; i < 6; ++i) {
        QVERIFY2(s.contains(QStringLiteral("msg/%1").arg(i)), qPrintable(QString::number(i)));
        QVERIFY2(!messages.at(i).trimmed().isEmpty(), qPrintable(QString::number(i)));
    }

    const QStringList layout = LanguageStore::productLayoutStrings(file);
    const QList<int> buttons{0, 1, 2, 3, 4, 5, 6, 14, 15};
    for (int p = 0; p < 16; ++p) {
        QVERIFY2(s.contains(QStringLiteral("Z3_4D1E07B/%1").arg(p)), qPrintable(QString::number(p)));
        QCOMPARE(layout.at(p).isEmpty(), !buttons.contains(p));
    }
}

void TestDeliveredFiles::translationsAreTranslated()
{
    const QStringList english = LanguageStore::globalStrings(languageFile(QStringLiteral("031000")));
    const QStringList simplified = LanguageStore::globalStrings(languageFile(QStringLiteral("025044")));
    const QStringList traditional = LanguageStore::globalStrings(languageFile(QStringLiteral("025208")));
    QCOMPARE(english.size(), 116);
    QCOMPARE(english.at(1), QStringLiteral("OPTIONS"));
    QCOMPARE(english.at(59), QStringLiteral("PLAY / PAUSE"));
    QCOMPARE(english.at(115), QStringLiteral("OFF"));
    int differ = 0;
    for (int k = 1; k <= 115; ++k) {
        QVERIFY2(hasHan(simplified.at(k)), qPrintable(QString::number(k)));
        QVERIFY2(hasHan(traditional.at(k)), qPrintable(QString::number(k)));
        differ += simplified.at(k) != traditional.at(k);
    }
    QVERIFY2(differ > 50, "the Traditional file is not a copy of the Simplified one");
    QStringList zhMessages;
    LanguageStore::globalStrings(languageFile(QStringLiteral("025044")), &zhMessages);
    for (const QString &m : zhMessages)
        QVERIFY(hasHan(m));
    QVERIFY(hasHan(LanguageStore::productLayoutStrings(languageFile(QStringLiteral("025208"))).at(0)));
}

void TestDeliveredFiles::macroFolderExists()
{
    QVERIFY(QFileInfo(storesSourceModules() + QStringLiteral("/macro")).isDir());
    // The configured working folder of the build gets the same data.
    const QString built = qEnvironmentVariable("Z3_MODULES_DIR");
    if (!built.isEmpty() && QFileInfo(built + QStringLiteral("/setting")).isDir()) {
        QVERIFY(QFileInfo::exists(built + QStringLiteral("/setting/pD.bin")));
        QVERIFY(QFileInfo::exists(built + QStringLiteral("/i18n/lang_031000.ini")));
    }
}

QTEST_MAIN(TestDeliveredFiles)
#include "tst_deliveredfiles.moc"
