// The sensor page in the running program against the virtual mouse, driven
// with real clicks: what apply, a DPI value pick and reset put on the wire
// and into the profile, and how many stages the page offers.
#include "Pages7Support.h"

using namespace pages7;

// Whether a bright line of the artwork runs through a text's box: a pixel
// row across the box that is nearly all bright (text alone lights a part of
// a row, the dark page none).
static bool struckThrough(const QImage &shot, const QRect &box)
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

class tst_gui_pages7_sensor : public QObject {
    Q_OBJECT

    static QQuickItem *pageItem(Program &p, const char *name)
    {
        return p.item(QLatin1String(name), p.item(QStringLiteral("pageSensor")));
    }

private slots:
    void initTestCase()
    {
        // Pointer settings go to a throw-away desktop store, not the user's.
        qputenv("GSETTINGS_BACKEND", "memory");
    }

    void applySendsRateAndStageAndStoresPointerSettings()
    {
        Program p;
        QVERIFY(p.start("logo=0"));
        PAGES7_DO(openPage(p, 3, QStringLiteral("pageSensor")));

        // 250 Hz; cursor speed 7, scroll lines 0, double-click 10; stage 3.
        PAGES7_DO(clickCentre(p, p.item(QStringLiteral("button1"), pageItem(p, "reportRate"))));
        PAGES7_DO(clickAt(p, pageItem(p, "cursorSpeed"), QPointF(210, 10)));
        PAGES7_DO(clickAt(p, pageItem(p, "scrollLines"), QPointF(0, 10)));
        PAGES7_DO(clickAt(p, pageItem(p, "doubleClick"), QPointF(308, 10)));
        QQuickItem *stage3 = p.item(QStringLiteral("button2"), pageItem(p, "dpiLevel"));
        PAGES7_DO(clickAt(p, stage3, QPointF(20, 9)));
        QCOMPARE(pageItem(p, "dpiLevel")->property("currentIndex").toInt(), 2);

        const int before = p.sent().size();
        PAGES7_DO(clickCentre(p, pageItem(p, "apply")));
        QVERIFY2(!p.view()->isEnabled(), "apply locks the screen while the mouse is written");
        QList<SentCommand> stage;
        PAGES7_DO(waitFor(p, before, 0x0B, 1, &stage));

        const QList<SentCommand> after = p.sentSince(before);
        QCOMPARE(after.size(), 2); // DPI values and colours are not sent by apply
        QCOMPARE(after[0].code(), uchar(0x01));
        QCOMPARE(after[0].frame[1], uchar(0x04));
        QCOMPARE(after[1].code(), uchar(0x0B));
        QCOMPARE(after[1].frame[1], uchar(3));
        for (const SentCommand &c : after)
            QCOMPARE(c.frame[7], FrameCipher::checksum(c.frame.data()));

        QTRY_COMPARE_WITH_TIMEOUT(iniText(p.profile(), QStringLiteral("sensor/stage_Z3")),
                                  QStringLiteral("3"), 3000);
        QCOMPARE(iniText(p.profile(), QStringLiteral("sensor/reportRate_Z3")), QStringLiteral("4"));
        QCOMPARE(iniText(p.profile(), QStringLiteral("sensor/cursorSpeed_Z3")), QStringLiteral("7"));
        QCOMPARE(iniText(p.profile(), QStringLiteral("sensor/verticalScrollLines_Z3")), QStringLiteral("0"));
        QCOMPARE(iniText(p.profile(), QStringLiteral("sensor/doubleClickSpeed_Z3")), QStringLiteral("10"));
    }

