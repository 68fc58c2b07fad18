// Macro files: listing, loading, binding and repeat of one damaged macro,
// then the encoding its lines get on the way to either device.
#include "FuzzSupport.h"
#include "KeyNameTable.h"
#include "MacroEncoder.h"
#include "MacroLibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::app();
    const QString path = fuzz::writeInput(data, size, QStringLiteral("m"), QStringLiteral(".bin"));
    const MacroLibrary library(fuzz::folder());
    const QString name = path.mid(fuzz::folder().size() + 1).chopped(4);

    library.fileNames();
    const QStringList lines = library.load(name);
    if (lines.size() > MacroLibrary::kMaxLines)
        __builtin_trap();
    library.boundIndex(name);
    library.loadConfig(name, int(MacroEncoder::kMouseDid));
    const uint repeat = library.repeat(name);
    for (const uint did : {MacroEncoder::kMouseDid, MacroEncoder::kKeyboardDid}) {
        QList<int> ends;
        const QList<uchar> encoded = MacroEncoder::encode(lines, did, KeyNameTable::table(), &ends);
        const int size = did == MacroEncoder::kMouseDid ? MacroEncoder::kMouseBlockSize
                                                        : MacroEncoder::kKeyboardBlockSize;
        QByteArray block = MacroEncoder::block(encoded, ends, size);
        if (block.size() != size)
            __builtin_trap();
        MacroEncoder::setRepeatHeader(block, repeat);
    }
    QFile::remove(path);
    return 0;
}
