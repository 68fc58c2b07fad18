// The notice channel: only the notice tag with a text of exactly the stated
// UTF-8 length is shown; anything else is swallowed.

#include "NoticeChannel.h"

#include <QLocalSocket>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

class tst_notice_channel : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_runtime;

private slots:
    void initTestCase()
    {
        // A private runtime folder: no other program's channel is in reach.
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8());
    }

    void acceptanceRules_data()
    {
        QTest::addColumn<quint32>("tag");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<quint32>("count");
        QTest::addColumn<bool>("accepted");
        const QByteArray text = QStringLiteral("Grüße ✓").toUtf8();
        QTest::newRow("notice") << quint32(0x250F) << text + '\0' << quint32(text.size()) << true;
        QTest::newRow("empty notice") << quint32(0x250F) << QByteArray(1, '\0') << quint32(0) << true;
        QTest::newRow("other tag") << quint32(0x2510) << text + '\0' << quint32(text.size()) << false;
        QTest::newRow("count one short")
            << quint32(0x250F) << text + '\0' << quint32(text.size() - 1) << false;
        QTest::newRow("count one long")
            << quint32(0x250F) << text + '\0' << quint32(text.size() + 1) << false;
        QTest::newRow("NUL inside") << quint32(0x250F) << QByteArray("ab\0cd\0", 6) << quint32(5) << false;
        // Bytes that are not UTF-8 change length when decoded and encoded again.
        QTest::newRow("not UTF-8") << quint32(0x250F) << QByteArray("\xff\xfe", 2) + '\0' << quint32(2)
                                   << false;
    }

    void acceptanceRules()
    {
        QFETCH(quint32, tag);
        QFETCH(QByteArray, data);
        QFETCH(quint32, count);
        QFETCH(bool, accepted);
        QString text;
        QCOMPARE(NoticeChannel::acceptNotice(tag, data, count, &text), accepted);
        if (accepted)
            QCOMPARE(text.toUtf8(), data.left(int(count)));
    }

    void noticeReachesTheHandlerOnce()
    {
        NoticeChannel channel;
        QStringList shown;
        channel.setHandler([&](const QString &t) { shown << t; });
        QVERIFY(channel.listen(QStringLiteral("Z3 Gaming Mouse")));
        QSignalSpy received(&channel, &NoticeChannel::messageReceived);
        QVERIFY(NoticeChannel::sendNotice(QStringLiteral("Z3 Gaming Mouse"),
                                          QStringLiteral("===== Demo Mode =====")));
        QTRY_COMPARE_WITH_TIMEOUT(shown, QStringList{QStringLiteral("===== Demo Mode =====")}, 5000);
        QCOMPARE(received.count(), 1);
        QCOMPARE(received.first().at(0).toUInt(), 0x250Fu);
        QCOMPARE(received.first().at(2).toBool(), true);
    }

    void wrongTagOrLengthIsSwallowed_data()
    {
        QTest::addColumn<quint32>("tag");
        QTest::addColumn<int>("countDelta");
        QTest::newRow("other tag") << quint32(0x1234) << 0;
        QTest::newRow("length short") << quint32(0x250F) << -2;
        QTest::newRow("length long") << quint32(0x250F) << 3; // the sender stops early
    }

    void wrongTagOrLengthIsSwallowed()
    {
        QFETCH(quint32, tag);
        QFETCH(int, countDelta);
        NoticeChannel channel;
        int handled = 0;
        channel.setHandler([&](const QString &) { ++handled; });
        QVERIFY(channel.listen(QStringLiteral("title")));
        QSignalSpy received(&channel, &NoticeChannel::messageReceived);
        const QByteArray text("hello there");
        QVERIFY(NoticeChannel::sendMessage(QStringLiteral("title"), tag, text,
                                           quint32(text.size() + countDelta)));
        QVERIFY(received.wait(5000));
        QCOMPARE(received.first().at(2).toBool(), false);
        QCoreApplication::processEvents();
        QCOMPARE(handled, 0);
    }

    void oversizedMessageIsDroppedUnread()
    {
        NoticeChannel channel;
        QVERIFY(channel.listen(QStringLiteral("big")));
        QSignalSpy received(&channel, &NoticeChannel::messageReceived);
        QLocalSocket socket;
        socket.connectToServer(NoticeChannel::serverName(QStringLiteral("big")));
        QVERIFY(socket.waitForConnected(2000));
        QByteArray header(8, '\0');
        qToLittleEndian<quint32>(0x250F, header.data());
        qToLittleEndian<quint32>(0x7fffffff, header.data() + 4);
        socket.write(header);
        QVERIFY(socket.waitForBytesWritten(2000));
        QVERIFY(received.wait(5000));
        QCOMPARE(received.first().at(2).toBool(), false);
    }

    void titlesAreKeptApart()
    {
        NoticeChannel a;
        NoticeChannel b;
        QString atA, atB;
        a.setHandler([&](const QString &t) { atA = t; });
        b.setHandler([&](const QString &t) { atB = t; });
        QVERIFY(a.listen(QStringLiteral("Z3/one")));
        QVERIFY(b.listen(QStringLiteral("Z3 one")));
        QVERIFY(NoticeChannel::serverName(QStringLiteral("Z3/one")) !=
                NoticeChannel::serverName(QStringLiteral("Z3 one")));
        QVERIFY(NoticeChannel::sendNotice(QStringLiteral("Z3 one"), QStringLiteral("to b")));
        QTRY_COMPARE_WITH_TIMEOUT(atB, QStringLiteral("to b"), 5000);
        QCOMPARE(atA, QString());
        // Nobody listens for this title: nothing is delivered, no hang.
        QVERIFY(!NoticeChannel::sendNotice(QStringLiteral("no such window"), QStringLiteral("x")));
    }

    void aLiveChannelIsNotTakenOver()
    {
        NoticeChannel first;
        QVERIFY(first.listen(QStringLiteral("shared")));
        NoticeChannel second;
        QVERIFY(!second.listen(QStringLiteral("shared")));
        QString shown;
        first.setHandler([&](const QString &t) { shown = t; });
        QVERIFY(NoticeChannel::sendNotice(QStringLiteral("shared"), QStringLiteral("still first")));
        QTRY_COMPARE_WITH_TIMEOUT(shown, QStringLiteral("still first"), 5000);
    }

    void aStaleSocketIsReplaced()
    {
        const QString name = NoticeChannel::serverName(QStringLiteral("stale"));
        {
            // What a crashed instance leaves: the socket file, nobody behind it.
            QFile leftover(name);
            QVERIFY(leftover.open(QIODevice::WriteOnly));
        }
        NoticeChannel channel;
        QVERIFY(channel.listen(QStringLiteral("stale")));
        QString shown;
        channel.setHandler([&](const QString &t) { shown = t; });
        QVERIFY(NoticeChannel::sendNotice(QStringLiteral("stale"), QStringLiteral("fresh")));
        QTRY_COMPARE_WITH_TIMEOUT(shown, QStringLiteral("fresh"), 5000);
    }
};

QTEST_GUILESS_MAIN(tst_notice_channel)
#include "tst_notice_channel.moc"
