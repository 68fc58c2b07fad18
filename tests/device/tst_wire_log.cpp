// The wire log written around the virtual mouse: one line per HID call in the
// documented format, with the bytes exactly as they travel (frames
// scrambled, blocks plain).

#include "FrameCipher.h"
#include "LinkFixture.h"
#include "WireLogBackend.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

struct Line {
    double ms = 0;
    QString channel, op;
    QString rest;
};

QList<Line> readLog(const QString &path)
{
    QList<Line> lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return lines;
    static const QRegularExpression shape(QStringLiteral(
        "^(\\d+\\.\\d{3}) (cmd|evt) (feature-out|feature-in|out|in|open|close|fail)(?: (.*))?$"));
    for (const QByteArray &raw : file.readAll().split('\n')) {
        if (raw.isEmpty())
            continue;
        const auto m = shape.match(QString::fromLatin1(raw));
        if (!m.hasMatch()) {
            Line bad;
            bad.op = QStringLiteral("MALFORMED: ") + QString::fromLatin1(raw);
            lines.append(bad);
            continue;
        }
        lines.append(Line{m.captured(1).toDouble(), m.captured(2), m.captured(3), m.captured(4)});
    }
    return lines;
}

QList<Line> withOp(const QList<Line> &lines, const QString &op)
{
    QList<Line> out;
    for (const Line &l : lines)
        if (l.op == op)
            out.append(l);
    return out;
}

// Bytes of a line, checking that they are lower-case pairs split by single spaces.
QByteArray lineBytes(const Line &l)
{
    static const QRegularExpression pairs(QStringLiteral("^[0-9a-f]{2}( [0-9a-f]{2})*$"));
    if (!pairs.match(l.rest).hasMatch())
        return QByteArray("not hex pairs");
    return QByteArray::fromHex(l.rest.toLatin1());
}

QByteArray unscrambled(QByteArray report)
{
    if (report.size() != 9)
        return QByteArray();
    uchar code[8] = {0, '5', '8', '2', '6', '0', '4', 0};
    FrameCipher::unscramble(reinterpret_cast<uchar *>(report.data()) + 1, code);
    return report.mid(1);
}

struct LoggedLink : Link {
    QTemporaryDir dir;
    QString logPath;
    explicit LoggedLink(VirtualDevice::Model model = VirtualDevice::Model::Mouse) : Link(model)
    {
        logPath = dir.filePath(QStringLiteral("wire.log"));
        // Take the device back from the link and wrap it in the log.
        auto device = std::make_unique<VirtualDevice>(model);
        dev = device.get();
        hid.setBackend(std::make_unique<WireLogBackend>(std::move(device), logPath));
    }
};

} // namespace

class WireLogTest : public QObject {
    Q_OBJECT
private slots:
    void handshakeLines();
    void setWithPayloadLines();
    void unscrambledWireWhenEncodingIsOff();
};

