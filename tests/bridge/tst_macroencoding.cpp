// Macro lines to device bytes: key names, delay forms at their boundaries, whole-record blocks.

#include "KeyNameTable.h"
#include "MacroEncoder.h"

#include <QSet>
#include <QTest>

namespace {

QString down(const QString &key) { return key + QStringLiteral("    [Down]"); }
QString up(const QString &key) { return key + QStringLiteral("      [Up]"); }
QString delay(qint64 ms) { return QString::number(ms) + QStringLiteral("   [Delay]"); }

QList<uchar> bytes(const char *hex)
{
    const QByteArray raw = QByteArray::fromHex(hex);
    return QList<uchar>(raw.cbegin(), raw.cend());
}

QByteArray blockOf(const QStringList &lines, uint did, int size, bool *cut)
{
    QList<int> ends;
    const QList<uchar> data = MacroEncoder::encode(lines, did, KeyNameTable::table(), &ends);
    return MacroEncoder::block(data, ends, size, cut);
}

const uint kMouse = MacroEncoder::kMouseDid;
const uint kKeyboard = MacroEncoder::kKeyboardDid;

} // namespace

class TestMacroEncoding : public QObject {
    Q_OBJECT

private slots:
    void everyKeyNameHasACodeOfItsOwn()
    {
        KeyNameTable::rebuild();
        const QHash<QString, uchar> &table = KeyNameTable::table();
        const QList<uchar> codes = table.values();
        QCOMPARE(QSet<uchar>(codes.cbegin(), codes.cend()).size(), 132); // one key per code
        QVERIFY(!codes.contains(0) && table.size() == 132);
        // Letters and digits follow the keyboard usage order the device expects.
        for (int i = 0; i < 26; ++i)
            QCOMPARE(KeyNameTable::code(QString(QChar('A' + i))), uchar(0x04 + i));
        for (int i = 0; i < 10; ++i)
            QCOMPARE(KeyNameTable::code(QString::number((i + 1) % 10)), uchar(0x1E + i));
        // "KP 7 " keeps its trailing space; names are case-sensitive.
        QVERIFY(!KeyNameTable::code(QStringLiteral("KP 7")) && !KeyNameTable::code(QStringLiteral("a")));
    }

    void encodings_data()
    {
        QTest::addColumn<uint>("did");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QList<uchar>>("expected");
        const QString a = QStringLiteral("A");
        auto row = [](const char *name, uint did, const QStringList &lines, const char *hex) {
            QTest::newRow(name) << did << lines << bytes(hex);
        };
        row("mouse: delay folded into the event", kMouse, {down(a), delay(100), up(a)}, "00010a0481040000");
        row("keyboard: delay record", kKeyboard, {down(a), delay(100), up(a)}, "000101047f00000a81040000");
        row("mouse: empty", kMouse, {}, "00010000");
        row("release keeps its bit", kMouse, {up(QStringLiteral("L Ctrl")), delay(500)}, "0001b2e00000");
        row("backslash key", kMouse, {down(QStringLiteral("\\ |"))}, "000101310000");
        row("KP 7 with its space", kMouse, {down(QStringLiteral("KP 7 ")), up(QStringLiteral("KP 7 "))}, "0001015f815f0000");
        row("other tags, unknown names, zero and text delays dropped", kMouse,
            {QStringLiteral("A  [Press]"), down(QStringLiteral("Nope")), delay(0), QStringLiteral("abc   [Delay]"),
             QStringLiteral("x"), QString(), QStringLiteral("   [Delay]")}, "00010000");
        row("another device drops delays", 2, {down(a), delay(100)}, "000101040000");
        // Mouse delays after a key press (01 04).
        row("1 ms raised to 10", kMouse, {down(a), delay(1)}, "000101040000");
        row("15 ms rounds to 2", kMouse, {down(a), delay(15)}, "000102040000");
        row("1270 merges as 7F", kMouse, {down(a), delay(1270)}, "00017f040000");
        row("1271 short 40", kMouse, {down(a), delay(1271)}, "0001010440010000");
        row("5100 short FF", kMouse, {down(a), delay(5100)}, "00010104ff010000");
        row("5101 long 00FF", kMouse, {down(a), delay(5101)}, "00010104000100ff0000");
        row("6000 long 012C", kMouse, {down(a), delay(6000)}, "000101040001012c0000");
        row("negative merges as 1", kMouse, {down(a), delay(-40)}, "000101040000");
        row("huge saturates", kMouse, {down(a), delay(99999999)}, "000101040001ffff0000");
        // A short first delay has no event to join: the long form, even 10 ms.
        row("first 10", kMouse, {delay(10)}, "0001000100010000");
        row("first 1271", kMouse, {delay(1271)}, "000140010000");
        row("two delays: the second never merges", kMouse, {down(a), delay(100), delay(100)}, "00010a04000100050000");
        row("long then short", kMouse, {down(a), delay(2000), delay(100)}, "000101046401000100050000");
        row("skipped zero delay", kMouse, {down(a), delay(0), delay(100)}, "00010104000100050000");
        // The line before appended nothing: the delay gets a record of its own.
        row("after an unknown key", kMouse, {down(QStringLiteral("Unknown")), delay(100)}, "0001000100050000");
        row("after a long delay", kMouse, {delay(2000), down(QStringLiteral("nope")), delay(300)}, "000164010001000f0000");
        row("keyboard 10 ms", kKeyboard, {delay(10)}, "00017f0000010000");
        row("keyboard 9 ms, negative dropped", kKeyboard, {delay(9), delay(-100)}, "00017f0000000000");
        row("keyboard two delays", kKeyboard, {down(a), delay(5000), delay(100)}, "000101047f0001f47f00000a0000");
        row("keyboard huge saturates", kKeyboard, {delay(10000000)}, "00017f00ffff0000");
    }

