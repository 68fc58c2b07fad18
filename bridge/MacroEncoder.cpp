#include "MacroEncoder.h"

#include <algorithm>

namespace {

const QString kTagDown = QStringLiteral("    [Down]");
const QString kTagUp = QStringLiteral("      [Up]");
const QString kTagDelay = QStringLiteral("   [Delay]");
constexpr int kTagLength = 10;

} // namespace

namespace MacroEncoder {

QList<uchar> encode(const QStringList &lines, uint did, const QHash<QString, uchar> &keyNames,
                    QList<int> *recordEnds)
{
    QList<uchar> out{0x00, 0x01};
    QList<int> ends{2};
    // A short mouse delay is folded into the event record that the line just
    // before it appended; when that line appended nothing (a skipped line) or
    // was a delay, there is no event to attach to and the delay gets a record
    // of its own.
    bool previousAppendedEvent = false;

    for (const QString &line : lines) {
        const QString tag = line.right(kTagLength);
        const QString value = line.left(std::max<qsizetype>(0, line.size() - kTagLength));
        bool appendedEvent = false;

        if (line.size() >= kTagLength && (tag == kTagDown || tag == kTagUp)) {
            const uchar code = keyNames.value(value, 0);
            if (code != 0) {
                out << uchar(tag == kTagDown ? 0x01 : 0x81) << code;
                ends << int(out.size());
                appendedEvent = true;
            }
        } else if (line.size() >= kTagLength && tag == kTagDelay) {
            bool ok = false;
            // Held far below the 64-bit limits so the arithmetic below cannot
            // overflow; any such value already saturates the 16-bit fields.
            const qint64 ms = std::clamp<qint64>(value.toLongLong(&ok), -100000000, 100000000);
            if (ok && ms != 0) {
                if (did == kKeyboardDid) {
                    // A negative delay has no meaning; longer than the 16-bit
                    // field can hold is held at its maximum instead of wrapping.
                    if (ms < 0) {
                        previousAppendedEvent = false;
                        continue;
                    }
                    const int u = int(std::min<qint64>(ms / 10, 0xFFFF));
                    out << uchar(0x7F) << uchar(0x00) << uchar((u >> 8) & 0xFF) << uchar(u & 0xFF);
                    ends << int(out.size());
                } else if (did == kMouseDid) {
                    if (ms <= 1270 && previousAppendedEvent) {
                        const int u = int((std::max<qint64>(ms, 10) + 5) / 10);
                        uchar &first = out[out.size() - 2];
                        first = uchar((first & 0x80) | (u & 0x7F));
                    } else if (ms >= 1271 && ms <= 5100) {
                        const int u = int((ms + 10) / 20);
                        out << uchar(u) << uchar(0x01);
                        ends << int(out.size());
                    } else {
                        const int u = int(std::min<qint64>((std::max<qint64>(ms, 20) + 10) / 20, 0xFFFF));
                        out << uchar(0x00) << uchar(0x01) << uchar((u >> 8) & 0xFF) << uchar(u & 0xFF);
                        ends << int(out.size());
                    }
                }
            }
        }
        previousAppendedEvent = appendedEvent;
    }

    out << uchar(0x00) << uchar(0x00);
    ends << int(out.size());
    if (recordEnds)
        *recordEnds = ends;
    return out;
}

QByteArray block(const QList<uchar> &encoded, const QList<int> &recordEnds, int blockSize, bool *cut)
{
    QByteArray result(blockSize, '\0');
    const bool tooLong = encoded.size() > blockSize;
    if (cut)
        *cut = tooLong;
    if (!tooLong) {
        for (int i = 0; i < encoded.size(); ++i)
            result[i] = char(encoded[i]);
        return result;
    }
    // Keep whole records and leave room for the terminator 00 00, so the
    // device never plays half a record or runs past the block's end.
    int keep = std::min<int>(2, blockSize);
    for (int end : recordEnds) {
        if (end + 2 <= blockSize && end <= encoded.size() - 2)
            keep = std::max(keep, end);
    }
    for (int i = 0; i < keep; ++i)
        result[i] = char(encoded[i]);
    // The bytes after `keep` are already zero: that is the terminator.
    return result;
}

void setRepeatHeader(QByteArray &block, uint repeat)
{
    if (block.size() < 2)
        return;
    block[0] = char((repeat >> 8) & 0xFF);
    block[1] = char(repeat & 0xFF);
}

} // namespace MacroEncoder