    // Every value of every stage's menu shows inside the page and can be
    // picked with the pointer, for the stages on the right edge too.
    void everyDpiMenuValueShowsAndCanBePicked_data()
    {
        QTest::addColumn<QByteArray>("device");
        QTest::addColumn<QList<int>>("picks"); // stage 4 cell, its code, stage 8 cell, its code
        QTest::newRow("sensor 0") << QByteArray("sensor=0") << QList<int>{2, 0x02, 11, 0x47};
        QTest::newRow("sensor 1") << QByteArray("sensor=1") << QList<int>{2, 0x04, 11, 0x4E};
        QTest::newRow("sensor 2") << QByteArray("sensor=2") << QList<int>{5, 0x0A, 8, 0x48};
        QTest::newRow("sensor 3") << QByteArray("sensor=3") << QList<int>{2, 0x07, 17, 0x71};
    }
    void everyDpiMenuValueShowsAndCanBePicked()
    {
        QFETCH(QByteArray, device);
        QFETCH(QList<int>, picks);
        Program p;
        QVERIFY(p.start(device + ",stages=8,logo=0"));
        PAGES7_DO(openPage(p, 3, QStringLiteral("pageSensor")));
        QQuickItem *dpi = pageItem(p, "dpiLevel");
        QQuickItem *menu = p.item(QStringLiteral("valueMenu"), dpi);
        const QRectF shown = sceneRect(p.item(QStringLiteral("pageContainer"))) & QRectF(QPointF(), p.view()->size());
        const int cells = dpi->property("menuCounter").toInt();
        for (const char *caption : {"rateCaption", "dpiCaption"}) {
            QQuickItem *c = pageItem(p, caption);
            QVERIFY2(!struckThrough(p.view()->grabFramebuffer(), sceneRect(c).toRect()), caption);
        }
        for (int stage = 0; stage < 8; ++stage) {
            // Opened with the pointer at the right end of the "▼".
            QQuickItem *arrow = p.item(QStringLiteral("arrow"), p.item(QStringLiteral("button%1").arg(stage), dpi));
            PAGES7_DO(realClick(p, arrow, QPointF(arrow->width() - 2, arrow->height() / 2)));
            QTRY_VERIFY_WITH_TIMEOUT(menu->opacity() == 1.0, 3000);
            for (int k = 0; k < cells; ++k) {
                const QRectF r = sceneRect(p.item(QStringLiteral("menuCell%1").arg(k), menu));
                QVERIFY2(shown.contains(r), qPrintable(QStringLiteral("stage %1 value %2 at %3,%4")
                                                           .arg(stage + 1).arg(k).arg(r.x()).arg(r.y())));
            }
            if (stage % 4 != 3) {
                PAGES7_DO(realClick(p, arrow, QPointF(arrow->width() - 2, arrow->height() / 2)));
                QTRY_VERIFY_WITH_TIMEOUT(menu->opacity() == 0.0, 3000);
                continue;
            }
            const int cell = picks[stage == 3 ? 0 : 2];
            const int before = p.sent().size();
            QQuickItem *target = p.item(QStringLiteral("menuCell%1").arg(cell), menu);
            PAGES7_DO(realClick(p, target, QPointF(target->width() / 2, target->height() / 2)));
            QList<SentCommand> sets;
            PAGES7_DO(waitFor(p, before, 0x11, 1, &sets, 32));
            QCOMPARE(sets[0].frame[1], uchar(8)); // stages in use, as the mouse answered
            QCOMPARE(int(uchar(sets[0].block[stage])), picks[stage == 3 ? 1 : 3]);
            QTRY_VERIFY_WITH_TIMEOUT(menu->opacity() == 0.0, 3000);
        }
        QTRY_COMPARE_WITH_TIMEOUT(iniList(p.profile(), QStringLiteral("sensor/dpi_Z3")).value(7),
                                  dpi->property("valueForIndex").toList().value(7).toInt(), 3000);
    }

    void pickOnFreshProfileStoresAllEightStages()
    {
        Program p;
        QVERIFY(p.start("logo=0", [](const QString &dir) {
            QFile::remove(dir + QStringLiteral("/modules/setting/p1.bin"));
        }));
        PAGES7_DO(openPage(p, 3, QStringLiteral("pageSensor")));
        QQuickItem *dpi = pageItem(p, "dpiLevel");
        // Nothing stored: every stage shows "×" and cannot be chosen.
        QCOMPARE(dpi->property("currentIndex").toInt(), 0);
        PAGES7_DO(clickAt(p, p.item(QStringLiteral("button1"), dpi), QPointF(20, 9)));
        QCOMPARE(dpi->property("currentIndex").toInt(), 0);

        const int before = p.sent().size();
        PAGES7_DO(clickCentre(p, p.item(QStringLiteral("arrow"), p.item(QStringLiteral("button2"), dpi))));
        QQuickItem *menu = p.item(QStringLiteral("valueMenu"), dpi);
        QTRY_VERIFY_WITH_TIMEOUT(menu->opacity() == 1.0, 3000);
        PAGES7_DO(clickCentre(p, p.item(QStringLiteral("menuCell4"), menu))); // 1000 on sensor type 0
        QList<SentCommand> sets;
        PAGES7_DO(waitFor(p, before, 0x11, 1, &sets, 32));
        QCOMPARE(sets[0].block.left(8), bytesOf({0x80, 0x80, 0x04, 0x80, 0x80, 0x80, 0x80, 0x80}));
        QTRY_COMPARE_WITH_TIMEOUT(iniList(p.profile(), QStringLiteral("sensor/dpi_Z3")),
                                  (QList<int>{0, 0, 1000, 0, 0, 0, 0, 0}), 3000);
    }

