// The macro encoder on arbitrary action lines: the first byte picks the
// device and whether the record ends are asked for, the rest are the lines.
#include "FuzzSupport.h"
#include "KeyNameTable.h"
#include "MacroEncoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const uint did = data[0] & 1 ? MacroEncoder::kKeyboardDid : MacroEncoder::kMouseDid;
    const bool wantEnds = data[0] & 2;
    const QStringList lines =
        QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)).split(QLatin1Char('\n'));
    QList<int> ends;
    const QList<uchar> encoded =
        MacroEncoder::encode(lines, did, KeyNameTable::table(), wantEnds ? &ends : nullptr);
    for (int i = 0; i < ends.size(); ++i) {
        // Record ends rise and stay inside the encoded bytes.
        if (ends[i] > encoded.size() || (i > 0 && ends[i] < ends[i - 1]))
            __builtin_trap();
    }
    for (const int blockSize : {MacroEncoder::kMouseBlockSize, MacroEncoder::kKeyboardBlockSize}) {
        bool cut = false;
        QByteArray block = MacroEncoder::block(encoded, ends, blockSize, &cut);
        if (block.size() != blockSize)
            __builtin_trap();
        MacroEncoder::setRepeatHeader(block, uint(size) * 977u);
    }
    return 0;
}
