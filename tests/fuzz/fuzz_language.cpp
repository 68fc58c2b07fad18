// Language files: the list of languages, the UI strings with their messages
// and the key position names, each read from one damaged file.
#include "FuzzSupport.h"
#include "LanguageStore.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::app();
    static quint64 serial = 0;
    const QString dir = fuzz::folder() + QStringLiteral("/i18n") + QString::number(++serial);
    QDir().mkpath(dir);
    const QString file = dir + QStringLiteral("/lang_031000.ini");
    QFile f(file);
    if (f.open(QIODevice::WriteOnly))
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    f.close();

    LanguageStore::chkLanguages(dir);
    QStringList messages;
    const QStringList strings = LanguageStore::globalStrings(file, &messages);
    if (strings.size() > LanguageStore::kMaxStrings + 1 || messages.size() != LanguageStore::kMessageCount)
        __builtin_trap();
    if (LanguageStore::productLayoutStrings(file).size() != LanguageStore::kLayoutCount)
        __builtin_trap();
    QDir(dir).removeRecursively();
    return 0;
}
