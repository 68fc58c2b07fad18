// Macro lines to device bytes: the key-name table, the mouse and keyboard
// delay forms with their boundaries, skipped lines, and the fixed-size block
// that keeps whole records and its terminator.

#include "KeyNameTable.h"
#include "MacroEncoder.h"

#include <QTest>

namespace {

const QString kDown = QStringLiteral("    [Down]");
const QString kUp = QStringLiteral("      [Up]");
const QString kDelay = QStringLiteral("   [Delay]");

QString down(const QString &key)
{
    return key + kDown;
}
QString up(const QString &key)
{
    return key + kUp;
}
QString delay(qint64 ms)
{
    return QString::number(ms) + kDelay;
}

QList<uchar> bytes(std::initializer_list<int> values)
{
    QList<uchar> out;
    for (int v : values)
        out << uchar(v);
    return out;
}

QList<uchar> mouse(const QStringList &lines)
{
    return MacroEncoder::encode(lines, MacroEncoder::kMouseDid, KeyNameTable::table());
}

QList<uchar> keyboard(const QStringList &lines)
{
    return MacroEncoder::encode(lines, MacroEncoder::kKeyboardDid, KeyNameTable::table());
}

QByteArray blockOf(const QStringList &lines, uint did, int size, bool *cut)
{
    QList<int> ends;
    const QList<uchar> data = MacroEncoder::encode(lines, did, KeyNameTable::table(), &ends);
    return MacroEncoder::block(data, ends, size, cut);
}

} // namespace

class TestMacroEncoding : public QObject {
    Q_OBJECT

private slots:
    void keyNameTableHoldsTheNamesExactly();
    void workedExamples();
    void mouseDelayBoundaries_data();
    void mouseDelayBoundaries();
    void firstLineAndConsecutiveDelays();
    void skippedLinesDoNotTakeTheDelay();
    void keyboardDelays();
    void mouseBlockKeepsWholeRecordsAndTheTerminator();
    void keyboardBlockKeepsWholeRecordsAndTheTerminator();
    void repeatHeaderKeepsSixteenBits();
};

void TestMacroEncoding::keyNameTableHoldsTheNamesExactly()
{
    KeyNameTable::rebuild();
    const QHash<QString, uchar> &table = KeyNameTable::table();
    QCOMPARE(table.size(), 132);
    QCOMPARE(KeyNameTable::code(QStringLiteral("A")), uchar(0x04));
    QCOMPARE(KeyNameTable::code(QStringLiteral("0")), uchar(0x27));
    QCOMPARE(KeyNameTable::code(QStringLiteral("\\ |")), uchar(0x31));
    QCOMPARE(KeyNameTable::code(QStringLiteral("' \"")), uchar(0x34));
    QCOMPARE(KeyNameTable::code(QStringLiteral("KP 7 ")), uchar(0x5F));
    QCOMPARE(KeyNameTable::code(QStringLiteral("KP 7")), uchar(0));
    QCOMPARE(KeyNameTable::code(QString(QChar(0x25BA))), uchar(0x4F));
    QCOMPARE(KeyNameTable::code(QString(QChar(0x25C4))), uchar(0x50));
    QCOMPARE(KeyNameTable::code(QString(QChar(0x25BC))), uchar(0x51));
    QCOMPARE(KeyNameTable::code(QString(QChar(0x25B2))), uchar(0x52));
    QCOMPARE(KeyNameTable::code(QStringLiteral("Intl'2")), uchar(0x88));
    QCOMPARE(KeyNameTable::code(QStringLiteral("Int'l 2")), uchar(0x89));
    QCOMPARE(KeyNameTable::code(QStringLiteral("R Win")), uchar(0xE7));
    QCOMPARE(KeyNameTable::code(QStringLiteral("MS-L")), uchar(0xF0));
    QCOMPARE(KeyNameTable::code(QStringLiteral("MS-B5")), uchar(0xF4));
    QCOMPARE(KeyNameTable::code(QStringLiteral("a")), uchar(0)); // names are case-sensitive

    // Every code is used once, none is 0, and the keyboard codes run A..R Win.
    QSet<uchar> codes;
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        QVERIFY(it.value() != 0);
        codes.insert(it.value());
    }
    QCOMPARE(codes.size(), 132);
    QVERIFY(!codes.contains(0x32)); // the non-US key has no name here

    // "\ |" encodes as 0x31 in a macro.
    QCOMPARE(mouse({down(QStringLiteral("\\ |"))}), bytes({0x00, 0x01, 0x01, 0x31, 0x00, 0x00}));
}

