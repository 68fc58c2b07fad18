// Every image the scene names must exist, load, and differ between the two
// skins; a missing file would leave an empty area in the window.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QtTest>

class tst_skin_images : public QObject {
    Q_OBJECT

private slots:
    void everyImageTheSceneNamesInBothSkins()
    {
        QFile scene(qEnvironmentVariable("Z3_SOURCE_DIR") + QStringLiteral("/modules/qml/main.qml"));
        QVERIFY2(scene.open(QIODevice::ReadOnly), "main.qml cannot be read");
        const QDir modules(qEnvironmentVariable("Z3_MODULES_DIR"));
        int count = 0;
        const QRegularExpression named(QStringLiteral("skinFolder \\+ \"([^\"]+\\.png)\""));
        for (const auto &m : named.globalMatch(QString::fromUtf8(scene.readAll()))) {
            const QString path = m.captured(1);
            const QImage one(modules.filePath(QStringLiteral("img/skin1/") + path));
            const QImage two(modules.filePath(QStringLiteral("img/skin2/") + path));
            QVERIFY2(!one.isNull() && !two.isNull(), qPrintable(path + QStringLiteral(" is missing or does not load")));
            // Same layout in both skins, different look.
            QCOMPARE(one.size(), two.size());
            QVERIFY2(one != two, qPrintable(path + QStringLiteral(" is identical in both skins")));
            ++count;
        }
        QVERIFY2(count >= 70, "the scene's image list was not found");
        const QImage background(modules.filePath(QStringLiteral("img/skin1/background.png")));
        QCOMPARE(background.size(), QSize(1000, 600));
        QCOMPARE(qAlpha(background.pixel(999, 599)), 255); // the scene's own background, not the desktop
    }
};

QTEST_GUILESS_MAIN(tst_skin_images)
#include "tst_skin_images.moc"
