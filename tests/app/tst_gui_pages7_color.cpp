// The lighting page in the running program against the virtual mouse, driven
// with real clicks: the effect with its brightness and speed codes on apply,
// OFF, a fresh profile, palette changes and reset, on the wire and in the
// profile.
#include "Pages7Support.h"

using namespace pages7;

class tst_gui_pages7_color : public QObject {
    Q_OBJECT

    static QQuickItem *pageItem(Program &p, const char *name)
    {
        return p.item(QLatin1String(name), p.item(QStringLiteral("pageColor")));
    }

    static std::function<void(const QString &)> storedEffect(const QStringList &effect)
    {
        return [effect](const QString &dir) {
            QSettings s(dir + QStringLiteral("/modules/setting/p1.bin"), QSettings::IniFormat);
            s.setValue(QStringLiteral("color_Z3/ledEffect"), effect);
        };
    }

    // Opens the effect list and picks a row.
    static void chooseEffect(Program &p, int row)
    {
        QQuickItem *list = pageItem(p, "effectList");
        QVERIFY(list);
        clickCentre(p, list);
        QQuickItem *drop = p.item(QStringLiteral("dropArea"), list);
        QQuickItem *rowItem = p.item(QStringLiteral("row%1").arg(row), list);
        QVERIFY(drop && rowItem);
        QTRY_VERIFY_WITH_TIMEOUT(drop->height() >= rowItem->y() + rowItem->height(), 5000);
        clickCentre(p, rowItem);
        QTRY_VERIFY_WITH_TIMEOUT(!list->property("isOpened").toBool(), 3000);
    }

    static void apply(Program &p, QList<SentCommand> *effects)
    {
        const int before = p.sent().size();
        clickCentre(p, pageItem(p, "apply"));
        QVERIFY2(!p.view()->isEnabled(), "apply locks the screen while the mouse is written");
        waitFor(p, before, 0x0D, 1, effects);
    }

private slots:
    void waveWithBrightness3AndSpeed0()
    {
        Program p;
        QVERIFY(p.start("", storedEffect({"1", "7", "4"}))); // TWINKLING: no speed
        PAGES7_DO(openPage(p, 2, QStringLiteral("pageColor")));
        QQuickItem *speed = pageItem(p, "speed");
        QVERIFY(!speed->isEnabled());

        PAGES7_DO(chooseEffect(p, 4));
        QVERIFY(speed->isEnabled());
        PAGES7_DO(clickAt(p, pageItem(p, "brightness"), QPointF(50, 10))); // step 3
        PAGES7_DO(clickAt(p, speed, QPointF(0, 10)));                      // step 0

        QList<SentCommand> effects;
        PAGES7_DO(apply(p, &effects));
        QCOMPARE(effects.size(), 1);
        QCOMPARE(effects[0].frame[1], uchar(0x05));
        QCOMPARE(effects[0].frame[2], uchar(0x73));
        QCOMPARE(effects[0].frame[3], uchar(0x0A));
        QCOMPARE(effects[0].frame[7], FrameCipher::checksum(effects[0].frame.data()));
        QTRY_COMPARE_WITH_TIMEOUT(iniList(p.profile(), QStringLiteral("color_Z3/ledEffect")),
                                  (QList<int>{4, 3, 0}), 3000);
    }

    void offSendsZerosAndKeepsTheSteps()
    {
        Program p;
        QVERIFY(p.start("", storedEffect({"4", "5", "2"})));
        PAGES7_DO(openPage(p, 2, QStringLiteral("pageColor")));
        PAGES7_DO(chooseEffect(p, 10));
        QVERIFY(!pageItem(p, "brightness")->isEnabled());

        QList<SentCommand> effects;
        PAGES7_DO(apply(p, &effects));
        QCOMPARE(effects.size(), 1);
        QCOMPARE(effects[0].frame[1], uchar(0));
        QCOMPARE(effects[0].frame[2], uchar(0));
        QCOMPARE(effects[0].frame[3], uchar(0));
        QTRY_COMPARE_WITH_TIMEOUT(iniList(p.profile(), QStringLiteral("color_Z3/ledEffect")),
                                  (QList<int>{10, 5, 2}), 3000);
    }

    void freshProfileLeavesTheEffectListDisabled()
    {
        Program p;
        QVERIFY(p.start(
            "", [](const QString &dir) { QFile::remove(dir + QStringLiteral("/modules/setting/p1.bin")); }));
        PAGES7_DO(openPage(p, 2, QStringLiteral("pageColor")));
        QQuickItem *list = pageItem(p, "effectList");
        QVERIFY(!list->isEnabled());
        PAGES7_DO(clickCentre(p, list));
        QVERIFY(!list->property("isOpened").toBool());

        // Apply sends "off" and records the page's indexes.
        QList<SentCommand> effects;
        PAGES7_DO(apply(p, &effects));
        QCOMPARE(effects[0].frame[1], uchar(0));
        QCOMPARE(effects[0].frame[2], uchar(0));
        QCOMPARE(effects[0].frame[3], uchar(0));
        QTRY_COMPARE_WITH_TIMEOUT(iniList(p.profile(), QStringLiteral("color_Z3/ledEffect")),
                                  (QList<int>{0, 7, 4}), 3000);
    }

