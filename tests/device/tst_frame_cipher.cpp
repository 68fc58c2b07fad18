// Frame scrambling: vectors worked out by hand, and round trips over random
// frames and codes (only code bytes 1..6 count; any other code never gives
// the frame back). Checksums are checked on every frame of tst_commands.

#include "FrameCipher.h"

#include <QRandomGenerator>
#include <QTest>

#include <array>

namespace {
using Bytes = std::array<uchar, 8>;
Bytes of(const QByteArray &hexText)
{
    Bytes b{};
    const QByteArray raw = QByteArray::fromHex(hexText);
    std::copy(raw.begin(), raw.begin() + std::min<int>(8, int(raw.size())), b.begin());
    return b;
}
QByteArray text(const Bytes &b)
{
    return QByteArray(reinterpret_cast<const char *>(b.data()), 8).toHex(' ');
}
} // namespace

class FrameCipherTest : public QObject {
    Q_OBJECT
private slots:
    void handVectors_data();
    void handVectors();
    void roundTripsOnlyWithTheSameCode();
};

// Key "VeLmoRik", nibble-swapped: 65 56 c4 d6 f6 25 96 b6; code "582604" = 35 38 32 36 30 34.
// (b) 00 00 00 00 00 00 00 ff: swap 00 00 ff 00 00 00 00 00, xor b1..b6 00 35 c7 32 36 30 34 00,
//     rotate left 3 01 ae 39 91 b1 81 a0 00, + key 66 04 fd 67 a7 a6 36 b6.
// (d) 12 34 56 78 9a bc de f0: swap bc 9a f0 de 34 12 78 56, xor bc af c8 ec 02 22 4c 56,
//     rotate e5 7e 47 60 11 12 62 b5 (b0's high bits wrap into b7), + key 4a d4 0b 36 07 37 f8 6b.
void FrameCipherTest::handVectors_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QByteArray>("scrambled");
    QTest::newRow("zeros, zero code: the key itself") << QByteArray("00") << QByteArray() << QByteArray("6556c4d6f62596b6");
    QTest::newRow("bare 00H") << QByteArray("00000000000000ff") << QByteArray("582604") << QByteArray("6604fd67a7a636b6");
    QTest::newRow("challenge") << QByteArray("0011223344000055") << QByteArray("582604") << QByteArray("68e12d672fa5cfc6");
    QTest::newRow("wrap b0 into b7") << QByteArray("123456789abcdef0") << QByteArray("582604") << QByteArray("4ad40b360737f86b");
}

void FrameCipherTest::handVectors()
{
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, code);
    QFETCH(QByteArray, scrambled);
    Bytes c{};
    std::copy(code.begin(), code.end(), c.begin() + 1);
    Bytes f = of(plain);
    FrameCipher::scramble(f.data(), c.data());
    QCOMPARE(text(f), text(of(scrambled)));
    FrameCipher::unscramble(f.data(), c.data());
    QCOMPARE(text(f), text(of(plain)));
}

void FrameCipherTest::roundTripsOnlyWithTheSameCode()
{
    QRandomGenerator rng(0x2f3);
    auto random = [&] {
        Bytes b;
        for (auto &x : b)
            x = uchar(rng.bounded(256));
        return b;
    };
    for (int i = 0; i < 2000; ++i) {
        const Bytes plain = random();
        const Bytes code = random();
        Bytes f = plain;
        FrameCipher::scramble(f.data(), code.data());
        // Code bytes 0 and 7 are not used.
        Bytes loose = code;
        loose[0] = uchar(rng.bounded(256));
        loose[7] = uchar(rng.bounded(256));
        Bytes g = plain;
        FrameCipher::scramble(g.data(), loose.data());
        QCOMPARE(text(g), text(f));

        // Every step is a bijection: another code never unscrambles the frame.
        Bytes other = code;
        other[1 + rng.bounded(6)] ^= uchar(1 + rng.bounded(255));
        g = f;
        FrameCipher::unscramble(g.data(), other.data());
        QVERIFY2(g != plain, text(plain).constData());
        FrameCipher::unscramble(f.data(), code.data());
        QCOMPARE(text(f), text(plain));
    }
}

QTEST_GUILESS_MAIN(FrameCipherTest)
#include "tst_frame_cipher.moc"
