#include "FrameCipher.h"

#include <utility>

namespace FrameCipher {

const uchar kKey[8] = {'V', 'e', 'L', 'm', 'o', 'R', 'i', 'k'};

namespace {
inline uchar swapNibbles(uchar x) { return uchar((x << 4) | (x >> 4)); }

inline void swapPairs(uchar *b)
{
    std::swap(b[0], b[5]);
    std::swap(b[1], b[4]);
    std::swap(b[2], b[7]);
    std::swap(b[3], b[6]);
}
} // namespace

uchar checksum(const uchar *frame)
{
    uchar sum = 0;
    for (int i = 0; i < 7; ++i)
        sum = uchar(sum + frame[i]);
    return uchar(~sum);
}

void scramble(uchar *b, const uchar *code)
{
    swapPairs(b);
    for (int i = 1; i <= 6; ++i)
        b[i] ^= code[i];
    const uchar first = b[0];
    for (int i = 0; i < 7; ++i)
        b[i] = uchar((b[i] << 3) | (b[i + 1] >> 5));
    b[7] = uchar((b[7] << 3) | (first >> 5));
    for (int i = 0; i < 8; ++i)
        b[i] = uchar(b[i] + swapNibbles(kKey[i]));
}

void unscramble(uchar *b, const uchar *code)
{
    for (int i = 0; i < 8; ++i)
        b[i] = uchar(b[i] - swapNibbles(kKey[i]));
    const uchar last = b[7];
    for (int i = 7; i >= 1; --i)
        b[i] = uchar((b[i] >> 3) | (b[i - 1] << 5));
    b[0] = uchar((b[0] >> 3) | (last << 5));
    for (int i = 1; i <= 6; ++i)
        b[i] ^= code[i];
    swapPairs(b);
}

} // namespace FrameCipher
