// Every image the scene loads must exist, load, and differ between the two
// skins; a missing file would leave an empty area in the window.
#include <QDir>
#include <QImage>
#include <QtTest>

class tst_skin_images : public QObject {
    Q_OBJECT

    static QStringList expectedImages()
    {
        QStringList list = {QStringLiteral("background.png")};
        const auto addAll = [&list](const QString &folder, const QStringList &names) {
            for (const QString &n : names)
                list << folder + QLatin1Char('/') + n;
        };
        addAll(QStringLiteral("frame"),
               {QStringLiteral("frameBackground.png"), QStringLiteral("decoration1.png"),
                QStringLiteral("decoration2.png"), QStringLiteral("web_0.png"), QStringLiteral("web_1.png")});
        addAll(
            QStringLiteral("common"),
            QStringLiteral("slider_BASE slider_FILLER_0 slider_FILLER_1 slider_11_BASE slider_11_FILLER_0 "
                           "slider_11_FILLER_1 draw_line draw_inputValue draw_paletteIndex draw_palette "
                           "filelist_BASE checkbox_0 checkbox_1 reset_0 reset_1 apply_0 apply_1 fram_2btn "
                           "add_0 add_1 delete_0 delete_1 record_0 record_1 stop_0 stop_1 solid-delete_0 "
                           "solid-delete_1 solid-cut_0 solid-cut_1 solid-paste_0 solid-paste_1 solid-copy_0 "
                           "solid-copy_1 btnGroup_4_BASE btnGroup_8_BASE btnGroup_FILLER_0 btnGroup_FILLER_1 "
                           "btnGroup2_FILLER_0 btnGroup2_FILLER_1 btnFileListFrame btnFrame")
                .split(QLatin1Char(' ')));
        addAll(
            QStringLiteral("list_up"),
            QStringLiteral("listUpContainer applicationSetting_0 applicationSetting_1 applicationMinimize_0 "
                           "applicationMinimize_1")
                .split(QLatin1Char(' ')));
        addAll(QStringLiteral("list_dn"), {QStringLiteral("listDnContainer")});
        addAll(QStringLiteral("list_pf"),
               QStringLiteral("listPfContainer profileFW_0 profileFW_1").split(QLatin1Char(' ')));
        addAll(QStringLiteral("list_fn"),
               QStringLiteral(
                   "listFnBtn_0 listFnBtn_1 fnKeydefine_0 fnKeydefine_1 fnMacro_0 fnMacro_1 fnColor_0 "
                   "fnColor_1 fnSensor_0 fnSensor_1")
                   .split(QLatin1Char(' ')));
        addAll(QStringLiteral("list_center"),
               QStringLiteral(
                   "globalsettingBackground fnColorBackground fnKeydefineBackground fnMacroBackground "
                   "fnCommonBackground")
                   .split(QLatin1Char(' ')));
        addAll(QStringLiteral("model_ms"),
               {QStringLiteral("model_Z3_Color"), QStringLiteral("model_Z3_KeyDefine")});
        for (QString &entry : list)
            if (!entry.endsWith(QLatin1String(".png")))
                entry += QLatin1String(".png");
        return list;
    }

private slots:
    void everyImageInBothSkins_data()
    {
        QTest::addColumn<QString>("path");
        const QStringList images = expectedImages();
        QCOMPARE(images.size(), 74);
        for (const QString &img : images)
            QTest::newRow(qPrintable(img)) << img;
    }

    void everyImageInBothSkins()
    {
        QFETCH(QString, path);
        const QString modules = qEnvironmentVariable("Z3_MODULES_DIR");
        QVERIFY2(!modules.isEmpty(), "Z3_MODULES_DIR is not set");
        QImage skins[2];
        for (int skin = 1; skin <= 2; ++skin) {
            const QString file = QDir(modules).filePath(QStringLiteral("img/skin%1/%2").arg(skin).arg(path));
            QVERIFY2(QFileInfo::exists(file), qPrintable(file + QStringLiteral(" is missing")));
            QImage img(file);
            QVERIFY2(!img.isNull(), qPrintable(file + QStringLiteral(" does not load")));
            QVERIFY(img.width() > 0 && img.height() > 0);
            skins[skin - 1] = img;
        }
        // Same layout in both skins, different look.
        QCOMPARE(skins[0].size(), skins[1].size());
        QVERIFY2(skins[0] != skins[1], qPrintable(path + QStringLiteral(" is identical in both skins")));
    }

    void productPicturesHaveTheirSize()
    {
        const QString modules = qEnvironmentVariable("Z3_MODULES_DIR");
        for (const char *name : {"model_Z3_Color.png", "model_Z3_KeyDefine.png"}) {
            QImage img(QDir(modules).filePath(QStringLiteral("img/skin1/model_ms/") + QLatin1String(name)));
            QCOMPARE(img.size(), QSize(102, 191));
        }
    }

    void backgroundCoversTheScene()
    {
        const QString modules = qEnvironmentVariable("Z3_MODULES_DIR");
        QImage bg(QDir(modules).filePath(QStringLiteral("img/skin1/background.png")));
        QCOMPARE(bg.size(), QSize(1000, 600));
        // Opaque everywhere: the scene's own background, not the desktop.
        QCOMPARE(qAlpha(bg.pixel(0, 0)), 255);
        QCOMPARE(qAlpha(bg.pixel(999, 599)), 255);
    }
};

QTEST_GUILESS_MAIN(tst_skin_images)
#include "tst_skin_images.moc"