void TestMacroEncoding::workedExamples()
{
    const QStringList lines{down(QStringLiteral("A")), delay(100), up(QStringLiteral("A"))};
    QCOMPARE(mouse(lines), bytes({0x00, 0x01, 0x0A, 0x04, 0x81, 0x04, 0x00, 0x00}));
    QCOMPARE(keyboard(lines),
             bytes({0x00, 0x01, 0x01, 0x04, 0x7F, 0x00, 0x00, 0x0A, 0x81, 0x04, 0x00, 0x00}));

    QCOMPARE(mouse({}), bytes({0x00, 0x01, 0x00, 0x00}));
    QCOMPARE(keyboard({}), bytes({0x00, 0x01, 0x00, 0x00}));

    QCOMPARE(mouse({down(QStringLiteral("A")), delay(2000)}),
             bytes({0x00, 0x01, 0x01, 0x04, 0x64, 0x01, 0x00, 0x00}));
    QCOMPARE(mouse({down(QStringLiteral("A")), delay(6000)}),
             bytes({0x00, 0x01, 0x01, 0x04, 0x00, 0x01, 0x01, 0x2C, 0x00, 0x00}));

    // A release keeps its release bit when a delay is folded in.
    QCOMPARE(mouse({up(QStringLiteral("L Ctrl")), delay(500)}), bytes({0x00, 0x01, 0xB2, 0xE0, 0x00, 0x00}));

    // Other tags, unknown names, zero and non-numeric delays are dropped.
    QCOMPARE(mouse({QStringLiteral("A  [Press]"), down(QStringLiteral("Nope")), delay(0),
                    QStringLiteral("abc") + kDelay, QStringLiteral("x"), QString()}),
             bytes({0x00, 0x01, 0x00, 0x00}));
    // A delay on another device id is dropped too.
    QCOMPARE(MacroEncoder::encode({down(QStringLiteral("A")), delay(100)}, 2, KeyNameTable::table()),
             bytes({0x00, 0x01, 0x01, 0x04, 0x00, 0x00}));
}

void TestMacroEncoding::mouseDelayBoundaries_data()
{
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<QList<uchar>>("expected");
    // After a key press (01 04).
    QTest::newRow("1 ms raised to 10") << qint64(1) << bytes({0x00, 0x01, 0x01, 0x04, 0x00, 0x00});
    QTest::newRow("14 ms rounds to 1") << qint64(14) << bytes({0x00, 0x01, 0x01, 0x04, 0x00, 0x00});
    QTest::newRow("15 ms rounds to 2") << qint64(15) << bytes({0x00, 0x01, 0x02, 0x04, 0x00, 0x00});
    QTest::newRow("1270 merges as 7F") << qint64(1270) << bytes({0x00, 0x01, 0x7F, 0x04, 0x00, 0x00});
    QTest::newRow("1271 short 40") << qint64(1271) << bytes({0x00, 0x01, 0x01, 0x04, 0x40, 0x01, 0x00, 0x00});
    QTest::newRow("5100 short FF") << qint64(5100) << bytes({0x00, 0x01, 0x01, 0x04, 0xFF, 0x01, 0x00, 0x00});
    QTest::newRow("5101 long 00FF") << qint64(5101)
                                    << bytes({0x00, 0x01, 0x01, 0x04, 0x00, 0x01, 0x00, 0xFF, 0x00, 0x00});
    QTest::newRow("negative merges as 1") << qint64(-40) << bytes({0x00, 0x01, 0x01, 0x04, 0x00, 0x00});
    QTest::newRow("huge saturates") << qint64(99999999)
                                    << bytes({0x00, 0x01, 0x01, 0x04, 0x00, 0x01, 0xFF, 0xFF, 0x00, 0x00});
}

