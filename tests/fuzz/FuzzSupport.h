#pragma once
// Shared by the fuzz targets: a Qt core application (QSettings, sockets) and
// a private folder where each input becomes a file under a fresh name, so
// QSettings' cache of a path never hands back an earlier input.

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace fuzz {

inline QCoreApplication &app()
{
    static int argc = 1;
    static char name[] = "z3fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication a(argc, argv);
    return a;
}

inline const QString &folder()
{
    static QTemporaryDir dir;
    static const QString path = dir.path();
    return path;
}

// Writes the input to "<folder>/<prefix><n><suffix>" and returns the path.
inline QString writeInput(const uint8_t *data, size_t size, const QString &prefix,
                          const QString &suffix)
{
    static quint64 serial = 0;
    const QString path = folder() + QLatin1Char('/') + prefix + QString::number(++serial) + suffix;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    return path;
}

} // namespace fuzz
