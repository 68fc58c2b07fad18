#include "FileReplace.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace FileReplace {

bool copyOver(const QString &source, const QString &target)
{
    if (source.isEmpty() || target.isEmpty())
        return false;
    // Copying a file onto itself would truncate it first with some copiers;
    // here it is simply nothing to do.
    if (QFileInfo(source).canonicalFilePath() == QFileInfo(target).canonicalFilePath() &&
        QFileInfo::exists(target))
        return true;

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    // QSaveFile writes a temporary file beside the target and renames it over
    // the target on commit; without commit the target is left untouched.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0) {
            out.cancelWriting();
            return false;
        }
        if (n == 0)
            break;
        if (out.write(buffer, n) != n) {
            out.cancelWriting();
            return false;
        }
    }
    return out.commit();
}

} // namespace FileReplace