void TestMacroEncoding::mouseDelayBoundaries()
{
    QFETCH(qint64, ms);
    QFETCH(QList<uchar>, expected);
    QCOMPARE(mouse({down(QStringLiteral("A")), delay(ms)}), expected);
}

void TestMacroEncoding::firstLineAndConsecutiveDelays()
{
    // A short delay as the very first line takes the long form, even 10 ms.
    QCOMPARE(mouse({delay(10)}), bytes({0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00}));
    QCOMPARE(mouse({delay(5)}), bytes({0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00}));
    QCOMPARE(mouse({delay(1270)}), bytes({0x00, 0x01, 0x00, 0x01, 0x00, 0x40, 0x00, 0x00}));
    QCOMPARE(mouse({delay(1271)}), bytes({0x00, 0x01, 0x40, 0x01, 0x00, 0x00}));
    QCOMPARE(mouse({delay(5100)}), bytes({0x00, 0x01, 0xFF, 0x01, 0x00, 0x00}));

    // Two delays in a row: the first merges, the second never does.
    QCOMPARE(mouse({down(QStringLiteral("A")), delay(100), delay(100)}),
             bytes({0x00, 0x01, 0x0A, 0x04, 0x00, 0x01, 0x00, 0x05, 0x00, 0x00}));
    QCOMPARE(mouse({down(QStringLiteral("A")), delay(100), delay(2000)}),
             bytes({0x00, 0x01, 0x0A, 0x04, 0x64, 0x01, 0x00, 0x00}));
    // A long first delay leaves the event before it untouched.
    QCOMPARE(mouse({down(QStringLiteral("A")), delay(2000), delay(100)}),
             bytes({0x00, 0x01, 0x01, 0x04, 0x64, 0x01, 0x00, 0x01, 0x00, 0x05, 0x00, 0x00}));
    // A skipped zero delay between two delays still separates nothing: the
    // third line follows a delay line, so it is not folded.
    QCOMPARE(mouse({down(QStringLiteral("A")), delay(0), delay(100)}),
             bytes({0x00, 0x01, 0x01, 0x04, 0x00, 0x01, 0x00, 0x05, 0x00, 0x00}));
}

void TestMacroEncoding::skippedLinesDoNotTakeTheDelay()
{
    // The line before the delay appended nothing: the delay is not written
    // into the header or an older record, it gets a record of its own.
    QCOMPARE(mouse({down(QStringLiteral("Unknown")), delay(100)}),
             bytes({0x00, 0x01, 0x00, 0x01, 0x00, 0x05, 0x00, 0x00}));
    QCOMPARE(mouse({down(QStringLiteral("A")), QStringLiteral("B  [Other]"), delay(100)}),
             bytes({0x00, 0x01, 0x01, 0x04, 0x00, 0x01, 0x00, 0x05, 0x00, 0x00}));
    QCOMPARE(mouse({delay(2000), down(QStringLiteral("nope")), delay(300)}),
             bytes({0x00, 0x01, 0x64, 0x01, 0x00, 0x01, 0x00, 0x0F, 0x00, 0x00}));
}

void TestMacroEncoding::keyboardDelays()
{
    QCOMPARE(keyboard({delay(10)}), bytes({0x00, 0x01, 0x7F, 0x00, 0x00, 0x01, 0x00, 0x00}));
    QCOMPARE(keyboard({delay(9)}), bytes({0x00, 0x01, 0x7F, 0x00, 0x00, 0x00, 0x00, 0x00}));
    QCOMPARE(keyboard({down(QStringLiteral("A")), delay(5000), delay(100)}),
             bytes({0x00, 0x01, 0x01, 0x04, 0x7F, 0x00, 0x01, 0xF4, 0x7F, 0x00, 0x00, 0x0A, 0x00, 0x00}));
    // Negative delays mean nothing and are dropped; huge ones saturate.
    QCOMPARE(keyboard({delay(-100)}), bytes({0x00, 0x01, 0x00, 0x00}));
    QCOMPARE(keyboard({delay(10000000)}), bytes({0x00, 0x01, 0x7F, 0x00, 0xFF, 0xFF, 0x00, 0x00}));
}

