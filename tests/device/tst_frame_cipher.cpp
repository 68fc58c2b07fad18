// Frame checksum and scrambling: edge cases, round trips, the unused code
// bytes, and fixed vectors worked out by hand.

#include "FrameCipher.h"
#include "Hid_Thread.h"

#include <QRandomGenerator>
#include <QTest>

#include <array>
#include <cstring>

namespace {

using Frame = std::array<uchar, 8>;

Frame frameOf(const char *hexText)
{
    const QByteArray raw = QByteArray::fromHex(hexText);
    Frame f{};
    std::memcpy(f.data(), raw.constData(), std::min<size_t>(8, size_t(raw.size())));
    return f;
}

QByteArray text(const Frame &f)
{
    return QByteArray(reinterpret_cast<const char *>(f.data()), 8).toHex(' ');
}

std::array<uchar, 8> codeOf(const char *six)
{
    std::array<uchar, 8> code{};
    for (int k = 0; k < 6; ++k)
        code[1 + k] = uchar(six[k]);
    return code;
}

Frame randomFrame(QRandomGenerator &rng)
{
    Frame f;
    for (auto &b : f)
        b = uchar(rng.bounded(256));
    return f;
}

} // namespace

class FrameCipherTest : public QObject {
    Q_OBJECT
private slots:
    void checksumEdges();
    void handVectors_data();
    void handVectors();
    void linkSlotsMatchCipher();
    void roundTripsOverRandomFramesAndCodes();
    void otherCodeNeverUnscramblesTheFrame();
    void codeBytesZeroAndSevenDoNotMatter();
};

void FrameCipherTest::checksumEdges()
{
    Frame zeros{};
    QCOMPARE(FrameCipher::checksum(zeros.data()), uchar(0xFF));

    // 7 x 0xFF = 0x6F9, low byte 0xF9, NOT 0xF9 = 0x06.
    Frame ones;
    ones.fill(0xFF);
    QCOMPARE(FrameCipher::checksum(ones.data()), uchar(0x06));

    // B7 itself is not summed.
    Frame f = frameOf("0b03000000000000");
    const uchar before = FrameCipher::checksum(f.data());
    f[7] = 0x5A;
    QCOMPARE(FrameCipher::checksum(f.data()), before);
    // 0x0B + 0x03 = 0x0E, NOT 0x0E = 0xF1.
    QCOMPARE(before, uchar(0xF1));
    // The sum wraps modulo 256: 0x80 + 0x80 + 0x01 = 0x101 -> 0x01 -> 0xFE.
    QCOMPARE(FrameCipher::checksum(frameOf("8080010000000000").data()), uchar(0xFE));

    Hid_Thread link;
    Frame g = frameOf("13ff000000000000");
    // 0x13 + 0xFF = 0x112 -> 0x12, NOT 0x12 = 0xED.
    QCOMPARE(link.hidCS(g.data()), uchar(0xED));
}

// Worked by hand with the key "VeLmoRik" whose nibble-swapped bytes are
// N(K) = 65 56 c4 d6 f6 25 96 b6, and the code "582604" = 35 38 32 36 30 34.
//
// (a) All-zero frame, all-zero code: swapping, XOR and rotation leave zeros,
//     so the result is N(K) itself.
// (b) 00 00 00 00 00 00 00 ff (a bare 00H frame with its checksum), "582604":
//     swap            00 00 ff 00 00 00 00 00
//     xor b1..b6      00 35 c7 32 36 30 34 00
//     rotate left 3   01 ae 39 91 b1 81 a0 00
//     + N(K)          66 04 fd 67 a7 a6 36 b6
// (c) 00 11 22 33 44 00 00 55 (a challenge 11 22 33 44; sum aa, NOT = 55):
//     swap            00 44 55 00 11 00 33 22
//     xor b1..b6      00 71 6d 32 27 30 07 22
//     rotate left 3   03 8b 69 91 39 80 39 10
//     + N(K)          68 e1 2d 67 2f a5 cf c6
// (d) 12 34 56 78 9a bc de f0 (high bits in b0 wrap into b7):
//     swap            bc 9a f0 de 34 12 78 56
//     xor b1..b6      bc af c8 ec 02 22 4c 56
//     rotate left 3   e5 7e 47 60 11 12 62 b5   (b7 = 56<<3 | bc>>5 = b0 | 05)
//     + N(K)          4a d4 0b 36 07 37 f8 6b
void FrameCipherTest::handVectors_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QByteArray>("scrambled");
    QTest::newRow("zeros, zero code")
        << QByteArray("0000000000000000") << QByteArray() << QByteArray("6556c4d6f62596b6");
    QTest::newRow("bare 00H") << QByteArray("00000000000000ff") << QByteArray("582604")
                              << QByteArray("6604fd67a7a636b6");
    QTest::newRow("challenge") << QByteArray("0011223344000055") << QByteArray("582604")
                               << QByteArray("68e12d672fa5cfc6");
    QTest::newRow("wrap b0 into b7") << QByteArray("123456789abcdef0") << QByteArray("582604")
                                     << QByteArray("4ad40b360737f86b");
}

