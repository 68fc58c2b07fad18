// Language files: the list and its display names, UI and message strings, key position names.

#include "LanguageStore.h"
#include "stores_WorkFolder.h"

#include <QElapsedTimer>
#include <QFontDatabase>
#include <QSet>
#include <QTest>

class TestLanguages : public QObject {
    Q_OBJECT

private slots:
    void qt4NumbersKeepTheirQt4Names_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("display");
        QTest::newRow("German, Germany") << "042082" << "GERMAN (GERMANY)";
        QTest::newRow("last of both") << "234246" << "YANGBEN (LATIN AMERICA AND THE CARIBBEAN)";
        QTest::newRow("past the numbers") << "235247" << "235 (247)";
        QTest::newRow("no language of that number") << "999000" << "999";
        QTest::newRow("unparsable country") << "031x" << "ENGLISH";
    }
    void qt4NumbersKeepTheirQt4Names()
    {
        QFETCH(QString, code);
        QTEST(LanguageStore::displayName(code), "display");
        // Every number has a name of its own, so no file a user adds is merged with another.
        QSet<QString> names;
        for (int n = 0; n < 1000; ++n)
            names << LanguageStore::displayName(QStringLiteral("%1000").arg(n, 3, 10, QLatin1Char('0')))
                  << LanguageStore::displayName(QStringLiteral("031%1").arg(n, 3, 10, QLatin1Char('0')));
        QCOMPARE(names.size(), 1999); // "031000" is in both
    }

    void languageListStringsMessagesAndPositions()
    {
        StoresWorkFolder work(false);
        const QString dir = work.file(QStringLiteral("i18n"));
        for (const char *name : {"lang_031000.ini", "lang_025208.ini", "lang_025044.ini", "lang_042082.txt", "readme.ini"})
            QVERIFY(writeFile(dir + QLatin1Char('/') + QLatin1String(name), "[font]\ntotal=0\n"));
        QVariantMap expected{{"CHINESE (Simp)", "025044"}, {"CHINESE (Trad)", "025208"}, {"ENGLISH", "031000"}};
        QCOMPARE(LanguageStore::chkLanguages(dir), expected);
        // Same display name: the later file in name order wins.
        QVERIFY(writeFile(dir + QStringLiteral("/lang_031zzz.ini"), ""));
        expected[QStringLiteral("ENGLISH")] = QStringLiteral("031zzz");
        QCOMPARE(LanguageStore::chkLanguages(dir), expected);

        const QString zh = LanguageStore::languageFile(dir, QStringLiteral("025044"));
        // UTF-8 texts, a quoted and an unquoted comma that INI would split into a list.
        QVERIFY(writeFile(zh, "[font]\nfamily=WenQuanYi Micro Hei\ntotal=3\n[strings]\n1=\xe9\x80\x89\n"
                                   "3=PLAY, PAUSE\n[msg]\n0=MACRO\n1=\"too long, cut\"\n5=last\n"
                                   "[Z3_4D1E07B]\n0=LEFT\n5=DPI\n15=DOWN\n16=not a position\n"));
        QStringList messages{QStringLiteral("stale")};
        QCOMPARE(LanguageStore::globalStrings(zh, &messages),
                 (QStringList{"WenQuanYi Micro Hei", QStringLiteral("选"), QString(), "PLAY, PAUSE"}));
        QCOMPARE(messages, (QStringList{"MACRO", "too long, cut", QString(), QString(), QString(), "last"}));
        const QStringList layout = LanguageStore::productLayoutStrings(zh);
        QCOMPARE(layout.join(','), QStringLiteral("LEFT,,,,,DPI,,,,,,,,,,DOWN"));

        // Missing, unsafe and damaged files read as empty, bounded.
        QCOMPARE(LanguageStore::globalStrings(zh + "x", &messages), QStringList{QString()});
        QCOMPARE(messages, QStringList(6, QString()));
        for (const char *code : {"../lang_x", "a/b", "/../../lang_x"}) // no file outside the folder
            QVERIFY(LanguageStore::languageFile(work.path(), QLatin1String(code)).isEmpty());
        QCOMPARE(LanguageStore::productLayoutStrings(QString()), QStringList(16, QString()));
        for (const QByteArray total : {QByteArray("2147483648"), QByteArray("2147483647"), QByteArray("-7")}) {
            const QString file = work.file(QString::fromLatin1(total + ".ini")); // QSettings caches per file
            QVERIFY(writeFile(file, "[font]\nfamily=F\ntotal=" + total + "\n[strings]\n1=one\n"));
            QElapsedTimer timer;
            timer.start();
            const QStringList strings = LanguageStore::globalStrings(file);
            QVERIFY(timer.elapsed() < 2000);
            QCOMPARE(strings.size(), total == "2147483647" ? LanguageStore::kMaxStrings + 1 : 1);
        }
    }

    // Every string of the delivered files is there and translated, in a font
    // that is installed, and every position with a button has a name.
    void deliveredLanguageFiles()
    {
        const QString dir = storesSourceModules() + QStringLiteral("/i18n");
        const QVariantMap delivered = LanguageStore::chkLanguages(dir);
        QCOMPARE(delivered.keys(), (QStringList{"CHINESE (Simp)", "CHINESE (Trad)", "ENGLISH"}));
        QSet<QString> distinct;
        for (const QVariant &code : delivered) {
            const QString file = LanguageStore::languageFile(dir, code.toString());
            QStringList messages;
            const QStringList strings = LanguageStore::globalStrings(file, &messages);
            QCOMPARE(strings.size(), 116);
            QVERIFY2(QFontDatabase::families().contains(strings.at(0)), qPrintable(strings.at(0)));
            const bool chinese = code.toString() != QStringLiteral("031000");
            for (const QString &text : strings.mid(1) + messages) {
                const bool han = std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c >= QChar(0x4E00) && c <= QChar(0x9FFF); });
                QVERIFY2(!text.trimmed().isEmpty() && han == chinese, qPrintable(code.toString() + text));
                distinct << text;
            }
            const QStringList layout = LanguageStore::productLayoutStrings(file);
            for (int p = 0; p < 16; ++p)
                QCOMPARE(layout.at(p).isEmpty(), !QList<int>({0, 1, 2, 3, 4, 5, 6, 14, 15}).contains(p));
        }
        QVERIFY(distinct.size() > 270); // the Traditional file is no copy of the Simplified one
    }
};

QTEST_MAIN(TestLanguages)
#include "tst_languages.moc"