    // Switching the current stage off hands "current" to the nearest stage
    // in use, lower first; apply then names that stage.
    void switchedOffStageHandsCurrentOn_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<int>("picked");
        QTest::addColumn<int>("current");
        const QStringList all{"250", "500", "750", "1000", "1250", "1500", "1750", "2000"};
        QTest::newRow("stage 4 to 3") << all << 3 << 2;
        QTest::newRow("stage 8 to 7") << all << 7 << 6;
        QTest::newRow("stage 4 to 5, 1-3 off") << QStringList{"0", "0", "0", "1000", "1250", "0", "0", "0"} << 3
                                                << 4;
    }
    void switchedOffStageHandsCurrentOn()
    {
        QFETCH(QStringList, values);
        QFETCH(int, picked);
        QFETCH(int, current);
        Program p;
        QVERIFY(p.start("stages=8,logo=0", [&](const QString &dir) {
            QSettings s(dir + QStringLiteral("/modules/setting/p1.bin"), QSettings::IniFormat);
            s.setValue(QStringLiteral("sensor/dpi_Z3"), values);
        }));
        PAGES7_DO(openPage(p, 3, QStringLiteral("pageSensor")));
        QQuickItem *dpi = pageItem(p, "dpiLevel");
        QQuickItem *button = p.item(QStringLiteral("button%1").arg(picked), dpi);
        PAGES7_DO(clickAt(p, button, QPointF(20, 9)));
        QCOMPARE(dpi->property("currentIndex").toInt(), picked);

        int before = p.sent().size();
        PAGES7_DO(clickCentre(p, p.item(QStringLiteral("arrow"), button)));
        QQuickItem *menu = p.item(QStringLiteral("valueMenu"), dpi);
        QTRY_VERIFY_WITH_TIMEOUT(menu->opacity() == 1.0, 3000);
        PAGES7_DO(clickCentre(p, p.item(QStringLiteral("menuCell0"), menu))); // "×"
        QList<SentCommand> sets;
        PAGES7_DO(waitFor(p, before, 0x11, 1, &sets, 32));
        QCOMPARE(uchar(sets[0].block[picked]), uchar(0x80));
        QCOMPARE(dpi->property("currentIndex").toInt(), current);

        before = p.sent().size();
        QTRY_VERIFY_WITH_TIMEOUT(menu->opacity() == 0.0, 3000);
        PAGES7_DO(clickCentre(p, pageItem(p, "apply")));
        QList<SentCommand> stage;
        PAGES7_DO(waitFor(p, before, 0x0B, 1, &stage));
        QCOMPARE(int(stage[0].frame[1]), current + 1);
        QVERIFY(uchar(sets[0].block[current]) != 0x80);
    }

    void resetSendsIndicatorColours_data()
    {
        QTest::addColumn<QByteArray>("device");
        QTest::addColumn<int>("set");
        QTest::newRow("8-colour indicator") << QByteArray("logo=1") << 2;
        QTest::newRow("RGB indicator") << QByteArray("logo=0") << 1;
    }
    void resetSendsIndicatorColours()
    {
        QFETCH(QByteArray, device);
        QFETCH(int, set);
        Program p;
        QVERIFY(p.start(device));
        PAGES7_DO(openPage(p, 3, QStringLiteral("pageSensor")));
        QCOMPARE(pageItem(p, "indicatorColors")->property("isCompat8Color").toBool(), set == 2);

        const QString defaults = p.settingFile(QStringLiteral("pD.bin"));
        const int before = p.sent().size();
        PAGES7_DO(clickCentre(p, pageItem(p, "reset")));
        QList<SentCommand> colours, sets;
        PAGES7_DO(waitFor(p, before, 0x10, 1, &colours, 32));
        PAGES7_DO(waitFor(p, before, 0x11, 1, &sets, 32));
        QCOMPARE(colours.size(), 1);
        QCOMPARE(int(colours[0].frame[1]), set);
        QByteArray expected;
        if (set == 2) {
            // Stage 2k in the low nibble, stage 2k+1 in the high nibble.
            const QList<int> ids = iniList(defaults, QStringLiteral("color_Z3/type2"));
            QCOMPARE(ids.size(), 8);
            for (int k = 0; k < 4; ++k)
                expected.append(char((ids[2 * k] & 0x0F) | ((ids[2 * k + 1] << 4) & 0xF0)));
        } else {
            const QList<int> rgb = iniList(defaults, QStringLiteral("color_Z3/type1"));
            QCOMPARE(rgb.size(), 24);
            for (int v : rgb)
                expected.append(char(v));
        }
        QCOMPARE(int(colours[0].frame[2]), expected.size());
        QCOMPARE(colours[0].block.left(expected.size()), expected);
        QCOMPARE(colours[0].block.size(), 32); // one interrupt report of the mouse

        // Reset also sends the default DPI values; the rest waits for apply.
        const QList<SentCommand> after = p.sentSince(before);
        QCOMPARE(withCode(after, 0x11).size(), 1);
        QCOMPARE(withCode(after, 0x01).size(), 0);
        QCOMPARE(withCode(after, 0x0B).size(), 0);
        QCOMPARE(withCode(after, 0x11)[0].block.left(8),
                 bytesOf({0x02, 0x04, 0x06, 0x08, 0x80, 0x80, 0x80, 0x80})); // 500..2000 on sensor type 0
        QTRY_COMPARE_WITH_TIMEOUT(iniList(p.profile(), QStringLiteral("color_Z3/type%1").arg(set)),
                                  iniList(defaults, QStringLiteral("color_Z3/type%1").arg(set)), 3000);
    }

    void fixedColourPickSendsPackedIndexes()
    {
        Program p;
        QVERIFY(p.start("logo=1", [](const QString &dir) {
            QSettings s(dir + QStringLiteral("/modules/setting/p1.bin"), QSettings::IniFormat);
            s.setValue(QStringLiteral("color_Z3/type2"), QStringList{"0", "1", "2", "3", "4", "5", "6", "7"});
        }));
        PAGES7_DO(openPage(p, 3, QStringLiteral("pageSensor")));
        QQuickItem *colours = pageItem(p, "indicatorColors");
        PAGES7_DO(clickCentre(p, p.item(QStringLiteral("entry2"), colours)));
        QCOMPARE(colours->property("currentIndex").toInt(), 2);

        const int before = p.sent().size();
        PAGES7_DO(clickCentre(p, pageItem(p, "fixedColour7"))); // orange
        QList<SentCommand> sent;
        PAGES7_DO(waitFor(p, before, 0x10, 1, &sent, 32));
        QCOMPARE(sent[0].frame[1], uchar(2));
        QCOMPARE(sent[0].frame[2], uchar(4));
        QCOMPARE(sent[0].block.left(4), bytesOf({0x10, 0x37, 0x54, 0x76}));
        QTRY_COMPARE_WITH_TIMEOUT(iniList(p.profile(), QStringLiteral("color_Z3/type2")),
                                  (QList<int>{0, 1, 7, 3, 4, 5, 6, 7}), 3000);
        // The entry shows the fixed orange.
        const QImage shot = p.view()->grabFramebuffer();
        QQuickItem *entry = p.item(QStringLiteral("entry2"), colours);
        const QPoint c = entry->mapToScene(QPointF(entry->width() / 2, entry->height() / 2)).toPoint();
        QCOMPARE(shot.pixel(c) & 0xFFFFFF, qRgb(255, 127, 0) & 0xFFFFFF);
    }

    void typedIndicatorColourIsSentOnEnter()
    {
        Program p;
        QVERIFY(p.start("logo=0"));
        PAGES7_DO(openPage(p, 3, QStringLiteral("pageSensor")));
        QQuickItem *colours = pageItem(p, "indicatorColors");
        const QList<int> stored = iniList(p.profile(), QStringLiteral("color_Z3/type1"));
        QCOMPARE(stored.size(), 24);
        PAGES7_DO(clickCentre(p, p.item(QStringLiteral("entry0"), colours)));

        QQuickItem *green = p.item(QStringLiteral("fieldG"), colours);
        PAGES7_DO(clickCentre(p, green));
        QTRY_VERIFY_WITH_TIMEOUT(green->hasActiveFocus(), 3000);
        QTest::keyClick(p.view(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(p.view(), QStringLiteral("300")); // the last 0 is refused
        QCOMPARE(green->property("text").toString(), QStringLiteral("30"));
        const int before = p.sent().size();
        QTest::keyClick(p.view(), Qt::Key_Return);
        QList<SentCommand> sent;
        PAGES7_DO(waitFor(p, before, 0x10, 1, &sent, 32));
        QCOMPARE(sent[0].frame[1], uchar(1));
        QCOMPARE(sent[0].frame[2], uchar(24));
        QCOMPARE(uchar(sent[0].block[0]), uchar(stored[0]));
        QCOMPARE(uchar(sent[0].block[1]), uchar(30));
        QCOMPARE(uchar(sent[0].block[2]), uchar(stored[2]));
        for (int i = 3; i < 24; ++i)
            QCOMPARE(uchar(sent[0].block[i]), uchar(stored[i]));
    }

    void stagesBeyondTheMouseAreBlank_data()
    {
        QTest::addColumn<QByteArray>("device");
        QTest::addColumn<int>("stages");
        QTest::newRow("4 stages") << QByteArray("stages=4,logo=0") << 4;
        QTest::newRow("8 stages") << QByteArray("stages=8,logo=0") << 8;
    }
    void stagesBeyondTheMouseAreBlank()
    {
        QFETCH(QByteArray, device);
        QFETCH(int, stages);
        Program p;
        QVERIFY(p.start(device, [](const QString &dir) {
            QSettings s(dir + QStringLiteral("/modules/setting/p1.bin"), QSettings::IniFormat);
            s.setValue(QStringLiteral("sensor/dpi_Z3"),
                       QStringList{"250", "500", "750", "1000", "1250", "1500", "1750", "2000"});
        }));
        PAGES7_DO(openPage(p, 3, QStringLiteral("pageSensor")));
        QQuickItem *dpi = pageItem(p, "dpiLevel");
        QQuickItem *colours = pageItem(p, "indicatorColors");
        const QList<int> rgb = iniList(p.profile(), QStringLiteral("color_Z3/type1"));
        QCOMPARE(rgb.size(), 24);
        const QImage shot = p.view()->grabFramebuffer();
        for (int i = 0; i < 8; ++i) {
            QQuickItem *button = p.item(QStringLiteral("button%1").arg(i), dpi);
            QVERIFY(button);
            QCOMPARE(button->isVisible(), i < stages);
            QQuickItem *entry = p.item(QStringLiteral("entry%1").arg(i), colours);
            QVERIFY(entry);
            // On screen a usable entry shows its stored colour; a blank one
            // shows the page behind it.
            const QPoint c = entry->mapToScene(QPointF(entry->width() / 2, entry->height() / 2)).toPoint();
            const QRgb stored = qRgb(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
            if (i < stages)
                QCOMPARE(shot.pixel(c) & 0xFFFFFF, stored & 0xFFFFFF);
            else
                QVERIFY2((shot.pixel(c) & 0xFFFFFF) != (stored & 0xFFFFFF), qPrintable(QString::number(i)));
        }
        // A click on a blank stage selects nothing.
        if (stages == 4) {
            const int current = dpi->property("currentIndex").toInt();
            QTest::mouseClick(p.view(), Qt::LeftButton, Qt::NoModifier,
                              dpi->mapToScene(QPointF(3 + 30, 27 + 9)).toPoint());
            QCOMPARE(dpi->property("currentIndex").toInt(), current);
        }
    }
};

PAGES7_MAIN(tst_gui_pages7_sensor)
#include "tst_gui_pages7_sensor.moc"