void FrameCipherTest::handVectors()
{
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, code);
    QFETCH(QByteArray, scrambled);
    const std::array<uchar, 8> s = code.isEmpty() ? std::array<uchar, 8>{} : codeOf(code.constData());

    Frame f = frameOf(plain.constData());
    FrameCipher::scramble(f.data(), s.data());
    QCOMPARE(text(f), text(frameOf(scrambled.constData())));

    FrameCipher::unscramble(f.data(), s.data());
    QCOMPARE(text(f), text(frameOf(plain.constData())));
}

void FrameCipherTest::linkSlotsMatchCipher()
{
    // The link's published slots must scramble exactly like the device does.
    Hid_Thread link;
    auto code = codeOf("582604");
    Frame f = frameOf("0011223344000055");
    link.USBDataEncryption(f.data(), code.data());
    QCOMPARE(text(f), text(frameOf("68e12d672fa5cfc6")));
    link.USBDataDecipher(f.data(), code.data());
    QCOMPARE(text(f), text(frameOf("0011223344000055")));
}

void FrameCipherTest::roundTripsOverRandomFramesAndCodes()
{
    QRandomGenerator rng(0x2f3);
    Hid_Thread link;
    for (int i = 0; i < 2000; ++i) {
        const Frame plain = randomFrame(rng);
        std::array<uchar, 8> code;
        for (auto &b : code)
            b = uchar(rng.bounded(256));

        Frame f = plain;
        FrameCipher::scramble(f.data(), code.data());
        Frame viaLink = plain;
        link.USBDataEncryption(viaLink.data(), code.data());
        QCOMPARE(text(viaLink), text(f));

        FrameCipher::unscramble(f.data(), code.data());
        QCOMPARE(text(f), text(plain));
        link.USBDataDecipher(viaLink.data(), code.data());
        QCOMPARE(text(viaLink), text(plain));
    }
}

void FrameCipherTest::otherCodeNeverUnscramblesTheFrame()
{
    // Every step is a bijection, so a code that differs in any of bytes 1..6
    // always gives another frame: a device with another code cannot echo.
    QRandomGenerator rng(77);
    for (int i = 0; i < 500; ++i) {
        const Frame plain = randomFrame(rng);
        auto code = codeOf("582604");
        auto other = code;
        other[1 + rng.bounded(6)] ^= uchar(1 + rng.bounded(255));
        Frame f = plain;
        FrameCipher::scramble(f.data(), code.data());
        FrameCipher::unscramble(f.data(), other.data());
        QVERIFY2(f != plain, text(plain).constData());
    }
}

void FrameCipherTest::codeBytesZeroAndSevenDoNotMatter()
{
    QRandomGenerator rng(5);
    for (int i = 0; i < 200; ++i) {
        const Frame plain = randomFrame(rng);
        auto code = codeOf("a1b2c3");
        Frame reference = plain;
        FrameCipher::scramble(reference.data(), code.data());

        code[0] = uchar(rng.bounded(256));
        code[7] = uchar(rng.bounded(256));
        Frame f = plain;
        FrameCipher::scramble(f.data(), code.data());
        QCOMPARE(text(f), text(reference));
        FrameCipher::unscramble(f.data(), code.data());
        QCOMPARE(text(f), text(plain));
    }
}

QTEST_GUILESS_MAIN(FrameCipherTest)
#include "tst_frame_cipher.moc"