    void encodings()
    {
        QFETCH(uint, did);
        QFETCH(QStringList, lines);
        QFETCH(QList<uchar>, expected);
        QCOMPARE(MacroEncoder::encode(lines, did, KeyNameTable::table()), expected);
    }

    // A block keeps whole records and room for the terminator 00 00.
    void blocksKeepWholeRecordsAndTheTerminator_data()
    {
        QTest::addColumn<uint>("did");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("cut");
        QTest::addColumn<QByteArray>("end"); // the block's last bytes
        QStringList events; // 2 bytes each
        for (int i = 0; i < 63; ++i)
            events << (i % 2 ? up(QStringLiteral("B")) : down(QStringLiteral("B")));
        // Header 2 + 62 events of 2 + terminator 2 = exactly 128.
        QTest::newRow("mouse, full") << kMouse << events.mid(0, 62) << false << QByteArray::fromHex("01058105 0000");
        QTest::newRow("mouse, one more") << kMouse << events << true << QByteArray::fromHex("01058105 0000");
        // 61 events (124) + a long delay (4) + terminator = 130: the delay goes whole.
        QTest::newRow("mouse, 4-byte record") << kMouse << events.mid(0, 61) + QStringList{delay(6000)} << true
                                              << QByteArray::fromHex("81050105 00000000");
        // Header 2 + 47 delays of 4 = 190 + terminator 2 = exactly 192.
        const QStringList delays(47, delay(1000));
        QTest::newRow("keyboard, full") << kKeyboard << delays << false << QByteArray::fromHex("7f000064 0000");
        QTest::newRow("keyboard, one more") << kKeyboard << delays + QStringList{down(QStringLiteral("A"))} << true
                                            << QByteArray::fromHex("7f000064 0000");
    }
    void blocksKeepWholeRecordsAndTheTerminator()
    {
        QFETCH(uint, did);
        QFETCH(QStringList, lines);
        QFETCH(QByteArray, end);
        const int size = did == kMouse ? MacroEncoder::kMouseBlockSize : MacroEncoder::kKeyboardBlockSize;
        bool cut = false;
        const QByteArray block = blockOf(lines, did, size, &cut);
        QCOMPARE(block.size(), size);
        QTEST(cut, "cut");
        QCOMPARE(block.right(end.size()), end);
    }

    void repeatHeaderKeepsSixteenBits()
    {
        QByteArray block = blockOf({down(QStringLiteral("A")), delay(100), up(QStringLiteral("A"))}, kMouse,
                                   MacroEncoder::kMouseBlockSize, nullptr);
        MacroEncoder::setRepeatHeader(block, 3);
        QCOMPARE(block, QByteArray::fromHex("00030a0481040000") + QByteArray(120, '\0'));
        MacroEncoder::setRepeatHeader(block, 0x12345);
        QCOMPARE(block.left(2), QByteArray::fromHex("2345"));
    }
};

QTEST_MAIN(TestMacroEncoding)
#include "tst_macroencoding.moc"
