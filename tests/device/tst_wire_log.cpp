// The wire log written around the virtual mouse: one line per HID call in the
// documented format, with the bytes exactly as they travel (frames
// scrambled, blocks plain), and the link works through it unchanged.

#include "FrameCipher.h"
#include "LinkFixture.h"
#include "WireLogBackend.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

struct LoggedLink : Link {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("wire.log"));
    int seen = 0;
    LoggedLink()
    {
        auto device = std::make_unique<VirtualDevice>();
        dev = device.get();
        hid.setBackend(std::make_unique<WireLogBackend>(std::move(device), path));
    }
    // "op bytes" of every line since the last call; the shape of each line checked.
    QStringList newLines()
    {
        static const QRegularExpression shape(QStringLiteral(
            "^\\d+\\.\\d{3} cmd (feature-out|feature-in|out|in|open|close|fail)( [0-9a-f]{2}( [0-9a-f]{2})*| "
            "virtual-z3/command)?$"));
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return {QStringLiteral("no log")};
        const QStringList all = QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QStringList out;
        for (const QString &line : all.mid(seen))
            out << (shape.match(line).hasMatch() ? line.section(QLatin1Char(' '), 2) : QStringLiteral("BAD ") + line);
        seen = int(all.size());
        return out;
    }
};

QByteArray unscrambled(const QString &line)
{
    QByteArray frame = QByteArray::fromHex(line.section(QLatin1Char(' '), 2).toLatin1());
    uchar code[8] = {0, '5', '8', '2', '6', '0', '4', 0};
    FrameCipher::unscramble(reinterpret_cast<uchar *>(frame.data()), code);
    return frame.toHex(' ');
}

} // namespace

class WireLogTest : public QObject {
    Q_OBJECT
private slots:
    void handshakeSetAndBlockReadLines();
    void unscrambledWireWhenEncodingIsOff();
};

void WireLogTest::handshakeSetAndBlockReadLines()
{
    LoggedLink link;
    link.check();
    QVERIFY(deviceReady.load());
    QStringList lines = link.newLines();
    QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^(open|close|feature)"))).size(), lines.size());
    QCOMPARE(lines.filter(QStringLiteral("open virtual-z3/command")).size(), lines.filter(QStringLiteral("close")).size());
    // The 00H frame goes out scrambled; the answer echoes its challenge.
    const QStringList out = lines.filter(QStringLiteral("feature-out 00 "));
    const QStringList in = lines.filter(QStringLiteral("feature-in 00 "));
    QCOMPARE(out.size(), 1);
    QCOMPARE(in.size(), 1);
    const QByteArray frame = unscrambled(out.at(0));
    QVERIFY(frame != out.at(0).section(QLatin1Char(' '), 2).toLatin1());
    QCOMPARE(frame, bytes(link.dev->received().value(0).frame).toHex(' '));
    QCOMPARE(unscrambled(in.at(0)).mid(3, 11), frame.mid(3, 11));

    // A Set with a block: the frame, then one plain 33-byte report.
    QByteArray colors = pattern(24, 0x81);
    link.hid.hid_10H_SetLED8StageColor(0, raw(colors));
    QVERIFY(link.waitIdle());
    lines = link.newLines().filter(QRegularExpression(QStringLiteral("^(feature|out|in|fail)")));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(unscrambled(lines.at(0)), QByteArray("10 00 18 00 00 00 00 d7"));
    QCOMPARE(lines.at(1), QStringLiteral("out ") + QString::fromLatin1(framedReports(colors, 32).toHex(' ')));

    // A block read: the answer frame, then the block as it arrives, and the
    // caller gets the bytes.
    QByteArray back(24, '\0');
    link.hid.hid_90H_GetLED8StageColor(0, raw(back));
    QCOMPARE(back.toHex(), colors.toHex());
    lines = link.newLines().filter(QRegularExpression(QStringLiteral("^(feature|out|in|fail)")));
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(2), QStringLiteral("in ") + QString::fromLatin1(colors.toHex(' ') + QByteArray(" 00").repeated(8)));
}

void WireLogTest::unscrambledWireWhenEncodingIsOff()
{
    QTemporaryDir dir;
    const QString table = dir.filePath(QStringLiteral("plain.ini"));
    QFile f(table);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[common]\nisEncode = false\ntotal = 2\n[0]\ntype = 0\n[1]\ntype = 1\nvid = 04d9\npid = a09f\n"
            "usagePage = ff00\nusage = ff00\nusagePage2 = ff01\nusage2 = ff01\nreportLength = 32\n");
    f.close();
    LoggedLink link;
    link.dev->setEncoding(false);
    link.check(table);
    QVERIFY(!isEncode.load() && deviceReady.load());
    link.newLines();
    link.hid.hid_0BH_SetCurrentDPIStage(3);
    QVERIFY(link.waitIdle());
    QCOMPARE(link.newLines().filter(QStringLiteral("feature-out")),
             QStringList{QStringLiteral("feature-out 00 0b 03 00 00 00 00 00 f1")});
}

QTEST_GUILESS_MAIN(WireLogTest)
#include "tst_wire_log.moc"
