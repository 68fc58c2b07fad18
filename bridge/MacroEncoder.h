#pragma once
// Turns macro action lines ("A    [Down]", "1000   [Delay]", ...) into the
// byte form the device keeps in a macro slot, and cuts that form into the
// fixed-size block sent with 13H (mouse, 128 bytes) or 11H (keyboard, 192).

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace MacroEncoder {

constexpr uint kKeyboardDid = 0;
constexpr uint kMouseDid = 1;
constexpr int kMouseBlockSize = 128;
constexpr int kKeyboardBlockSize = 192;

// Encodes `lines` for device `did` with the key-name table `keyNames`.
// When `recordEnds` is given it receives the offset just past every complete
// record (the header first), so a block can be cut between records.
QList<uchar> encode(const QStringList &lines, uint did, const QHash<QString, uchar> &keyNames,
                    QList<int> *recordEnds = nullptr);

// The block for one slot: the encoded macro, cut after the last whole record
// that leaves room for the terminator 00 00 when it does not fit, padded with
// zeros. `cut` tells whether anything was dropped.
QByteArray block(const QList<uchar> &encoded, const QList<int> &recordEnds, int blockSize,
                 bool *cut = nullptr);

// The mouse block header: the repeat count, high byte first.
void setRepeatHeader(QByteArray &block, uint repeat);

} // namespace MacroEncoder
