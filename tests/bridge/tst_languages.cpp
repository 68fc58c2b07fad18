// Language files: the language list with its display names from the Qt 4
// numbers in the file names, the UI strings with the font family and the
// message strings, and the key position names.

#include "LanguageStore.h"
#include "stores_WorkFolder.h"

#include <QElapsedTimer>
#include <QSet>
#include <QTest>

class TestLanguages : public QObject {
    Q_OBJECT

private slots:
    void languageMapIsOrderedByDisplayName();
    void qt4NumbersKeepTheirQt4Names_data();
    void qt4NumbersKeepTheirQt4Names();
    void unparsableCodesAndDuplicateNames();
    void missingFolderGivesEmptyMap();
    void globalStringsReadFontTotalAndMessages();
    void missingOrUnsafeFileReadsAsEmpty();
    void damagedTotalsAreBounded();
    void productLayoutStringsAreSixteen();
};

void TestLanguages::languageMapIsOrderedByDisplayName()
{
    StoresWorkFolder work(false);
    for (const char *name : {"lang_031000.ini", "lang_025208.ini", "lang_025044.ini"})
        QVERIFY(
            storesWriteAll(work.file(QStringLiteral("i18n/") + QLatin1String(name)), "[font]\ntotal=0\n"));
    // Files that do not match the pattern are not languages.
    QVERIFY(storesWriteAll(work.file(QStringLiteral("i18n/lang_042082.txt")), ""));
    QVERIFY(storesWriteAll(work.file(QStringLiteral("i18n/readme.ini")), ""));

    const QVariantMap map = LanguageStore::chkLanguages(work.file(QStringLiteral("i18n")));
    QCOMPARE(map.keys(), (QStringList{QStringLiteral("CHINESE (Simp)"), QStringLiteral("CHINESE (Trad)"),
                                      QStringLiteral("ENGLISH")}));
    QCOMPARE(map.value(QStringLiteral("CHINESE (Simp)")).toString(), QStringLiteral("025044"));
    QCOMPARE(map.value(QStringLiteral("CHINESE (Trad)")).toString(), QStringLiteral("025208"));
    QCOMPARE(map.value(QStringLiteral("ENGLISH")).toString(), QStringLiteral("031000"));
}

void TestLanguages::qt4NumbersKeepTheirQt4Names_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("display");
    QTest::newRow("English") << "031000"
                             << "ENGLISH";
    QTest::newRow("English, US") << "031225"
                                 << "ENGLISH (UNITED STATES)";
    QTest::newRow("English, UK") << "031224"
                                 << "ENGLISH (UNITED KINGDOM)";
    QTest::newRow("German, Germany") << "042082"
                                     << "GERMAN (GERMANY)";
    QTest::newRow("French, France") << "037074"
                                    << "FRENCH (FRANCE)";
    QTest::newRow("Japanese") << "059000"
                              << "JAPANESE";
    QTest::newRow("Korean") << "066000"
                            << "KOREAN";
    QTest::newRow("Russian") << "096000"
                             << "RUSSIAN";
    QTest::newRow("Spanish, Spain") << "111197"
                                    << "SPANISH (SPAIN)";
    QTest::newRow("Chinese, Hong Kong") << "025097"
                                        << "CHINESE (HONG KONG)";
    QTest::newRow("Nynorsk, Norway") << "141161"
                                     << "NYNORSK (NORWAY)";
    QTest::newRow("Swiss German, Switzerland") << "167206"
                                               << "SWISS GERMAN (SWITZERLAND)";
    QTest::newRow("last language, last country") << "234246"
                                                 << "YANGBEN (LATIN AMERICA AND THE CARIBBEAN)";
    QTest::newRow("past the numbers") << "235247"
                                      << "235 (247)";
}

