// The sensor and lighting pages in the running scene on the virtual mouse,
// driven with clicks: what apply, DPI picks, colour picks and reset put on
// the mouse and into the profile, and what the pages show.
#include "SceneDriver.h"

using namespace scenedriver;

namespace {

const QStringList kEightStages{"250", "500", "750", "1000", "1250", "1500", "1750", "2000"};

// Whether a bright line of the artwork runs through a text's box: a pixel
// row across the box that is nearly all bright.
bool struckThrough(const QImage &shot, const QRect &box)
{
    for (int y = box.top(); y <= box.bottom(); ++y) {
        int bright = 0;
        for (int x = box.left(); x <= box.right(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            bright += std::max({c.red(), c.green(), c.blue()}) > 110;
        }
        if (bright * 100 >= box.width() * 85)
            return true;
    }
    return false;
}

QRgb centreColour(Scene &s, QQuickItem *it)
{
    return s.shot().pixel(sceneRect(it).center().toPoint()) & 0xFFFFFF;
}

} // namespace

class tst_gui_sensor_and_lighting_pages : public QObject {
    Q_OBJECT

    // A fresh working folder (sound and animations off) whose current profile
    // gets `stored`, a scene on `mouse` and the page opened.
    struct Run {
        WorkFolder folder;
        Scene scene;
        QQuickItem *page = nullptr;
        QQuickItem *at(const char *name) const { return scene.at(QLatin1String(name), page); }
    };
    static bool open(Run &r, const QString &mouse, int index, const QString &page,
                     const QMap<QString, QVariant> &stored = {})
    {
        if (!r.folder.make(true, true))
            return false;
        for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
            if (it.value().isNull())
                QFile::remove(r.folder.setting());
            else
                r.folder.set(QStringLiteral("p1.bin"), it.key(), it.value());
        }
        return r.scene.start(mouse) && (r.page = r.scene.openPage(index, page));
    }

private slots:
    void initTestCase()
    {
        // Pointer settings go to a throw-away desktop store, not the user's.
        qputenv("GSETTINGS_BACKEND", "memory");
    }

    void sensorApplySendsRateAndStageOnlyAndStoresPointerSettings()
    {
        Run r;
        QVERIFY(open(r, "logo=0", 3, "pageSensor"));
        Scene &s = r.scene;
        // 250 Hz; cursor speed 7, scroll lines 0, double-click 10; stage 3.
        QVERIFY(click(s.view, s.at("button1", r.at("reportRate"))));
        QVERIFY(click(s.view, r.at("cursorSpeed"), {210, 10}));
        QVERIFY(click(s.view, r.at("scrollLines"), {0, 10}));
        QVERIFY(click(s.view, r.at("doubleClick"), {308, 10}));
        QVERIFY(click(s.view, s.at("button2", r.at("dpiLevel")), {20, 9}));
        s.clear();
        QVERIFY(click(s.view, r.at("apply")));
        QVERIFY2(!s.view->isEnabled(), "apply locks the screen while the mouse is written");
        QCOMPARE(s.sent(0x0B).size(), 1);
        QCOMPARE(s.codes(), (QList<uchar>{0x01, 0x0B})); // DPI values and colours wait for their own changes
        QCOMPARE(int(s.device->reportRate()), 4);
        QCOMPARE(int(s.device->dpiStage()), 3);
        const QString p1 = r.folder.setting();
        QTRY_COMPARE_WITH_TIMEOUT(iniList(p1, "sensor/stage_Z3"), QList<int>{3}, 3000);
        QCOMPARE(iniList(p1, "sensor/reportRate_Z3"), QList<int>{4});
        QCOMPARE(iniList(p1, "sensor/cursorSpeed_Z3"), QList<int>{7});
        QCOMPARE(iniList(p1, "sensor/verticalScrollLines_Z3"), QList<int>{0});
        QCOMPARE(iniList(p1, "sensor/doubleClickSpeed_Z3"), QList<int>{10});
    }

