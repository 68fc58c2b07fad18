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
    void everyImageTheSceneNamesInBothSkins_data()
    {
        QTest::addColumn<QString>("path");
        QFile scene(qEnvironmentVariable("Z3_SOURCE_DIR") + QStringLiteral("/modules/qml/main.qml"));
        QVERIFY2(scene.open(QIODevice::ReadOnly), "main.qml cannot be read");
        const QRegularExpression named(QStringLiteral("skinFolder \\+ \"([^\"]+\\.png)\""));
        int count = 0;
        for (const auto &m : named.globalMatch(QString::fromUtf8(scene.readAll()))) {
            QTest::newRow(qPrintable(m.captured(1))) << m.captured(1);
            ++count;
        }
        QVERIFY2(count >= 70, "the scene's image list was not found");
    }

    void everyImageTheSceneNamesInBothSkins()
    {
        QFETCH(QString, path);
        const QDir modules(qEnvironmentVariable("Z3_MODULES_DIR"));
        QImage skins[2];
        for (int skin = 0; skin < 2; ++skin) {
            const QString file = modules.filePath(QStringLiteral("img/skin%1/%2").arg(skin + 1).arg(path));
            skins[skin] = QImage(file);
            QVERIFY2(!skins[skin].isNull(), qPrintable(file + QStringLiteral(" is missing or does not load")));
        }
        // Same layout in both skins, different look.
        QCOMPARE(skins[0].size(), skins[1].size());
        QVERIFY2(skins[0] != skins[1], qPrintable(path + QStringLiteral(" is identical in both skins")));
        if (path == QLatin1String("background.png")) {
            QCOMPARE(skins[0].size(), QSize(1000, 600));
            QCOMPARE(qAlpha(skins[0].pixel(999, 599)), 255); // the scene's own background, not the desktop
        } else if (path.startsWith(QLatin1String("model_ms/"))) {
            QCOMPARE(skins[0].size(), QSize(102, 191));
        }
    }
};

QTEST_GUILESS_MAIN(tst_skin_images)
#include "tst_skin_images.moc"