void TestLanguages::qt4NumbersKeepTheirQt4Names()
{
    QFETCH(QString, code);
    QFETCH(QString, display);
    QCOMPARE(LanguageStore::displayName(code), display);

    // Every number has a name of its own, so no file a user adds is merged
    // with another one.
    QSet<QString> languages, countries;
    for (int n = 0; n < 1000; ++n) {
        languages << LanguageStore::displayName(QStringLiteral("%1000").arg(n, 3, 10, QLatin1Char('0')));
        countries << LanguageStore::displayName(QStringLiteral("031%1").arg(n, 3, 10, QLatin1Char('0')));
    }
    QCOMPARE(languages.size(), 1000);
    QCOMPARE(countries.size(), 1000);

    StoresWorkFolder work(false);
    for (const QString &file : {QStringLiteral("lang_031000.ini"), QStringLiteral("lang_") + code + ".ini"})
        QVERIFY(storesWriteAll(work.file(QStringLiteral("i18n/") + file), ""));
    QCOMPARE(LanguageStore::chkLanguages(work.file(QStringLiteral("i18n"))).value(display).toString(), code);
}

void TestLanguages::unparsableCodesAndDuplicateNames()
{
    const QString unspecified = QStringLiteral("DEFAULT");
    QCOMPARE(LanguageStore::displayName(QStringLiteral("abc")), unspecified);
    QCOMPARE(LanguageStore::displayName(QStringLiteral("031x")), QStringLiteral("ENGLISH"));
    // A number that names no language does not borrow another's name.
    QCOMPARE(LanguageStore::displayName(QStringLiteral("999000")), QStringLiteral("999"));

    StoresWorkFolder work(false);
    QVERIFY(storesWriteAll(work.file(QStringLiteral("i18n/lang_031000.ini")), ""));
    QVERIFY(
        storesWriteAll(work.file(QStringLiteral("i18n/LANG_031abc.ini")), "")); // case ignored in the order
    const QVariantMap map = LanguageStore::chkLanguages(work.file(QStringLiteral("i18n")));
    // Same display name: the later file in name order wins. The name filter
    // is case-sensitive on this platform, so only check when both were listed.
    if (QDir(work.file(QStringLiteral("i18n"))).entryList({QStringLiteral("lang_*.ini")}).size() == 2) {
        QCOMPARE(map.size(), 1);
        QCOMPARE(map.value(QStringLiteral("ENGLISH")).toString(), QStringLiteral("031abc"));
    } else {
        QCOMPARE(map.value(QStringLiteral("ENGLISH")).toString(), QStringLiteral("031000"));
    }
    QVERIFY(storesWriteAll(work.file(QStringLiteral("i18n/lang_031zzz.ini")), ""));
    QCOMPARE(LanguageStore::chkLanguages(work.file(QStringLiteral("i18n")))
                 .value(QStringLiteral("ENGLISH"))
                 .toString(),
             QStringLiteral("031zzz"));
}

void TestLanguages::missingFolderGivesEmptyMap()
{
    StoresWorkFolder work(false);
    QVERIFY(LanguageStore::chkLanguages(work.file(QStringLiteral("nothing"))).isEmpty());
    QVERIFY(QDir().mkpath(work.file(QStringLiteral("empty"))));
    QVERIFY(LanguageStore::chkLanguages(work.file(QStringLiteral("empty"))).isEmpty());
}

void TestLanguages::globalStringsReadFontTotalAndMessages()
{
    StoresWorkFolder work(false);
    const QString dir = work.file(QStringLiteral("i18n"));
    QVERIFY(storesWriteAll(LanguageStore::languageFile(dir, QStringLiteral("031000")),
                           "[font]\nfamily=DejaVu Sans\ntotal=2\n[strings]\n1=OPTIONS\n"
                           "[msg]\n0=MACRO\n1=\"too long, cut\"\n5=last\n"));
    QStringList messages{QStringLiteral("stale")};
    const QStringList strings =
        LanguageStore::globalStrings(LanguageStore::languageFile(dir, QStringLiteral("031000")), &messages);
    QCOMPARE(strings, (QStringList{QStringLiteral("DejaVu Sans"), QStringLiteral("OPTIONS"), QString()}));
    QCOMPARE(messages, (QStringList{QStringLiteral("MACRO"), QStringLiteral("too long, cut"), QString(),
                                    QString(), QString(), QStringLiteral("last")}));

    // UTF-8 texts, and an unquoted comma that INI would split into a list.
    const QString chinese = QStringLiteral("选项");
    QVERIFY(storesWriteAll(LanguageStore::languageFile(dir, QStringLiteral("025044")),
                           "[font]\nfamily=WenQuanYi Micro Hei\ntotal=2\n[strings]\n1=" + chinese.toUtf8() +
                               "\n2=PLAY, PAUSE\n[msg]\n0=" + chinese.toUtf8() + "\n"));
    const QStringList zh =
        LanguageStore::globalStrings(LanguageStore::languageFile(dir, QStringLiteral("025044")), &messages);
    QCOMPARE(zh.at(1), chinese);
    QCOMPARE(zh.at(2), QStringLiteral("PLAY, PAUSE"));
    QCOMPARE(messages.at(0), chinese); // the messages follow the last language read
    QCOMPARE(messages.at(1), QString());
}