    // Every value of every stage's menu shows inside the page and can be
    // picked with the pointer, for the stages on the right edge too.
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
        Run r;
        QVERIFY(open(r, mouse + ",stages=8,logo=0", 3, "pageSensor"));
        Scene &s = r.scene;
        QQuickItem *dpi = r.at("dpiLevel");
        QQuickItem *menu = s.at("valueMenu", dpi);
        const QRectF shown = sceneRect(s.at("pageContainer")) & QRectF(QPointF(), s.view->size());
        for (const char *caption : {"rateCaption", "dpiCaption"})
            QVERIFY2(!struckThrough(s.shot(), sceneRect(r.at(caption)).toRect()), caption);
        for (int stage = 0; stage < 8; ++stage) {
            // Opened with the pointer at the right end of the "▼".
            QQuickItem *arrow = s.at("arrow", s.at(QStringLiteral("button%1").arg(stage), dpi));
            QVERIFY(realClick(s.view, arrow, QPointF(arrow->width() - 2, arrow->height() / 2)));
            QTRY_VERIFY_WITH_TIMEOUT(menu->opacity() == 1.0, 3000);
            for (int k = 0; k < dpi->property("menuCounter").toInt(); ++k) {
                const QRectF c = sceneRect(s.at(QStringLiteral("menuCell%1").arg(k), menu));
                QVERIFY2(shown.contains(c), qPrintable(QStringLiteral("stage %1 value %2").arg(stage + 1).arg(k)));
            }
            if (stage % 4 != 3) {
                QVERIFY(realClick(s.view, arrow, QPointF(arrow->width() - 2, arrow->height() / 2)));
                QTRY_VERIFY_WITH_TIMEOUT(menu->opacity() == 0.0, 3000);
                continue;
            }
            s.clear();
            QQuickItem *cell = s.at(QStringLiteral("menuCell%1").arg(picks[stage / 2 - 1]), menu);
            QVERIFY(realClick(s.view, cell, QPointF(cell->width() / 2, cell->height() / 2)));
            QCOMPARE(s.sent(0x11).size(), 1);
            QCOMPARE(int(s.device->dpiStagesInUse()), 8);
            QCOMPARE(int(uchar(s.device->dpiCodes()[stage])), picks[stage / 2]);
            QTRY_VERIFY_WITH_TIMEOUT(menu->opacity() == 0.0, 3000);
        }
        QTRY_COMPARE_WITH_TIMEOUT(iniList(r.folder.setting(), "sensor/dpi_Z3").value(7),
                                  dpi->property("valueForIndex").toList().value(7).toInt(), 3000);
    }

    // Switching a stage off hands "current" to the nearest stage in use,
    // lower first; apply then names that stage. On a fresh profile every
    // stage is off and a pick fills only its own.
    void switchedOffStageHandsCurrentOn_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("stage");
        QTest::addColumn<int>("cell");
        QTest::addColumn<int>("current");
        QTest::addColumn<QByteArray>("codes");
        QTest::newRow("stage 4 to 3") << QVariant(kEightStages) << 3 << 0 << 2
                                      << QByteArray::fromHex("0102038005060708");
        QTest::newRow("stage 8 to 7") << QVariant(kEightStages) << 7 << 0 << 6
                                      << QByteArray::fromHex("0102030405060780");
        QTest::newRow("stage 4 to 5, 1-3 off")
            << QVariant(QStringList{"0", "0", "0", "1000", "1250", "0", "0", "0"}) << 3 << 0 << 4
            << QByteArray::fromHex("8080808005808080");
        QTest::newRow("fresh profile") << QVariant() << 2 << 4 << -1 << QByteArray::fromHex("8080048080808080");
    }
    void switchedOffStageHandsCurrentOn()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, stage);
        QFETCH(int, cell);
        QFETCH(int, current);
        QFETCH(QByteArray, codes);
        Run r;
        QVERIFY(open(r, "stages=8,logo=0", 3, "pageSensor", {{"sensor/dpi_Z3", stored}}));
        Scene &s = r.scene;
        QQuickItem *dpi = r.at("dpiLevel");
        QQuickItem *button = s.at(QStringLiteral("button%1").arg(stage), dpi);
        QVERIFY(click(s.view, button, {20, 9}));
        QCOMPARE(dpi->property("currentIndex").toInt(), stored.isNull() ? 0 : stage); // "×" cannot be chosen
        s.clear();
        QVERIFY(click(s.view, s.at("arrow", button)));
        QQuickItem *menu = s.at("valueMenu", dpi);
        QTRY_VERIFY_WITH_TIMEOUT(menu->opacity() == 1.0, 3000);
        QVERIFY(click(s.view, s.at(QStringLiteral("menuCell%1").arg(cell), menu)));
        QCOMPARE(s.sent(0x11).size(), 1);
        QCOMPARE(s.device->dpiCodes().toHex(), codes.toHex());
        if (stored.isNull()) {
            QTRY_COMPARE_WITH_TIMEOUT(iniList(r.folder.setting(), "sensor/dpi_Z3"),
                                      (QList<int>{0, 0, 1000, 0, 0, 0, 0, 0}), 3000);
            return;
        }
        QCOMPARE(dpi->property("currentIndex").toInt(), current);
        QTRY_VERIFY_WITH_TIMEOUT(menu->opacity() == 0.0, 3000);
        QVERIFY(click(s.view, r.at("apply")));
        QCOMPARE(s.sent(0x0B).size(), 1);
        QCOMPARE(int(s.device->dpiStage()), current + 1);
    }

    void sensorResetSendsIndicatorColoursAndDpiOnly_data()
    {
        QTest::addColumn<QString>("mouse");
        QTest::addColumn<int>("type");
        QTest::newRow("8-colour indicator") << "logo=1" << 2;
        QTest::newRow("RGB indicator") << "logo=0" << 1;
    }
    void sensorResetSendsIndicatorColoursAndDpiOnly()
    {
        QFETCH(QString, mouse);
        QFETCH(int, type);
        Run r;
        QVERIFY(open(r, mouse, 3, "pageSensor"));
        Scene &s = r.scene;
        const QString key = QStringLiteral("color_Z3/type%1").arg(type);
        const QList<int> defaults = iniList(r.folder.setting("pD.bin"), key);
        QByteArray expected;
        for (int k = 0; k < defaults.size(); k += type == 2 ? 2 : 1) // 8 colours: two stages a byte, low first
            expected.append(char(type == 2 ? (defaults[k] & 0x0F) | (defaults[k + 1] << 4) : defaults[k]));
        QCOMPARE(expected.size(), type == 2 ? 4 : 24);
        s.clear();
        QVERIFY(click(s.view, r.at("reset")));
        QCOMPARE(s.sent(0x10).size(), 1);
        QCOMPARE(s.sent(0x11).size(), 1);
        QCOMPARE(int(s.sent(0x10)[0].frame[1]), type);
        QCOMPARE(s.device->ledColors(type).toHex(), expected.toHex());
        QCOMPARE(s.device->dpiCodes().toHex(), QByteArray("0204060880808080")); // 500..2000 on sensor 0
        QVERIFY(!s.codes().contains(0x01) && !s.codes().contains(0x0B));        // the rest waits for apply
        QTRY_COMPARE_WITH_TIMEOUT(iniList(r.folder.setting(), key), defaults, 3000);
    }

    void indicatorColourPicksAndTypedValuesAreSent()
    {
        {
        Run r;
        QVERIFY(open(r, "logo=1", 3, "pageSensor", {{"color_Z3/type2", QStringList{"0", "1", "2", "3", "4", "5", "6", "7"}}}));
        Scene &s = r.scene;
        QQuickItem *colours = r.at("indicatorColors");
        QVERIFY(click(s.view, s.at("entry2", colours)));
        s.clear();
        QVERIFY(click(s.view, r.at("fixedColour7"))); // orange
        QCOMPARE(s.sent(0x10).size(), 1);
        QCOMPARE(s.device->ledColors(2).toHex(), QByteArray("10375476"));
        QTRY_COMPARE_WITH_TIMEOUT(iniList(r.folder.setting(), "color_Z3/type2"),
                                  (QList<int>{0, 1, 7, 3, 4, 5, 6, 7}), 3000);
        QCOMPARE(centreColour(s, s.at("entry2", colours)), qRgb(255, 127, 0) & 0xFFFFFF);
        }
        // On the RGB indicator a typed green, cut at 255 as typed, goes out on Enter.
        Run rgb;
        QVERIFY(open(rgb, "logo=0", 3, "pageSensor"));
        Scene &t = rgb.scene;
        QByteArray stored;
        for (int v : iniList(rgb.folder.setting(), "color_Z3/type1"))
            stored.append(char(v));
        QCOMPARE(stored.size(), 24);
        QQuickItem *colours = rgb.at("indicatorColors");
        QVERIFY(click(t.view, t.at("entry0", colours)));
        QQuickItem *green = t.at("fieldG", colours);
        QVERIFY(click(t.view, green));
        QTRY_VERIFY_WITH_TIMEOUT(green->hasActiveFocus(), 3000);
        QTest::keyClick(t.view, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(t.view, QStringLiteral("300")); // the last 0 is refused
        QCOMPARE(green->property("text").toString(), QStringLiteral("30"));
        t.clear();
        QTest::keyClick(t.view, Qt::Key_Return);
        QCOMPARE(t.sent(0x10).size(), 1);
        stored[1] = char(30);
        QCOMPARE(t.device->ledColors(1).toHex(), stored.toHex());
    }

    void stagesBeyondTheMouseAreBlank_data()
    {
        QTest::addColumn<int>("stages");
        QTest::newRow("4 stages") << 4;
        QTest::newRow("8 stages") << 8;
    }
    void stagesBeyondTheMouseAreBlank()
    {
        QFETCH(int, stages);
        Run r;
        QVERIFY(open(r, QStringLiteral("stages=%1,logo=0").arg(stages), 3, "pageSensor",
                     {{"sensor/dpi_Z3", kEightStages}}));
        Scene &s = r.scene;
        QQuickItem *dpi = r.at("dpiLevel");
        const QList<int> rgb = iniList(r.folder.setting(), "color_Z3/type1");
        QCOMPARE(rgb.size(), 24);
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(s.at(QStringLiteral("button%1").arg(i), dpi)->isVisible(), i < stages);
            // A usable entry shows its stored colour; a blank one the page behind it.
            const QRgb shown = centreColour(s, s.at(QStringLiteral("entry%1").arg(i), r.at("indicatorColors")));
            QCOMPARE(shown == (qRgb(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]) & 0xFFFFFF), i < stages);
        }
        // A click on a blank stage selects nothing.
        if (stages == 4) {
            const int current = dpi->property("currentIndex").toInt();
            QTest::mouseClick(s.view, Qt::LeftButton, {}, dpi->mapToScene(QPointF(3 + 30, 27 + 9)).toPoint());
            QCOMPARE(dpi->property("currentIndex").toInt(), current);
        }
    }

    // Lighting apply sends the effect with its brightness and speed codes;
    // OFF and a fresh profile (whose effect list stays disabled) send zeros.
    void lightingApplySendsTheEffectCodes_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("row"); // effect picked, -1 none
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QList<int>>("kept");
        QTest::newRow("WAVE, brightness 3, speed 0")
            << QVariant(QStringList{"1", "7", "4"}) << 4 << QByteArray::fromHex("05730a") << QList<int>{4, 3, 0};
        QTest::newRow("OFF keeps the steps")
            << QVariant(QStringList{"4", "5", "2"}) << 10 << QByteArray::fromHex("000000") << QList<int>{10, 5, 2};
        QTest::newRow("fresh profile") << QVariant() << -1 << QByteArray::fromHex("000000") << QList<int>{0, 7, 4};
    }
    void lightingApplySendsTheEffectCodes()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, row);
        QFETCH(QByteArray, frame);
        QFETCH(QList<int>, kept);
        Run r;
        QVERIFY(open(r, QString(), 2, "pageColor", {{"color_Z3/ledEffect", stored}}));
        Scene &s = r.scene;
        QQuickItem *list = r.at("effectList");
        if (row < 0) {
            QVERIFY(!list->isEnabled());
            QTest::mouseClick(s.view, Qt::LeftButton, {}, sceneRect(list).center().toPoint());
            QVERIFY(!list->property("isOpened").toBool());
        } else {
            QCOMPARE(r.at("speed")->isEnabled(), row != 4); // TWINKLING has no speed, WAVE has
            QVERIFY(chooseRow(s.view, list, row));
            QCOMPARE(r.at("speed")->isEnabled(), row == 4);
            QCOMPARE(r.at("brightness")->isEnabled(), row != 10);
        }
        if (row == 4) {
            QVERIFY(click(s.view, r.at("brightness"), {50, 10})); // step 3
            QVERIFY(click(s.view, r.at("speed"), {0, 10}));       // step 0
        }
        s.clear();
        QVERIFY(click(s.view, r.at("apply")));
        QVERIFY2(!s.view->isEnabled(), "apply locks the screen while the mouse is written");
        const auto effects = s.sent(0x0D);
        QCOMPARE(effects.size(), 1);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(effects[0].frame.data()) + 1, 3).toHex(), frame.toHex());
        QTRY_COMPARE_WITH_TIMEOUT(iniList(r.folder.setting(), "color_Z3/ledEffect"), kept, 3000);
    }

    void paletteStripAndResetSendThePaletteNotTheEffect()
    {
        Run r;
        QVERIFY(open(r, QString(), 2, "pageColor", {{"color_Z3/ledEffect", QStringList{"0", "7", "4"}}}));
        Scene &s = r.scene;
        QQuickItem *palette = r.at("palette");
        QByteArray colours;
        for (int v : iniList(r.folder.setting(), "color_Z3/type0"))
            colours.append(char(v));
        QCOMPARE(colours.size(), 24);
        QVERIFY(click(s.view, s.at("entry3", palette)));
        QQuickItem *strip = palette->property("strip").value<QQuickItem *>();
        s.clear();
        QVERIFY(click(s.view, strip, {(strip->width() - 1) / 2, strip->height() / 2})); // cyan
        QCOMPARE(s.sent(0x10).size(), 1);
        QCOMPARE(int(s.sent(0x10)[0].frame[1]), 0);
        colours.replace(9, 3, bytesOf({0, 255, 255}));
        QCOMPARE(s.device->ledColors(0).toHex(), colours.toHex());
        QTRY_COMPARE_WITH_TIMEOUT(iniList(r.folder.setting(), "color_Z3/type0").value(9), 0, 3000);

        // Reset sends the default palette; the default effect is shown, not sent or stored.
        const QString defaults = r.folder.setting("pD.bin");
        QByteArray palette0;
        for (int v : iniList(defaults, "color_Z3/type0"))
            palette0.append(char(v));
        const QList<int> effect = iniList(defaults, "color_Z3/ledEffect");
        QCOMPARE(effect.size(), 3);
        s.clear();
        QVERIFY(click(s.view, r.at("reset")));
        QCOMPARE(s.sent(0x10).size(), 1);
        QCOMPARE(s.device->ledColors(0).toHex(), palette0.toHex());
        QCOMPARE((QList<int>{r.page->property("effectIndex").toInt(), r.page->property("brightnessIndex").toInt(),
                             r.page->property("speedIndex").toInt()}),
                 effect);
        QVERIFY(!s.codes().contains(0x0D));
        QCOMPARE(iniList(r.folder.setting(), "color_Z3/ledEffect"), (QList<int>{0, 7, 4}));
    }

    // ALL SAVE applies the pages from the current profile although they were
    // never opened and so not even built yet.
    void allSaveAppliesPagesNeverOpened()
    {
        WorkFolder f;
        QVERIFY(f.make(true, true));
        f.set("p1.bin", "color_Z3/ledEffect", QStringList{"4", "3", "0"});
        Scene s;
        QVERIFY(s.start("logo=0"));
        QVERIFY(!s.at("pageColor") && !s.at("pageSensor"));
        s.clear();
        QVERIFY(clickItem(s.view, "totalApplyButton"));
        QCOMPARE(s.sent(0x0B).size(), 1);
        QCOMPARE(s.sent(0x0D).size(), 1);
        QCOMPARE(s.device->ledEffect(), (std::array<uchar, 3>{0x05, 115, 10}));
        QCOMPARE(s.codes().count(0x01), 1);
        QCOMPARE(QList<int>{s.device->dpiStage()}, iniList(f.setting(), "sensor/stage_Z3"));
    }
};

PRIVATE_DISPLAY_TEST_MAIN(tst_gui_sensor_and_lighting_pages)
#include "tst_gui_sensor_and_lighting_pages.moc"
