#pragma once
// The 8-byte command/answer frame: checksum and scrambling with the secrecy
// code and the fixed key "VeLmoRik". Shared by the link and the virtual mouse,
// which must agree bit for bit.

#include <QtGlobal>

namespace FrameCipher {

// Bitwise NOT of the 8-bit sum of frame[0..6].
uchar checksum(const uchar *frame);

// In place on 8 bytes; code is the 8-byte secrecy array (bytes 1..6 used).
void scramble(uchar *frame, const uchar *code);
void unscramble(uchar *frame, const uchar *code);

// The fixed key.
extern const uchar kKey[8];

} // namespace FrameCipher