    void paletteStripSendsThePalette()
    {
        Program p;
        QVERIFY(p.start("", storedEffect({"0", "7", "4"}))); // STATIC, LED on
        PAGES7_DO(openPage(p, 2, QStringLiteral("pageColor")));
        QQuickItem *palette = pageItem(p, "palette");
        QVERIFY(palette->isEnabled());
        const QList<int> stored = iniList(p.profile(), QStringLiteral("color_Z3/type0"));
        QCOMPARE(stored.size(), 24);

        PAGES7_DO(clickCentre(p, p.item(QStringLiteral("entry3"), palette)));
        QQuickItem *strip = palette->property("strip").value<QQuickItem *>();
        QVERIFY(strip);
        const int before = p.sent().size();
        PAGES7_DO(clickAt(p, strip, QPointF((strip->width() - 1) / 2, strip->height() / 2))); // cyan
        QList<SentCommand> colours;
        PAGES7_DO(waitFor(p, before, 0x10, 1, &colours, 32));
        QCOMPARE(colours[0].frame[1], uchar(0));
        QCOMPARE(colours[0].frame[2], uchar(24));
        QByteArray expected;
        for (int i = 0; i < 24; ++i)
            expected.append(char(i >= 9 && i < 12 ? (i == 9 ? 0 : 255) : stored[i]));
        QCOMPARE(colours[0].block.left(24), expected);
        QList<int> want;
        for (char c : expected)
            want.append(uchar(c));
        QTRY_COMPARE_WITH_TIMEOUT(iniList(p.profile(), QStringLiteral("color_Z3/type0")), want, 3000);
    }

    void resetSendsThePaletteNotTheEffect()
    {
        Program p;
        QVERIFY(p.start("", [](const QString &dir) {
            QSettings s(dir + QStringLiteral("/modules/setting/p1.bin"), QSettings::IniFormat);
            s.setValue(QStringLiteral("color_Z3/ledEffect"), QStringList{"10", "1", "1"});
            QStringList black;
            for (int i = 0; i < 24; ++i)
                black.append(QStringLiteral("0"));
            s.setValue(QStringLiteral("color_Z3/type0"), black);
        }));
        PAGES7_DO(openPage(p, 2, QStringLiteral("pageColor")));
        const QString defaults = p.settingFile(QStringLiteral("pD.bin"));
        const QList<int> defaultEffect = iniList(defaults, QStringLiteral("color_Z3/ledEffect"));
        QCOMPARE(defaultEffect.size(), 3);

        const int before = p.sent().size();
        PAGES7_DO(clickCentre(p, pageItem(p, "reset")));
        QList<SentCommand> colours;
        PAGES7_DO(waitFor(p, before, 0x10, 1, &colours, 32));
        QCOMPARE(colours[0].frame[1], uchar(0));
        QByteArray expected;
        for (int v : iniList(defaults, QStringLiteral("color_Z3/type0")))
            expected.append(char(v));
        QCOMPARE(expected.size(), 24);
        QCOMPARE(colours[0].block.left(24), expected);

        // The default effect is shown, not sent.
        QQuickItem *page = p.item(QStringLiteral("pageColor"));
        QCOMPARE(page->property("effectIndex").toInt(), defaultEffect[0]);
        QCOMPARE(page->property("brightnessIndex").toInt(), defaultEffect[1]);
        QCOMPARE(page->property("speedIndex").toInt(), defaultEffect[2]);
        QCOMPARE(page->property("ledPower").toBool(), defaultEffect[0] != 0);
        QCOMPARE(withCode(p.sentSince(before), 0x0D).size(), 0);
        QCOMPARE(iniList(p.profile(), QStringLiteral("color_Z3/ledEffect")), (QList<int>{10, 1, 1}));
    }

    // ALL SAVE of the bottom menu applies the lighting and the sensor pages
    // (and the key page) from the current profile, although they were never
    // opened and so not even built yet.
    void allSaveAppliesBothPages()
    {
        Program p;
        QVERIFY(p.start("logo=0", storedEffect({"4", "3", "0"})));
        QQuickItem *fn = p.item(QStringLiteral("fnItem"));
        QVERIFY(fn);
        QTRY_COMPARE_WITH_TIMEOUT(fn->x(), 8.0, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(p.view()->isEnabled(), 5000);
        QVERIFY(!p.item(QStringLiteral("pageColor")) && !p.item(QStringLiteral("pageSensor")));

        const int before = p.sent().size();
        PAGES7_DO(clickCentre(p, p.item(QStringLiteral("totalApplyButton"))));
        QList<SentCommand> stage;
        PAGES7_DO(waitFor(p, before, 0x0B, 1, &stage));
        const QList<SentCommand> after = p.sentSince(before);
        const QList<SentCommand> effects = withCode(after, 0x0D);
        QCOMPARE(effects.size(), 1);
        QCOMPARE(effects[0].frame[1], uchar(0x05));
        QCOMPARE(effects[0].frame[2], uchar(115));
        QCOMPARE(effects[0].frame[3], uchar(10));
        QCOMPARE(withCode(after, 0x01).size(), 1);
        QCOMPARE(stage[0].frame[1], uchar(iniText(p.profile(), QStringLiteral("sensor/stage_Z3")).toInt()));
    }
};

PAGES7_MAIN(tst_gui_pages7_color)
#include "tst_gui_pages7_color.moc"