void WireLogTest::handshakeLines()
{
    LoggedLink link;
    link.check();
    QVERIFY(deviceReady.load());
    const QList<Line> lines = readLog(link.logPath);
    QVERIFY(!lines.isEmpty());

    double last = -1;
    for (const Line &l : lines) {
        QVERIFY2(!l.op.startsWith(QLatin1String("MALFORMED")), qPrintable(l.op));
        QCOMPARE(l.channel, QStringLiteral("cmd"));
        QVERIFY(l.ms >= last);
        last = l.ms;
    }
    const auto opens = withOp(lines, QStringLiteral("open"));
    QVERIFY(!opens.isEmpty());
    for (const Line &l : opens)
        QCOMPARE(l.rest, QString::fromLatin1(VirtualDevice::kCommandPath));
    QCOMPARE(withOp(lines, QStringLiteral("close")).size(), opens.size());
    QVERIFY(withOp(lines, QStringLiteral("fail")).isEmpty());

    const auto sent = withOp(lines, QStringLiteral("feature-out"));
    const auto got = withOp(lines, QStringLiteral("feature-in"));
    QCOMPARE(sent.size(), 1);
    QCOMPARE(got.size(), 1);
    const QByteArray out = lineBytes(sent.at(0));
    const QByteArray in = lineBytes(got.at(0));
    QCOMPARE(out.size(), 9);
    QCOMPARE(in.size(), 9);
    QCOMPARE(out.at(0), '\0');

    // The wire carries the scrambled frame; unscrambled it is 00H with the
    // challenge and its checksum, and the answer echoes the challenge.
    const QByteArray frame = unscrambled(out);
    QVERIFY(out.mid(1) != frame);
    QCOMPARE(frame.at(0), '\0');
    uchar sum = 0;
    for (int i = 0; i < 7; ++i)
        sum = uchar(sum + uchar(frame.at(i)));
    QCOMPARE(uchar(frame.at(7)), uchar(~sum));
    QCOMPARE(unscrambled(in).mid(1, 4).toHex(), frame.mid(1, 4).toHex());
    QCOMPARE(bytes(link.dev->received().value(0).frame).toHex(), frame.toHex());
}

void WireLogTest::setWithPayloadLines()
{
    LoggedLink link;
    link.check();
    QVERIFY(deviceReady.load());
    const int before = int(readLog(link.logPath).size());

    QByteArray colors = pattern(24, 0x81);
    link.hid.hid_10H_SetLED8StageColor(0, reinterpret_cast<uchar *>(colors.data()));
    QVERIFY(link.waitIdle());
    const QList<Line> lines = readLog(link.logPath).mid(before);

    const auto sent = withOp(lines, QStringLiteral("feature-out"));
    QCOMPARE(sent.size(), 1);
    QCOMPARE(unscrambled(lineBytes(sent.at(0))).toHex(' '), QByteArray("10 00 18 00 00 00 00 d7"));

    // One interrupt report: ID, the 24 bytes, eight zeros, as they are.
    const auto outs = withOp(lines, QStringLiteral("out"));
    QCOMPARE(outs.size(), 1);
    QCOMPARE(lineBytes(outs.at(0)).toHex(' '), framedReports(colors, 32).toHex(' '));
    QCOMPARE(outs.at(0).rest.size(), 33 * 3 - 1);

    // The frame comes before its block.
    int frameAt = -1, blockAt = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i).op == QLatin1String("feature-out"))
            frameAt = i;
        if (lines.at(i).op == QLatin1String("out"))
            blockAt = i;
    }
    QVERIFY(frameAt >= 0 && frameAt < blockAt);
    QCOMPARE(withOp(lines, QStringLiteral("open")).size(), withOp(lines, QStringLiteral("close")).size());
}

void WireLogTest::unscrambledWireWhenEncodingIsOff()
{
    QTemporaryDir dir;
    const QString table = dir.filePath(QStringLiteral("plain.ini"));
    {
        QFile f(table);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[common]\nisEncode = false\ntotal = 2\n\n[0]\ntype = 0\n\n"
                "[1]\ntype = 1\nvid = 04d9\npid = a09f\nusagePage = ff00\nusage = ff00\n"
                "usagePage2 = ff01\nusage2 = ff01\nreportLength = 32\n");
    }
    LoggedLink link;
    link.dev->setEncoding(false);
    link.check(table);
    QVERIFY(!isEncode.load());
    QVERIFY(deviceReady.load());
    const int before = int(readLog(link.logPath).size());

    link.hid.hid_0BH_SetCurrentDPIStage(3);
    QVERIFY(link.waitIdle());
    const auto sent = withOp(readLog(link.logPath).mid(before), QStringLiteral("feature-out"));
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent.at(0).rest, QStringLiteral("00 0b 03 00 00 00 00 00 f1"));
}

QTEST_GUILESS_MAIN(WireLogTest)
#include "tst_wire_log.moc"