void TestLanguages::missingOrUnsafeFileReadsAsEmpty()
{
    StoresWorkFolder work(false);
    const QString dir = work.file(QStringLiteral("i18n"));
    QVERIFY(storesWriteAll(work.file(QStringLiteral("lang_x.ini")), "[font]\nfamily=Outside\ntotal=1\n"));
    QStringList messages{QStringLiteral("a")};
    QCOMPARE(
        LanguageStore::globalStrings(LanguageStore::languageFile(dir, QStringLiteral("123456")), &messages),
        QStringList{QString()});
    QCOMPARE(messages, QStringList(6, QString()));

    // A code with a path in it does not read a file outside the folder.
    QVERIFY(LanguageStore::languageFile(dir, QStringLiteral("../lang_x")).isEmpty());
    QVERIFY(LanguageStore::languageFile(dir, QStringLiteral("a/b")).isEmpty());
    messages = QStringList{QStringLiteral("a")};
    QCOMPARE(LanguageStore::globalStrings(LanguageStore::languageFile(dir, QStringLiteral("/../../lang_x")),
                                          &messages),
             QStringList{QString()});
    QCOMPARE(messages.size(), 6);
    QCOMPARE(LanguageStore::productLayoutStrings(LanguageStore::languageFile(dir, QStringLiteral("../x"))),
             QStringList(16, QString()));
}

void TestLanguages::damagedTotalsAreBounded()
{
    StoresWorkFolder work(false);
    int n = 0;
    for (const QByteArray total : {QByteArray("2147483648"), QByteArray("2147483647"), QByteArray("-7")}) {
        // A file of its own each time: QSettings keeps what it read per file.
        const QString file = work.file(QStringLiteral("i18n/lang_03100%1.ini").arg(n++));
        QVERIFY(storesWriteAll(file, "[font]\nfamily=F\ntotal=" + total + "\n[strings]\n1=one\n"));
        QElapsedTimer timer;
        timer.start();
        const QStringList strings = LanguageStore::globalStrings(file);
        QVERIFY(timer.elapsed() < 2000);
        QVERIFY2(strings.size() <= LanguageStore::kMaxStrings + 1, total.constData());
        QCOMPARE(strings.at(0), QStringLiteral("F"));
        if (total == "2147483647")
            QCOMPARE(strings.size(), LanguageStore::kMaxStrings + 1);
        else
            QCOMPARE(strings.size(), 1);
    }
}

void TestLanguages::productLayoutStringsAreSixteen()
{
    StoresWorkFolder work(false);
    const QString file = work.file(QStringLiteral("i18n/lang_031000.ini"));
    QVERIFY(storesWriteAll(file, "[Z3_4D1E07B]\n0=LEFT\n1=RIGHT\n5=DPI\n15=DOWN\n16=not a position\n"));
    const QStringList layout = LanguageStore::productLayoutStrings(file);
    QCOMPARE(layout.size(), 16);
    QCOMPARE(layout.at(0), QStringLiteral("LEFT"));
    QCOMPARE(layout.at(1), QStringLiteral("RIGHT"));
    QCOMPARE(layout.at(2), QString());
    QCOMPARE(layout.at(5), QStringLiteral("DPI"));
    QCOMPARE(layout.at(15), QStringLiteral("DOWN"));
    QCOMPARE(LanguageStore::productLayoutStrings(work.file(QStringLiteral("i18n/none.ini"))),
             QStringList(16, QString()));
}

QTEST_MAIN(TestLanguages)
#include "tst_languages.moc"
