// Writes skin1 and skin2 below the folder given as the only argument.
#include "SkinPainter.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: skinpainter <img folder>\n";
        return 2;
    }
    int failures = 0;
    for (int skinNo : {1, 2}) {
        const QString folder = QDir(args.at(1)).filePath(QStringLiteral("skin%1").arg(skinNo));
        const QStringList failed = SkinPainter(skinStyle(skinNo)).paintAll(folder);
        for (const QString &f : failed)
            QTextStream(stderr) << "skinpainter: cannot write " << folder << '/' << f << '\n';
        failures += int(failed.size());
    }
    return failures == 0 ? 0 : 1;
}
