// The application configuration file: the numbered list, the device values,
// the reset from the delivered default, the skin check, and the link's view
// of the secrecy codes and product names; and the delivered setting files.

#include "AppConfigDeviceConfig.h"
#include "AppConfigStore.h"
#include "LanguageStore.h"
#include "ProfileStore.h"
#include "stores_WorkFolder.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QTest>

class TestAppConfig : public QObject {
    Q_OBJECT

private slots:
    void listRoundTripsWithItsTypes()
    {
        StoresWorkFolder work(false);
        const QString path = work.file(QStringLiteral("apConfig.bin"));
        {
            QSettings s(path, QSettings::IniFormat);
            AppConfigStore::save(s, QVariantList(40, 7));
            AppConfigStore::save(s, {1, true, QStringLiteral("file:/home/u/a, b.png"), QString()});
        }
        QVERIFY(storesReadAll(path).contains("1=true"));
        QSettings fresh(path, QSettings::IniFormat);
        QCOMPARE(fresh.value(QStringLiteral("common/39")).toInt(), 7); // a shorter list leaves old entries
        QCOMPARE(QVariant(AppConfigStore::load(fresh)).toStringList(),
                 (QStringList{"1", "true", "file:/home/u/a, b.png", QString()}));
        QCOMPARE(AppConfigStore::loadDeviceApConfig(fresh), QVariantList{8}); // eight stages by default

        QVERIFY(storesWriteAll(path, "[common]\ntotal=3\n0=1\n[Z3]\ncolorMaxStage=5\n"));
        QSettings partial(path, QSettings::IniFormat);
        QCOMPARE(AppConfigStore::load(partial), (QVariantList{"1", 0, 0})); // missing entries read as 0
        QCOMPARE(AppConfigStore::loadDeviceApConfig(partial), QVariantList{5});
        QCOMPARE(AppConfigStore::loadDeviceApConfig(partial).at(0).typeId(), int(QMetaType::Int));
    }

    void damagedTotalsAreBounded_data()
    {
        QTest::addColumn<QByteArray>("total");
        QTest::addColumn<int>("expected");
        QTest::newRow("missing") << QByteArray() << 0;
        QTest::newRow("2^31") << QByteArray("total=2147483648") << 0;
        QTest::newRow("int max") << QByteArray("total=2147483647") << AppConfigStore::kMaxEntries;
        QTest::newRow("negative") << QByteArray("total=-5") << 0;
        QTest::newRow("text") << QByteArray("total=lots") << 0;
    }
    void damagedTotalsAreBounded()
    {
        QFETCH(QByteArray, total);
        QFETCH(int, expected);
        StoresWorkFolder work(false);
        QVERIFY(storesWriteAll(work.file(QStringLiteral("a.bin")), "[common]\n" + total + "\n0=1\n"));
        QSettings s(work.file(QStringLiteral("a.bin")), QSettings::IniFormat);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(AppConfigStore::load(s).size(), expected);
        QVERIFY(timer.elapsed() < 2000);
    }

    void resetCopiesTheDefaultOrKeepsTheFile()
    {
        StoresWorkFolder work;
        const QString path = work.file(QStringLiteral("modules/setting/apConfig.bin"));
        const QString defaults = work.file(QStringLiteral("modules/setting/apConfigD.bin"));
        QVERIFY(storesWriteAll(defaults, storesReadAll(defaults) + "\n[extra]\nkept=1\n"));
        QVERIFY(storesWriteAll(path, "[common]\ntotal=1\n0=9\n"));
        QVERIFY(AppConfigStore::resetFromDefault(path, defaults));
        QCOMPARE(storesReadAll(path), storesReadAll(defaults));
        QVERIFY(storesWriteAll(path, "[common]\ntotal=1\n0=9\n"));
        QVERIFY(QFile::remove(defaults));
        QVERIFY(!AppConfigStore::resetFromDefault(path, defaults));
        QCOMPARE(storesReadAll(path), QByteArray("[common]\ntotal=1\n0=9\n"));

        // The skin choice needs two skin folders; a file is no skin.
        const QString img = work.file(QStringLiteral("img"));
        QVERIFY(QDir().mkpath(img + QStringLiteral("/skin1")));
        QVERIFY(storesWriteAll(img + QStringLiteral("/skin2"), "a file"));
        QVERIFY(!AppConfigStore::isSkinShow(img));
        QVERIFY(QFile::remove(img + QStringLiteral("/skin2")) && QDir().mkpath(img + QStringLiteral("/skin2")));
        QVERIFY(AppConfigStore::isSkinShow(img));
    }

    void linkReadsCodesAndNamesFromTheFileEachTime()
    {
        StoresWorkFolder work;
        const AppConfigDeviceConfig config; // the default path, relative to the working folder
        QCOMPARE(config.secrecyCode(1, QStringLiteral("x")), QStringLiteral("582604"));
        QCOMPARE(config.secrecyCode(2, QStringLiteral("fallback")), QStringLiteral("fallback"));
        {
            QSettings s(QStringLiteral("./modules/setting/apConfig.bin"), QSettings::IniFormat);
            s.setValue(QStringLiteral("common/sCode1"), QStringLiteral("123456"));
            s.setValue(QStringLiteral("common/product_name"), QStringList{"K", "M"});
        }
        QCOMPARE(config.secrecyCode(1, QStringLiteral("x")), QStringLiteral("123456"));
        QCOMPARE(config.productNames(), (QStringList{"K", "M"}));
        QVERIFY(QFile::remove(QStringLiteral("./modules/setting/apConfig.bin")));
        QCOMPARE(config.secrecyCode(1, QStringLiteral("582604")), QStringLiteral("582604"));
        QVERIFY(config.productNames().isEmpty());
    }

    void deliveredSettingFiles()
    {
        const QString dir = storesSourceModules() + QStringLiteral("/setting/");
        const QStringList languages = LanguageStore::chkLanguages(storesSourceModules() + "/i18n").keys();
        for (const char *name : {"apConfig.bin", "apConfigD.bin"}) {
            const QSettings s(dir + QLatin1String(name), QSettings::IniFormat);
            QCOMPARE(s.value(QStringLiteral("common/product_name")).toStringList().size(), 2);
            QCOMPARE(s.value(QStringLiteral("common/sCode1")).toString(), QStringLiteral("582604"));
            QCOMPARE(AppConfigStore::loadDeviceApConfig(s), QVariantList{8});
            const QVariantList list = AppConfigStore::load(s);
            QCOMPARE(list.size(), 32);
            QCOMPARE(languages.value(list.at(4).toInt()), QStringLiteral("ENGLISH")); // its position in the list
        }
        const QVariantList sensor = ProfileStore::loadDefaultProfile(dir + "pD.bin", 3);
        QCOMPARE(sensor.size(), 45);
        QVERIFY(sensor.at(3 + sensor.at(12).toInt()).toInt() != 0); // the current stage is in use
        QCOMPARE(ProfileStore::loadDefaultProfile(dir + "pD.bin", 0).size(), 64);
        QCOMPARE(ProfileStore::loadDefaultProfile(dir + "pD.bin", 2).size(), 27);
        for (int n = 1; n <= 10; ++n)
            QCOMPARE(storesReadAll(dir + QStringLiteral("p%1.bin").arg(n)), storesReadAll(dir + "pD.bin"));
    }
};

QTEST_MAIN(TestAppConfig)
#include "tst_appconfig.moc"
