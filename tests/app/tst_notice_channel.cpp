// The notice channel: exact notices only; a channel is ours only when our own account listens.
#include "NoticeChannel.h"

#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QStringList g_warnings;

// The warnings said while f runs.
template <typename F> QStringList warningsOf(F f)
{
    g_warnings.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
            if (type == QtWarningMsg)
                g_warnings << text;
        });
    f();
    qInstallMessageHandler(previous);
    return g_warnings;
}

// Another account (nobody) listening at path: bound as root in the private runtime folder,
// listening as nobody, so the peer's account is the one that listened.
bool strangerListening(QProcess &p, const QString &path)
{
    p.start("python3",
            {"-c",
             "import os,socket,sys\ns=socket.socket(socket.AF_UNIX)\ns.bind(sys.argv[1])\n"
             "os.setgid(65534)\nos.setuid(65534)\ns.listen(8)\nprint(flush=True)\nsys.stdin.read()",
             path});
    return p.waitForReadyRead(10000);
}

} // namespace

class tst_notice_channel : public QObject {
    Q_OBJECT
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
        const auto row = [](const char *name, quint32 tag, const QByteArray &data, int count, bool accepted) {
            QTest::newRow(name) << tag << data << quint32(count) << accepted;
        };
        const QByteArray text = u"Grüße ✓"_s.toUtf8();
        row("notice", 0x250F, text + '\0', text.size(), true);
        row("empty notice", 0x250F, QByteArray(1, '\0'), 0, true);
        row("other tag", 0x2510, text + '\0', text.size(), false);
        row("count one short", 0x250F, text + '\0', text.size() - 1, false);
        row("count one long", 0x250F, text + '\0', text.size() + 1, false);
        row("NUL inside", 0x250F, QByteArray("ab\0cd\0", 6), 5, false);
        // Bytes that are not UTF-8 change length when decoded and encoded again.
        row("not UTF-8", 0x250F, QByteArray("\xff\xfe", 2) + '\0', 2, false);
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

    // A notice reaches the handler of its own title once, also through the socket a crashed
    // instance left; a live channel is not taken over.
    void noticesReachTheirOwnTitleOnly()
    {
        QFile leftover(NoticeChannel::serverName(u"Z3 one"_s));
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.close();
        NoticeChannel a, b, second;
        QStringList atA, atB;
        a.setHandler([&](const QString &t) { atA << t; });
        b.setHandler([&](const QString &t) { atB << t; });
        QVERIFY(a.listen(u"Z3/one"_s));
        QVERIFY(b.listen(u"Z3 one"_s));
        QVERIFY(!second.listen(u"Z3 one"_s));
        QVERIFY(NoticeChannel::sendNotice(u"Z3 one"_s, u"===== Demo Mode ====="_s));
        QTRY_COMPARE_WITH_TIMEOUT(atB, QStringList{u"===== Demo Mode ====="_s}, 5000);
        QVERIFY(!NoticeChannel::sendNotice(u"no such window"_s, u"x"_s));
        QCOMPARE(atA, QStringList());
        QCOMPARE(atB.size(), 1);
    }

    void aStrangersSocketIsNeitherAnInstanceNorToldAnything()
    {
        const QString title = u"Z3 stranger"_s;
        if (geteuid() != 0)
            QSKIP("needs root to run a listener under another account");
        QProcess stranger;
        QVERIFY(strangerListening(stranger, NoticeChannel::serverName(title)));
        NoticeChannel channel;
        bool taken = true;
        const QStringList said = warningsOf([&] {
            taken = channel.listen(title) || channel.listen(title) ||
                    NoticeChannel::sendNotice(title, u"===== Demo Mode ====="_s);
        });
        stranger.kill();
        stranger.waitForFinished(5000);
        QVERIFY(!taken);
        QCOMPARE(said.size(), 1); // said once
        QVERIFY2(said.first().contains(u"another user"_s), qPrintable(said.first()));
    }

    void aSocketPathTooLongIsSaid()
    {
        const QString deep = m_runtime.path() + QLatin1Char('/') + QString(120, QLatin1Char('d'));
        QVERIFY(QDir().mkpath(deep));
        QFile::setPermissions(deep, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", deep.toUtf8());
        NoticeChannel channel;
        bool listening = true;
        const QStringList said =
            warningsOf([&] { listening = channel.listen(u"long"_s) || channel.listen(u"long"_s); });
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8());
        QVERIFY(!listening);
        QCOMPARE(said.size(), 1);
        QVERIFY2(said.first().contains(u"too long"_s), qPrintable(said.first()));
    }
};

QTEST_GUILESS_MAIN(tst_notice_channel)
#include "tst_notice_channel.moc"
