// The main screen in a real window on the virtual mouse: the opening
// sequence, switching and exporting profiles, the language and skin choices
// of the settings panel and their persistence across a restart.
#include "SceneDriver.h"

#include <QSettings>

using namespace scenedriver;

namespace {

bool isCyan(QRgb c)
{
    return qBlue(c) > 150 && qGreen(c) > 150 && qRed(c) < 120;
}
bool isOrange(QRgb c)
{
    return qRed(c) > 150 && qRed(c) > qGreen(c) + 40 && qGreen(c) > qBlue(c) + 30;
}

// Colour in the middle of the current profile button (P01 at start).
QRgb currentProfileColour(Scene &scene, int slot)
{
    QQuickItem *button = item(scene.view, QStringLiteral("profileButton%1").arg(slot));
    const QPoint p = button->mapToScene(QPointF(8, button->height() / 2)).toPoint();
    return scene.shot().pixel(p);
}

QString fnLabel(Scene &scene, int index)
{
    return item(scene.view, QStringLiteral("fnItem"))->property("labels").toList().value(index).toString();
}

QString chineseString(int n)
{
    QSettings lang(QStringLiteral("modules/i18n/lang_025044.ini"), QSettings::IniFormat);
    return lang.value(QStringLiteral("strings/%1").arg(n)).toString();
}

// Row of a language in the settings page's list.
int languageRow(Scene &scene, const QString &name)
{
    QQuickItem *list = item(scene.view, QStringLiteral("languageList"));
    for (int row = 0; row < 20; ++row) {
        QQuickItem *r = findItem(list, QStringLiteral("row%1").arg(row));
        if (!r)
            break;
        const auto texts = r->childItems();
        for (QQuickItem *t : texts)
            if (t->property("text").toString() == name)
                return row;
    }
    return -1;
}

} // namespace

