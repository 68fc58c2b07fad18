// The application configuration file: the numbered list, the device values,
// the reset from the delivered default, the skin check, and the link's view
// of the secrecy codes and product names.

#include "AppConfigDeviceConfig.h"
#include "AppConfigStore.h"
#include "stores_WorkFolder.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QTest>

class TestAppConfig : public QObject {
    Q_OBJECT

private slots:
    void shorterSaveLeavesOldEntriesButLoadsTheNewCount();
    void entriesKeepTheirTypesAndMissingEntriesReadAsZero();
    void damagedTotalsAreBounded_data();
    void damagedTotalsAreBounded();
    void deviceValuesDefaultToEightStages();
    void resetCopiesTheDefaultOrKeepsTheFile();
    void skinChoiceNeedsTwoSkinFolders();
    void linkReadsCodesAndNamesFromTheFileEachTime();
};

void TestAppConfig::shorterSaveLeavesOldEntriesButLoadsTheNewCount()
{
    StoresWorkFolder work(false);
    const QString path = work.file(QStringLiteral("apConfig.bin"));
    QVariantList forty;
    for (int i = 0; i < 40; ++i)
        forty << 1000 + i;
    QVariantList thirtyTwo;
    for (int i = 0; i < 32; ++i)
        thirtyTwo << i;
    {
        QSettings s(path, QSettings::IniFormat);
        AppConfigStore::save(s, forty);
        AppConfigStore::save(s, thirtyTwo);
    }
    QSettings fresh(path, QSettings::IniFormat);
    QCOMPARE(fresh.value(QStringLiteral("common/total")).toInt(), 32);
    QCOMPARE(fresh.value(QStringLiteral("common/32")).toInt(), 1032);
    QCOMPARE(fresh.value(QStringLiteral("common/39")).toInt(), 1039);
    const QVariantList loaded = AppConfigStore::load(fresh);
    QCOMPARE(loaded.size(), 32);
    for (int i = 0; i < 32; ++i)
        QCOMPARE(loaded.at(i).toInt(), i);
}

void TestAppConfig::entriesKeepTheirTypesAndMissingEntriesReadAsZero()
{
    StoresWorkFolder work(false);
    const QString path = work.file(QStringLiteral("apConfig.bin"));
    {
        QSettings s(path, QSettings::IniFormat);
        AppConfigStore::save(s, {1, true, QStringLiteral("file:/home/u/a, b.png"), QString()});
    }
    const QByteArray text = storesReadAll(path);
    QVERIFY(text.contains("1=true"));
    QSettings fresh(path, QSettings::IniFormat);
    const QVariantList loaded = AppConfigStore::load(fresh);
    QCOMPARE(loaded.size(), 4);
    QCOMPARE(loaded.at(1).toBool(), true);
    QCOMPARE(loaded.at(2).toString(), QStringLiteral("file:/home/u/a, b.png"));
    QCOMPARE(loaded.at(3).toString(), QString());

    // Total 3 with only entry 0: the other two read as 0.
    QVERIFY(storesWriteAll(path, "[common]\ntotal=3\n0=1\n"));
    QSettings partial(path, QSettings::IniFormat);
    const QVariantList three = AppConfigStore::load(partial);
    QCOMPARE(three.size(), 3);
    QCOMPARE(three.at(0).toInt(), 1);
    QCOMPARE(three.at(1), QVariant(0));
    QCOMPARE(three.at(2), QVariant(0));

    // No total at all: an empty list.
    QVERIFY(storesWriteAll(path, "[common]\n0=1\n1=2\n"));
    QSettings noTotal(path, QSettings::IniFormat);
    QVERIFY(AppConfigStore::load(noTotal).isEmpty());
}

void TestAppConfig::damagedTotalsAreBounded_data()
{
    QTest::addColumn<QByteArray>("total");
    QTest::addColumn<int>("expected");
    QTest::newRow("2^31") << QByteArray("2147483648") << 0;
    QTest::newRow("int max") << QByteArray("2147483647") << AppConfigStore::kMaxEntries;
    QTest::newRow("negative") << QByteArray("-5") << 0;
    QTest::newRow("int min") << QByteArray("-2147483648") << 0;
    QTest::newRow("text") << QByteArray("lots") << 0;
}

