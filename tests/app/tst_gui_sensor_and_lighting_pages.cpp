// Sensor and lighting pages in the running scene: what clicks put on the mouse and profile.
#include "SceneDriver.h"

using namespace scenedriver;

namespace {

// Whether a bright line of the artwork runs through a text's box: a pixel row nearly all bright.
bool struckThrough(const QImage &shot, const QRect &box)
{
    for (int y = box.top(); y <= box.bottom(); ++y) {
        int bright = 0;
        for (int x = box.left(); x <= box.right(); ++x)
            bright +=
                qMax(qMax(qRed(shot.pixel(x, y)), qGreen(shot.pixel(x, y))), qBlue(shot.pixel(x, y))) > 110;
        if (bright * 100 >= box.width() * 85)
            return true;
    }
    return false;
}

QByteArray bytes(const QList<int> &values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

// A click by the X server, as the user's pointer makes it: a part of the scene the window does not
// show cannot be hit. At the right end of an item, or its centre.
bool realClick(myQQuickView *view, QQuickItem *it, bool rightEnd)
{
    const QPointF local(rightEnd ? it->width() - 2 : it->width() / 2, it->height() / 2);
    return Harness::pointer(view->mapToGlobal(it->mapToScene(local).toPoint()), {"click", "1"});
}

} // namespace

class tst_gui_sensor_and_lighting_pages : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Pointer settings go to a throw-away desktop store, not the user's.
        qputenv("GSETTINGS_BACKEND", "memory");
    }

    // Apply sends the rate and the stage only and stores the pointer settings; reset sends the
    // default indicator colours (two stages a byte on the 8-colour one) and DPI values, nothing else.
    void sensorApplyAndResetWriteTheMouseAndProfile_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("RGB indicator") << 1;
        QTest::newRow("8-colour indicator") << 2;
    }
    void sensorApplyAndResetWriteTheMouseAndProfile()
    {
        QFETCH(int, type);
        Program p;
        QVERIFY(p.open(u"logo=%1"_s.arg(type - 1), 3, "pageSensor"));
        Scene &s = p.scene;
        // 250 Hz; cursor speed 7, scroll lines 0, double-click 10; stage 3.
        QVERIFY(click(s.view, s.at("button1", p.at("reportRate"))));
        QVERIFY(p.click("cursorSpeed", {210, 10}) && p.click("scrollLines", {0, 10}) &&
                p.click("doubleClick", {308, 10}));
        QVERIFY(click(s.view, s.at("button2", p.at("dpiLevel")), {20, 9}));
        s.clear();
        QVERIFY(p.click("apply"));
        QVERIFY2(!s.view->isEnabled(), "apply locks the screen while the mouse is written");
        QCOMPARE(s.sent(0x0B).size(), 1);
        QCOMPARE(s.codes(), (QList<uchar>{0x01, 0x0B}));
        QCOMPARE(int(s.device->reportRate()), 4);
        QCOMPARE(int(s.device->dpiStage()), 3);
        QTRY_COMPARE_WITH_TIMEOUT(p.stored("sensor/stage_Z3"), QList<int>{3}, 3000);
        QCOMPARE(p.stored("sensor/reportRate_Z3") + p.stored("sensor/cursorSpeed_Z3") +
                     p.stored("sensor/verticalScrollLines_Z3") + p.stored("sensor/doubleClickSpeed_Z3"),
                 (QList<int>{4, 7, 0, 10}));

        const QString key = u"color_Z3/type%1"_s.arg(type);
        const QList<int> defaults = p.stored(key, "pD.bin");
        QByteArray packed;
        for (int k = 0; k + 1 < defaults.size(); k += 2) // stage 2k low, 2k+1 high
            packed.append(char((defaults[k] & 0x0F) | (defaults[k + 1] << 4)));
        s.clear();
        QVERIFY(p.click("reset"));
        QCOMPARE(s.sent(0x10).size(), 1);
        QCOMPARE(s.sent(0x11).size(), 1);
        QCOMPARE(s.codes().size(), 2);
        QCOMPARE(int(s.sent(0x10)[0].frame[1]), type);
        QCOMPARE(s.device->ledColors(type).toHex(), (type == 2 ? packed : bytes(defaults)).toHex());
        QCOMPARE(s.device->dpiCodes().toHex(), QByteArray("0204060880808080")); // 500..2000 on sensor 0
        QTRY_COMPARE_WITH_TIMEOUT(p.stored(key), defaults, 3000);
    }

    // Every value of every stage's menu shows inside the page and can be picked with the pointer,
    // for the stages on the right edge too.
    void everyDpiMenuValueShowsAndCanBePicked_data()
    {
        QTest::addColumn<QString>("mouse");
        QTest::addColumn<QList<int>>("picks"); // stage 4 cell, its code, stage 8 cell, its code
        QTest::newRow("sensor 0") << "sensor=0" << QList<int>{2, 0x02, 11, 0x47};
        QTest::newRow("sensor 1") << "sensor=1" << QList<int>{2, 0x04, 11, 0x4E};
        QTest::newRow("sensor 2") << "sensor=2" << QList<int>{5, 0x0A, 8, 0x48};
        QTest::newRow("sensor 3") << "sensor=3" << QList<int>{2, 0x07, 17, 0x71};
    }
    void everyDpiMenuValueShowsAndCanBePicked()
    {
        QFETCH(QString, mouse);
        QFETCH(QList<int>, picks);
        Program p;
        QVERIFY(p.open(mouse + ",stages=8,logo=0", 3, "pageSensor"));
        Scene &s = p.scene;
        QQuickItem *dpi = p.at("dpiLevel");
        QQuickItem *menu = s.at("valueMenu", dpi);
        const QRectF shown = sceneRect(s.at("pageContainer")) & QRectF(QPointF(), s.view->size());
        for (const char *caption : {"rateCaption", "dpiCaption"})
            QVERIFY2(!struckThrough(s.shot(), sceneRect(p.at(caption)).toRect()), caption);
        for (int stage = 0; stage < 8; ++stage) {
            // Opened with the pointer at the right end of the "▼".
            QQuickItem *arrow = s.at("arrow", s.at(u"button%1"_s.arg(stage), dpi));
            QVERIFY(realClick(s.view, arrow, true));
            QTRY_VERIFY_WITH_TIMEOUT(menu->opacity() == 1.0, 3000);
            for (int k = 0; k < dpi->property("menuCounter").toInt(); ++k)
                QVERIFY2(shown.contains(sceneRect(s.at(u"menuCell%1"_s.arg(k), menu))),
                         qPrintable(u"stage %1 value %2"_s.arg(stage + 1).arg(k)));
            s.clear();
            QQuickItem *cell = s.at(u"menuCell%1"_s.arg(picks.value(stage / 2 - 1)), menu);
            QVERIFY(stage % 4 == 3 ? realClick(s.view, cell, false) : realClick(s.view, arrow, true));
            QTRY_VERIFY_WITH_TIMEOUT(menu->opacity() == 0.0, 3000);
            if (stage % 4 == 3) {
                QCOMPARE(s.sent(0x11).size(), 1);
                QCOMPARE(int(s.device->dpiStagesInUse()), 8);
                QCOMPARE(int(uchar(s.device->dpiCodes()[stage])), picks[stage / 2]);
            }
        }
        QTRY_COMPARE_WITH_TIMEOUT(p.stored("sensor/dpi_Z3").value(7),
                                  dpi->property("valueForIndex").toList().value(7).toInt(), 3000);
    }

    // Switching a stage off hands "current" to the nearest stage in use, lower first, and apply names
    // that stage; stages beyond the mouse's count are blank. On a fresh profile every stage is off and
    // a pick fills only its own, stored in the plain list form other programs read.
    void switchedOffStageHandsCurrentOn_data()
    {
        QTest::addColumn<QString>("mouse");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("stage");
        QTest::addColumn<int>("cell");
        QTest::addColumn<int>("current");
        QTest::addColumn<QByteArray>("codes");
        const QVariant all(QStringList{"250", "500", "750", "1000", "1250", "1500", "1750", "2000"});
        QTest::newRow("stage 4 to 3") << "stages=4" << all << 3 << 0 << 2 << QByteArray("0102038080808080");
        QTest::newRow("stage 8 to 7") << "stages=8" << all << 7 << 0 << 6 << QByteArray("0102030405060780");
        QTest::newRow("stage 4 to 5, 1-3 off")
            << "stages=8" << QVariant(QStringList{"0", "0", "0", "1000", "1250", "0", "0", "0"}) << 3 << 0
            << 4 << QByteArray("8080808005808080");
        QTest::newRow("fresh profile")
            << "stages=8" << QVariant() << 2 << 4 << -1 << QByteArray("8080048080808080");
    }
    void switchedOffStageHandsCurrentOn()
    {
        QFETCH(QString, mouse);
        QFETCH(QVariant, stored);
        QFETCH(int, stage);
        QFETCH(int, cell);
        QFETCH(int, current);
        QFETCH(QByteArray, codes);
        Program p;
        QVERIFY(p.open(mouse + ",logo=0", 3, "pageSensor", {{"sensor/dpi_Z3", stored}}));
        Scene &s = p.scene;
        QQuickItem *dpi = p.at("dpiLevel");
        const int stages = mouse.right(1).toInt();
        for (int i = 0; i < 8; ++i)
            QCOMPARE(s.at(u"button%1"_s.arg(i), dpi)->isVisible(), i < stages);
        QQuickItem *button = s.at(u"button%1"_s.arg(stage), dpi);
        QVERIFY(click(s.view, button, {20, 9}));
        QCOMPARE(dpi->property("currentIndex").toInt(), stored.isNull() ? 0 : stage); // "×" cannot be chosen
        s.clear();
        QVERIFY(click(s.view, s.at("arrow", button)));
        QQuickItem *menu = s.at("valueMenu", dpi);
        QTRY_VERIFY_WITH_TIMEOUT(menu->opacity() == 1.0, 3000);
        QVERIFY(click(s.view, s.at(u"menuCell%1"_s.arg(cell), menu)));
        QCOMPARE(s.sent(0x11).size(), 1);
        QCOMPARE(s.device->dpiCodes().left(stages).toHex(), codes.left(2 * stages));
        if (stored.isNull()) {
            const auto text = [&] { return fileBytes(p.folder.setting()); };
            QTRY_VERIFY2_WITH_TIMEOUT(text().contains("dpi_Z3=0, 0, 1000, 0, 0, 0, 0, 0\n"),
                                      text().constData(), 3000);
            return;
        }
        QCOMPARE(dpi->property("currentIndex").toInt(), current);
        QTRY_VERIFY_WITH_TIMEOUT(menu->opacity() == 0.0, 3000);
        QVERIFY(p.click("apply"));
        QCOMPARE(s.sent(0x0B).size(), 1);
        QCOMPARE(int(s.device->dpiStage()), current + 1);
    }

    // The palette strip sends the palette at once; reset sends the default palette and only shows
    // the default effect. Apply sends the effect with its brightness and speed codes and stores
    // them; OFF sends zeros and keeps the steps.
    void lightingPageWritesTheMouseAndProfile()
    {
        Program p;
        QVERIFY(p.open(QString(), 2, "pageColor",
                       {{"color_Z3/ledEffect", QStringList{"0", "7", "4"}}})); // STATIC
        Scene &s = p.scene;
        QByteArray colours = bytes(p.stored("color_Z3/type0"));
        QVERIFY(click(s.view, s.at("entry3", p.at("palette"))));
        QQuickItem *strip = p.at("palette")->property("strip").value<QQuickItem *>();
        s.clear();
        QVERIFY(click(s.view, strip, {(strip->width() - 1) / 2, strip->height() / 2})); // cyan
        QCOMPARE(s.sent(0x10).size(), 1);
        QCOMPARE(s.device->ledColors(0).toHex(),
                 colours.replace(9, 3, QByteArray::fromHex("00ffff")).toHex());

        s.clear();
        QVERIFY(p.click("reset"));
        QCOMPARE(s.sent(0x10).size(), 1);
        QCOMPARE(s.device->ledColors(0).toHex(), bytes(p.stored("color_Z3/type0", "pD.bin")).toHex());
        QCOMPARE(
            (QList<int>{p.page->property("effectIndex").toInt(), p.page->property("brightnessIndex").toInt(),
                        p.page->property("speedIndex").toInt()}),
            p.stored("color_Z3/ledEffect", "pD.bin"));
        QVERIFY(!s.codes().contains(0x0D));
        QCOMPARE(p.stored("color_Z3/ledEffect"), (QList<int>{0, 7, 4}));

        const auto apply = [&] {
            s.clear();
            const bool locked = p.click("apply") && !s.view->isEnabled();
            const auto effects = s.sent(0x0D);
            return locked && effects.size() == 1
                       ? QByteArray(reinterpret_cast<const char *>(&effects[0].frame[1]), 3).toHex()
                       : QByteArray("no single effect");
        };
        QVERIFY(p.choose("effectList", 4)); // WAVE
        QVERIFY(p.at("speed")->isEnabled());
        QVERIFY(p.click("brightness", {50, 10}) && p.click("speed", {0, 10})); // steps 3 and 0
        QCOMPARE(apply(), QByteArray("05730a"));
        QTRY_COMPARE_WITH_TIMEOUT(p.stored("color_Z3/ledEffect"), (QList<int>{4, 3, 0}), 3000);
        QVERIFY(p.choose("effectList", 10)); // OFF
        QVERIFY(!p.at("brightness")->isEnabled() && !p.at("speed")->isEnabled());
        QCOMPARE(apply(), QByteArray("000000"));
        QTRY_COMPARE_WITH_TIMEOUT(p.stored("color_Z3/ledEffect"), (QList<int>{10, 3, 0}), 3000);
    }

    // ALL SAVE applies the pages from the current profile although none was opened (nor built).
    void allSaveAppliesPagesNeverOpened()
    {
        Program p;
        QVERIFY(p.open("logo=0", -1, QString(), {{"color_Z3/ledEffect", QStringList{"4", "3", "0"}}}));
        Scene &s = p.scene;
        for (const char *page : {"pageKeydefine", "pageMacro", "pageColor", "pageSensor"})
            QVERIFY2(!s.at(page), page);
        s.clear();
        QVERIFY(s.click("totalApplyButton"));
        QCOMPARE(s.sent(0x0B).size(), 1);
        QCOMPARE(s.sent(0x0D).size(), 1);
        QCOMPARE(s.device->ledEffect(), (std::array<uchar, 3>{0x05, 115, 10}));
        QCOMPARE(s.codes().count(0x01), 1);
        QCOMPARE(QList<int>{s.device->dpiStage()}, p.stored("sensor/stage_Z3"));
    }
};

PRIVATE_DISPLAY_TEST_MAIN(tst_gui_sensor_and_lighting_pages)
#include "tst_gui_sensor_and_lighting_pages.moc"