class tst_gui_scene_main : public QObject {
    Q_OBJECT

private slots:
    void openingEndsWithMenusInPlace()
    {
        WorkFolder folder;
        QVERIFY(folder.make(false));
        Scene scene;
        QVERIFY(scene.start());
        QQuickItem *down = item(scene.view, QStringLiteral("menuDown"));
        QTRY_COMPARE_WITH_TIMEOUT(down->y(), 600 - down->height(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(item(scene.view, QStringLiteral("fnItem"))->x(), 8.0, 5000);
        QCOMPARE(item(scene.view, QStringLiteral("logo"))->y(), 4.0);
        const QImage shot = scene.shot();
        QCOMPARE(shot.size(), QSize(1000, 600));
        shot.save(QDir(QDir::tempPath()).filePath(QStringLiteral("z3-scene-opening.png")));
        // The current profile is lit in the skin's accent, the others are not.
        QVERIFY(isCyan(currentProfileColour(scene, 0)));
        QVERIFY(!isCyan(currentProfileColour(scene, 5)));
        // No page at start, not even a hidden one (each is built when first
        // needed): the middle of the screen is the dark background.
        for (const char *page : {"pageKeydefine", "pageMacro", "pageColor", "pageSensor"})
            QVERIFY2(!item(scene.view, QLatin1String(page)), page);
        const QRgb centre = shot.pixel(500, 300);
        QVERIFY(qRed(centre) < 80 && qGreen(centre) < 80 && qBlue(centre) < 90);
    }

    void switchingToP03SendsSlot2()
    {
        WorkFolder folder;
        QVERIFY(folder.make());
        {
            // Slot 2 gets its own assignment for the right button (middle click).
            QSettings p3(QStringLiteral("modules/setting/p3.bin"), QSettings::IniFormat);
            p3.setValue(QStringLiteral("keydefine_Z3/1"), QStringList{"1", "0", "242", "0"});
        }
        Scene scene;
        QVERIFY(scene.start());
        // A switch re-sends the pages in order: key assignments (12H), lighting,
        // then the sensor page, whose DPI stage (0BH) comes last. Waiting for it
        // keeps a late frame of one switch from being counted for the next.
        const auto has = [&](uchar code) {
            for (const auto &r : scene.device->received())
                if (r.frame[0] == code)
                    return true;
            return false;
        };
        const auto switchTo = [&](int slot) {
            scene.device->clearReceived();
            if (!clickItem(scene.view, QStringLiteral("profileButton%1").arg(slot)))
                return false;
            return QTest::qWaitFor([&] { return has(0x0B) && scene.view->hidThread()->isLinkFree(); }, 8000) &&
                   QTest::qWaitFor([&] { return scene.device->openHandleCount() == 0; }, 3000);
        };

        QVERIFY(switchTo(2));
        QCOMPARE(item(scene.view, QStringLiteral("pfItem"))->property("currentIndex").toInt(), 2);
        QCOMPARE(scene.view->currentProfileIndex(), 2);
        QVERIFY(has(0x12));
        const QByteArray slot2Matrix = scene.device->keyMatrix();
        // P01 sends its own assignments, P03 again gives slot 2's.
        QVERIFY(switchTo(0));
        QVERIFY(has(0x12));
        QVERIFY(scene.device->keyMatrix() != slot2Matrix);
        QVERIFY(switchTo(2));
        QVERIFY(has(0x12));
        QCOMPARE(scene.device->keyMatrix(), slot2Matrix);

        // A click on the current slot sends nothing: a marker command sent
        // after the click is the only frame that reaches the device.
        scene.device->clearReceived();
        QVERIFY(clickItem(scene.view, QStringLiteral("profileButton2")));
        QCoreApplication::processEvents();
        scene.view->hidThread()->hid_07H_SetLEDInstructFunction(0x5A, 0, 0, 0);
        QTRY_VERIFY_WITH_TIMEOUT(has(0x07), 5000);
        const auto frames = scene.device->received();
        QCOMPARE(frames.size(), 1);
        QCOMPARE(int(frames.first().frame[1]), 0x5A);
    }

    void rightClickSaveExportsTheSlot()
    {
        WorkFolder folder;
        QVERIFY(folder.make());
        const QString target = folder.path(QStringLiteral("export/P02.pf"));
        QDir().mkpath(folder.path(QStringLiteral("export")));
        const QString answers = folder.path(QStringLiteral("answers.txt"));
        {
            QFile f(answers);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(target.toUtf8() + '\n');
        }
        qputenv("Z3_SCRIPTED_DIALOGS", answers.toUtf8());
        Scene scene;
        QVERIFY(scene.start());
        QVERIFY(clickItem(scene.view, QStringLiteral("profileButton1"), Qt::RightButton));
        QQuickItem *menu = item(scene.view, QStringLiteral("profileMenu"));
        QTRY_VERIFY_WITH_TIMEOUT(menu->isVisible(), 3000);
        QVERIFY(clickItem(scene.view, QStringLiteral("profileMenuEntry1"))); // SAVE
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(target), 5000);
        qunsetenv("Z3_SCRIPTED_DIALOGS");
        QFile pf(target), slot(folder.path(QStringLiteral("modules/setting/p2.bin")));
        QVERIFY(pf.open(QIODevice::ReadOnly) && slot.open(QIODevice::ReadOnly));
        QCOMPARE(pf.readAll(), slot.readAll());
        // The menu closes; the current slot stays P01.
        QTRY_VERIFY_WITH_TIMEOUT(!menu->isVisible(), 3000);
        QCOMPARE(item(scene.view, QStringLiteral("pfItem"))->property("currentIndex").toInt(), 0);
    }

    void chineseLanguagePersistsAfterApplyAndRestart()
    {
        WorkFolder folder;
        QVERIFY(folder.make());
        const QString zhKey = chineseString(74);
        QVERIFY2(!zhKey.isEmpty(), "the Chinese language file has no string 74");
        QRect fnArea;
        QImage before;
        {
            Scene scene;
            QVERIFY(scene.start());
            QCOMPARE(fnLabel(scene, 0), QStringLiteral("KEY"));
            QQuickItem *fn = item(scene.view, QStringLiteral("fnItem"));
            fnArea = fn->mapRectToScene(QRectF(0, 0, fn->width(), fn->height())).toRect();
            before = scene.shot().copy(fnArea);
            QVERIFY(scene.openSettings());
            const int row = languageRow(scene, QStringLiteral("CHINESE (Simp)"));
            QVERIFY(row >= 0);
            QVERIFY(chooseRow(scene.view, QStringLiteral("languageList"), row));
            QTRY_COMPARE_WITH_TIMEOUT(fnLabel(scene, 0), zhKey, 3000);
            QVERIFY(clickItem(scene.view, QStringLiteral("settingApplyButton")));
            QTRY_VERIFY_WITH_TIMEOUT(!item(scene.view, QStringLiteral("settingPanel"))->isVisible(), 5000);
            QTRY_VERIFY_WITH_TIMEOUT(item(scene.view, QStringLiteral("fnItem"))->opacity() == 1.0, 3000);
            QVERIFY(scene.shot().copy(fnArea) != before);
        }
        QSettings stored(QStringLiteral("modules/setting/apConfig.bin"), QSettings::IniFormat);
        QCOMPARE(stored.value(QStringLiteral("common/total")).toInt(), 32);
        {
            Scene again;
            QVERIFY(again.start());
            QCOMPARE(fnLabel(again, 0), zhKey);
            QVERIFY(again.shot().copy(fnArea) != before);
        }
    }

    void skin2ChangesTheArtwork()
    {
        WorkFolder folder;
        QVERIFY(folder.make());
        Scene scene;
        QVERIFY(scene.start());
        QVERIFY(isCyan(currentProfileColour(scene, 0)));
        QVERIFY(scene.openSettings());
        QVERIFY(chooseRow(scene.view, QStringLiteral("skinList"), 1));
        QCOMPARE(scene.view->rootObject()->property("skin_No").toInt(), 2);
        // Close the panel so the profile menu shows again.
        QVERIFY(clickItem(scene.view, QStringLiteral("settingButton")));
        QTRY_VERIFY_WITH_TIMEOUT(!item(scene.view, QStringLiteral("settingPanel"))->isVisible(), 5000);
        QTRY_VERIFY2_WITH_TIMEOUT(isOrange(currentProfileColour(scene, 0)),
                                  qPrintable(QColor(currentProfileColour(scene, 0)).name()), 5000);
    }
};

QTEST_MAIN(tst_gui_scene_main)
#include "tst_gui_scene_main.moc"