void TestAppConfig::damagedTotalsAreBounded()
{
    QFETCH(QByteArray, total);
    QFETCH(int, expected);
    StoresWorkFolder work(false);
    const QString path = work.file(QStringLiteral("apConfig.bin"));
    QVERIFY(storesWriteAll(path, "[common]\ntotal=" + total + "\n0=1\n"));
    QSettings s(path, QSettings::IniFormat);
    QElapsedTimer timer;
    timer.start();
    const QVariantList loaded = AppConfigStore::load(s);
    QVERIFY(timer.elapsed() < 2000);
    QCOMPARE(loaded.size(), expected);
}

void TestAppConfig::deviceValuesDefaultToEightStages()
{
    StoresWorkFolder work(false);
    const QString path = work.file(QStringLiteral("apConfig.bin"));
    {
        QSettings missing(path, QSettings::IniFormat);
        QCOMPARE(AppConfigStore::loadDeviceApConfig(missing), QVariantList{8});
    }
    QVERIFY(storesWriteAll(path, "[Z3]\ncolorMaxStage=5\n"));
    QSettings five(path, QSettings::IniFormat);
    const QVariantList values = AppConfigStore::loadDeviceApConfig(five);
    QCOMPARE(values, QVariantList{5});
    QCOMPARE(values.at(0).typeId(), int(QMetaType::Int));
}

void TestAppConfig::resetCopiesTheDefaultOrKeepsTheFile()
{
    StoresWorkFolder work;
    const QString path = work.file(QStringLiteral("modules/setting/apConfig.bin"));
    const QString defaults = work.file(QStringLiteral("modules/setting/apConfigD.bin"));
    QVERIFY(storesWriteAll(defaults, storesReadAll(defaults) + "\n[extra]\nkept=1\n"));
    QVERIFY(storesWriteAll(path, "[common]\ntotal=1\n0=9\n"));
    QVERIFY(AppConfigStore::resetFromDefault(path, defaults));
    QCOMPARE(storesReadAll(path), storesReadAll(defaults));

    // Without a default the user's configuration stays as it is.
    QVERIFY(storesWriteAll(path, "[common]\ntotal=1\n0=9\n"));
    QVERIFY(QFile::remove(defaults));
    QVERIFY(!AppConfigStore::resetFromDefault(path, defaults));
    QCOMPARE(storesReadAll(path), QByteArray("[common]\ntotal=1\n0=9\n"));
}

void TestAppConfig::skinChoiceNeedsTwoSkinFolders()
{
    StoresWorkFolder work(false);
    const QString img = work.file(QStringLiteral("img"));
    QVERIFY(!AppConfigStore::isSkinShow(img)); // missing folder
    QVERIFY(QDir().mkpath(img + QStringLiteral("/skin1")));
    QVERIFY(storesWriteAll(img + QStringLiteral("/notes.txt"), "a file is no skin"));
    QVERIFY(!AppConfigStore::isSkinShow(img));
    QVERIFY(QDir().mkpath(img + QStringLiteral("/skin2")));
    QVERIFY(AppConfigStore::isSkinShow(img));
}

void TestAppConfig::linkReadsCodesAndNamesFromTheFileEachTime()
{
    StoresWorkFolder work;
    const AppConfigDeviceConfig config; // the default path, relative to the working folder
    QCOMPARE(config.secrecyCode(0, QStringLiteral("x")), QStringLiteral("582604"));
    QCOMPARE(config.secrecyCode(1, QStringLiteral("x")), QStringLiteral("582604"));
    QCOMPARE(config.secrecyCode(2, QStringLiteral("fallback")), QStringLiteral("fallback"));
    QCOMPARE(config.productNames().size(), 2);
    QVERIFY(!config.productNames().at(1).isEmpty());

    // An edit of the file is seen at the next question.
    {
        QSettings s(QStringLiteral("./modules/setting/apConfig.bin"), QSettings::IniFormat);
        s.setValue(QStringLiteral("common/sCode1"), QStringLiteral("123456"));
        s.setValue(QStringLiteral("common/product_name"),
                   QStringList{QStringLiteral("K"), QStringLiteral("M")});
    }
    QCOMPARE(config.secrecyCode(1, QStringLiteral("x")), QStringLiteral("123456"));
    QCOMPARE(config.productNames(), (QStringList{QStringLiteral("K"), QStringLiteral("M")}));

    // Without the file: the defaults.
    QVERIFY(QFile::remove(QStringLiteral("./modules/setting/apConfig.bin")));
    QCOMPARE(config.secrecyCode(1, QStringLiteral("582604")), QStringLiteral("582604"));
    QVERIFY(config.productNames().isEmpty());
}

QTEST_MAIN(TestAppConfig)
#include "tst_appconfig.moc"
