// Macro lines to device bytes: the key-name table, the mouse and keyboard
// delay forms with their boundaries, skipped lines, and the fixed-size block
// that keeps whole records and its terminator.

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

QList<uchar> encode(uint did, const QStringList &lines)
{
    return MacroEncoder::encode(lines, did, KeyNameTable::table());
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
        QSet<uchar> codes;
        for (auto it = table.cbegin(); it != table.cend(); ++it) {
            QVERIFY2(it.value() != 0, qPrintable(it.key()));
            codes.insert(it.value());
        }
        QCOMPARE(table.size(), 132);
        QCOMPARE(codes.size(), 132); // two names on one code would press the wrong key
        // Letters and digits follow the keyboard usage order the device expects.
        for (int i = 0; i < 26; ++i)
            QCOMPARE(KeyNameTable::code(QString(QChar('A' + i))), uchar(0x04 + i));
        for (int i = 0; i < 10; ++i)
            QCOMPARE(KeyNameTable::code(QString::number((i + 1) % 10)), uchar(0x1E + i));
        QCOMPARE(KeyNameTable::code(QStringLiteral("KP 7")), uchar(0)); // the name keeps its trailing space
        QVERIFY(KeyNameTable::code(QStringLiteral("KP 7 ")) > KeyNameTable::code(QStringLiteral("KP 6")));
        QCOMPARE(KeyNameTable::code(QStringLiteral("a")), uchar(0)); // names are case-sensitive
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
        row("keyboard: empty", kKeyboard, {}, "00010000");
        row("release keeps its bit", kMouse, {up(QStringLiteral("L Ctrl")), delay(500)}, "0001b2e00000");
        row("backslash key", kMouse, {down(QStringLiteral("\\ |"))}, "000101310000");
        row("KP 7 with its space", kMouse, {down(QStringLiteral("KP 7 ")), up(QStringLiteral("KP 7 "))}, "0001015f815f0000");
        row("other tags, unknown names, zero and text delays dropped", kMouse,
            {QStringLiteral("A  [Press]"), down(QStringLiteral("Nope")), delay(0), QStringLiteral("abc   [Delay]"),
             QStringLiteral("x"), QString(), QStringLiteral("   [Delay]")}, "00010000");
        row("another device drops delays", 2, {down(a), delay(100)}, "000101040000");
        // Mouse delays after a key press (01 04).
        row("1 ms raised to 10", kMouse, {down(a), delay(1)}, "000101040000");
        row("14 ms rounds to 1", kMouse, {down(a), delay(14)}, "000101040000");
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
        row("first 1270", kMouse, {delay(1270)}, "0001000100400000");
        row("first 1271", kMouse, {delay(1271)}, "000140010000");
        row("two delays: the second never merges", kMouse, {down(a), delay(100), delay(100)}, "00010a04000100050000");
        row("long then short", kMouse, {down(a), delay(2000), delay(100)}, "000101046401000100050000");
        row("skipped zero delay", kMouse, {down(a), delay(0), delay(100)}, "00010104000100050000");
        // The line before appended nothing: the delay gets a record of its own.
        row("after an unknown key", kMouse, {down(QStringLiteral("Unknown")), delay(100)}, "0001000100050000");
        row("after another tag", kMouse, {down(a), QStringLiteral("B  [Other]"), delay(100)}, "00010104000100050000");
        row("after a long delay", kMouse, {delay(2000), down(QStringLiteral("nope")), delay(300)}, "000164010001000f0000");
        row("keyboard 10 ms", kKeyboard, {delay(10)}, "00017f0000010000");
        row("keyboard 9 ms", kKeyboard, {delay(9)}, "00017f0000000000");
        row("keyboard two delays", kKeyboard, {down(a), delay(5000), delay(100)}, "000101047f0001f47f00000a0000");
        row("keyboard negative dropped", kKeyboard, {delay(-100)}, "00010000");
        row("keyboard huge saturates", kKeyboard, {delay(10000000)}, "00017f00ffff0000");
    }

    void encodings()
    {
        QFETCH(uint, did);
        QFETCH(QStringList, lines);
        QFETCH(QList<uchar>, expected);
        QCOMPARE(encode(did, lines), expected);
    }

    void mouseBlockKeepsWholeRecordsAndTheTerminator()
    {
        // Header 2 + 62 events of 2 + terminator 2 = exactly 128: no cut.
        QStringList lines;
        for (int i = 0; i < 62; ++i)
            lines << (i % 2 ? up(QStringLiteral("B")) : down(QStringLiteral("B")));
        bool cut = true;
        QByteArray block = blockOf(lines, kMouse, MacroEncoder::kMouseBlockSize, &cut);
        QVERIFY(!cut);
        QCOMPARE(block.mid(122), QByteArray::fromHex("010581050000"));

        // One more event (130 bytes): cut after event 62, terminator kept inside.
        lines << down(QStringLiteral("C"));
        block = blockOf(lines, kMouse, MacroEncoder::kMouseBlockSize, &cut);
        QVERIFY(cut);
        QCOMPARE(block.mid(122), QByteArray::fromHex("010581050000"));

        // A 4-byte record across the end is dropped whole: 61 events (124) +
        // long delay (128) + terminator = 130.
        lines = lines.mid(0, 61);
        lines << delay(6000);
        block = blockOf(lines, kMouse, MacroEncoder::kMouseBlockSize, &cut);
        QVERIFY(cut);
        QCOMPARE(block.size(), 128);
        QCOMPARE(block.mid(120), QByteArray::fromHex("8105010500000000"));
    }

    void keyboardBlockKeepsWholeRecordsAndTheTerminator()
    {
        // Header 2 + 47 delays of 4 = 190 + terminator 2 = exactly 192.
        QStringList lines(47, delay(1000));
        bool cut = true;
        QByteArray block = blockOf(lines, kKeyboard, MacroEncoder::kKeyboardBlockSize, &cut);
        QVERIFY(!cut);
        QCOMPARE(block.mid(186), QByteArray::fromHex("7f0000640000"));
        lines << down(QStringLiteral("A"));
        block = blockOf(lines, kKeyboard, MacroEncoder::kKeyboardBlockSize, &cut);
        QVERIFY(cut);
        QCOMPARE(block.size(), 192);
        QCOMPARE(block.mid(186), QByteArray::fromHex("7f0000640000"));
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