void TestMacroEncoding::mouseBlockKeepsWholeRecordsAndTheTerminator()
{
    // Header 2 + 62 events of 2 + terminator 2 = exactly 128: no cut.
    QStringList lines;
    for (int i = 0; i < 62; ++i)
        lines << (i % 2 ? up(QStringLiteral("B")) : down(QStringLiteral("B")));
    bool cut = true;
    QByteArray block = blockOf(lines, MacroEncoder::kMouseDid, MacroEncoder::kMouseBlockSize, &cut);
    QVERIFY(!cut);
    QCOMPARE(block.size(), 128);
    QCOMPARE(uchar(block.at(124)), uchar(0x81));
    QCOMPARE(uchar(block.at(125)), uchar(0x05));
    QCOMPARE(block.right(2), QByteArray(2, '\0'));

    // One more event (130 bytes): cut after event 62, terminator kept inside.
    lines << down(QStringLiteral("C"));
    block = blockOf(lines, MacroEncoder::kMouseDid, MacroEncoder::kMouseBlockSize, &cut);
    QVERIFY(cut);
    QCOMPARE(block.size(), 128);
    QCOMPARE(uchar(block.at(125)), uchar(0x05));
    QCOMPARE(block.right(2), QByteArray(2, '\0'));
    QVERIFY(!block.contains(char(0x06))); // the C press did not fit

    // A 4-byte record across the end is dropped whole: 61 events (124) +
    // long delay (128) + terminator = 130.
    lines = lines.mid(0, 61);
    lines << delay(6000);
    block = blockOf(lines, MacroEncoder::kMouseDid, MacroEncoder::kMouseBlockSize, &cut);
    QVERIFY(cut);
    QCOMPARE(uchar(block.at(123)), uchar(0x05));
    QCOMPARE(block.mid(124), QByteArray(4, '\0'));
}

void TestMacroEncoding::keyboardBlockKeepsWholeRecordsAndTheTerminator()
{
    // Header 2 + 47 delays of 4 = 190 + terminator 2 = exactly 192.
    QStringList lines;
    for (int i = 0; i < 47; ++i)
        lines << delay(1000);
    bool cut = true;
    QByteArray block = blockOf(lines, MacroEncoder::kKeyboardDid, MacroEncoder::kKeyboardBlockSize, &cut);
    QVERIFY(!cut);
    QCOMPARE(block.size(), 192);
    QCOMPARE(uchar(block.at(189)), uchar(100));
    lines << down(QStringLiteral("A"));
    block = blockOf(lines, MacroEncoder::kKeyboardDid, MacroEncoder::kKeyboardBlockSize, &cut);
    QVERIFY(cut);
    QCOMPARE(block.size(), 192);
    QCOMPARE(uchar(block.at(189)), uchar(100));
    QCOMPARE(block.right(2), QByteArray(2, '\0'));
    QVERIFY(!block.contains(char(0x04)));
}

void TestMacroEncoding::repeatHeaderKeepsSixteenBits()
{
    const QStringList lines{down(QStringLiteral("A")), delay(100), up(QStringLiteral("A"))};
    QByteArray block = blockOf(lines, MacroEncoder::kMouseDid, MacroEncoder::kMouseBlockSize, nullptr);
    MacroEncoder::setRepeatHeader(block, 3);
    QByteArray expected = QByteArray::fromHex("00030A04810400 00");
    expected.append(QByteArray(120, '\0'));
    QCOMPARE(block, expected);
    MacroEncoder::setRepeatHeader(block, 0);
    QCOMPARE(block.left(2), QByteArray(2, '\0'));
    MacroEncoder::setRepeatHeader(block, 0x12345);
    QCOMPARE(block.left(2), QByteArray::fromHex("2345"));
}

QTEST_MAIN(TestMacroEncoding)
#include "tst_macroencoding.moc"
