// The sensor and lighting pages in the real z3config process, driven from
// outside with real X input at window coordinates, as a user would: apply on
// the sensor page and WAVE on the lighting page, checked on the wire log the
// program writes and in its profile file.
#include "Harness.h"
#include "Pages7Support.h"

using namespace pages7;

namespace {

// Where things are in the window: the page container sits at (166, 62).
constexpr int kPageX = 166;
constexpr int kPageY = 62;
const QPoint kSensorButton(83, 96 + 3 * 76 + 33);
const QPoint kColorButton(83, 96 + 2 * 76 + 33);
const QPoint kApply(kPageX + 700 - 130 + 48 + 16 + 24, kPageY + 470 - 70 + 24);

// The middle of a colour strip is cyan; on the sensor page (RGB indicator) the
// strip is at page (370, 196), on the lighting page at (200, 224).
bool cyanish(const QImage &shot, QPoint at)
{
    if (shot.isNull() || !shot.rect().contains(at))
        return false;
    const QColor c = shot.pixelColor(at);
    return c.green() > c.red() + 30 && c.blue() > c.red() + 30;
}

// Parks the pointer where nothing reacts to hovering (between the bottom
// menu's buttons and the window's right edge).
bool parkPointer(Harness &h)
{
    const QPoint at = h.mainGeometry().topLeft() + QPoint(760, 590);
    return Harness::xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
}

// Clicks a control and waits until the area it draws in shows the change, so
// the next step starts from the new state; a click the program never saw
// (it may come before the window takes input) is repeated.
bool clickAndSee(Harness &h, QPoint at, const QRect &area)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!parkPointer(h))
            return false;
        const QImage before = h.screenshot().copy(area);
        if (before.isNull() || !h.click(at.x(), at.y()) || !parkPointer(h))
            return false;
        if (Harness::waitFor([&] { return h.screenshot().copy(area) != before; }, 3000))
            return true;
    }
    return false;
}

} // namespace

class tst_gui_pages7_program : public QObject {
    Q_OBJECT

    // Starts the program, waits for the opening to finish (the window stops
    // changing) and opens a function page by its menu button.
    static void startAndOpen(Harness &h, const QString &device, QPoint menuButton, QPoint pageSignature,
                             const std::function<void(const QString &)> &prepare)
    {
        QVERIFY2(h.lastError().isEmpty(), qPrintable(h.lastError()));
        {
            QSettings ap(h.workDir() + QStringLiteral("/modules/setting/apConfig.bin"), QSettings::IniFormat);
            ap.setValue(QStringLiteral("common/3"), 1); // animations off
            ap.setValue(QStringLiteral("common/2"), 1); // sound off (see Pages7Support.h)
        }
        if (prepare)
            prepare(h.workDir());
        QVERIFY2(
            h.start({QStringLiteral("--virtual-device")}, {{QStringLiteral("Z3_VIRTUAL_DEVICE"), device}}),
            qPrintable(h.lastError()));
        QVERIFY(h.waitForWindow().isValid());
        QImage last;
        QVERIFY2(Harness::waitFor(
                     [&] {
                         const QImage now = h.screenshot();
                         const bool stable = !now.isNull() && now == last;
                         last = now;
                         return stable;
                     },
                     15000),
                 "the opening sequence never settled");
        QVERIFY(h.click(menuButton.x(), menuButton.y()));
        QVERIFY2(Harness::waitFor([&] { return cyanish(h.screenshot(), pageSignature); }, 10000),
                 "the page did not open");
    }

private slots:
    void initTestCase()
    {
        if (!Harness::displayAvailable())
            QSKIP("needs an X display (scripts/test.sh starts Xvfb)");
    }

    void sensorApplyReachesMouseAndProfile()
    {
        Harness h;
        PAGES7_DO(startAndOpen(h, QStringLiteral("logo=0"), kSensorButton,
                               QPoint(kPageX + 370 + 156, kPageY + 196 + 9), {}));
        const QString profile = h.workDir() + QStringLiteral("/modules/setting/p1.bin");

        const QRect rateGroup(kPageX + 30, kPageY + 52, 311, 24);
        const QRect cursorSlider(kPageX + 30, kPageY + 132, 309, 21);
        const QRect dpiGroup(kPageX + 370, kPageY + 52, 311, 53);
        QVERIFY(clickAndSee(h, QPoint(kPageX + 30 + 80 + 37, kPageY + 52 + 3 + 9), rateGroup));  // 250 Hz
        QVERIFY(clickAndSee(h, QPoint(kPageX + 30 + 308, kPageY + 132 + 10), cursorSlider));     // speed 10
        QVERIFY(clickAndSee(h, QPoint(kPageX + 370 + 157 + 20, kPageY + 52 + 8 + 9), dpiGroup)); // stage 3
        const int before = sentCommands(h.wireLog()).size();
        QVERIFY(h.click(kApply.x(), kApply.y()));

        QList<SentCommand> after;
        QVERIFY2(Harness::waitFor(
                     [&] {
                         after = sentCommands(h.wireLog()).mid(before);
                         return !withCode(after, 0x0B).isEmpty();
                     },
                     10000),
                 "no 0BH after apply");
        QCOMPARE(after.size(), 2);
        QCOMPARE(after[0].code(), uchar(0x01));
        QCOMPARE(after[0].frame[1], uchar(0x04));
        QCOMPARE(after[1].code(), uchar(0x0B));
        QCOMPARE(after[1].frame[1], uchar(3));
        QVERIFY(Harness::waitFor([&] { return iniText(profile, QStringLiteral("sensor/stage_Z3")) == "3"; },
                                 5000));
        QCOMPARE(iniText(profile, QStringLiteral("sensor/reportRate_Z3")), QStringLiteral("4"));
        QCOMPARE(iniText(profile, QStringLiteral("sensor/cursorSpeed_Z3")), QStringLiteral("10"));
        QCOMPARE(iniText(profile, QStringLiteral("sensor/verticalScrollLines_Z3")), QStringLiteral("2"));
        QCOMPARE(iniText(profile, QStringLiteral("sensor/doubleClickSpeed_Z3")), QStringLiteral("5"));
    }

    void waveAppliedWithItsCodes()
    {
        Harness h;
        PAGES7_DO(startAndOpen(
            h, QString(), kColorButton, QPoint(kPageX + 200 + 156, kPageY + 180 + 44 + 9),
            [](const QString &dir) {
                QSettings s(dir + QStringLiteral("/modules/setting/p1.bin"), QSettings::IniFormat);
                s.setValue(QStringLiteral("color_Z3/ledEffect"), QStringList{"1", "7", "4"}); // TWINKLING
            }));
        const QString profile = h.workDir() + QStringLiteral("/modules/setting/p1.bin");

        // Open the effect list; its rows slide out under the box, 20 px apart.
        // The last row (OFF) lies where the page draws nothing else: the list
        // is fully out when that area changes, and closed when it is back.
        const QPoint box(kPageX + 200 + 100, kPageY + 52 + 10);
        const QPoint wave(box.x(), kPageY + 52 + 20 + 4 * 20 + 10);
        const QRect lastRow(kPageX + 200, kPageY + 52 + 20 + 10 * 20 + 2, 200, 16);
        QVERIFY(parkPointer(h));
        const QImage closed = h.screenshot().copy(lastRow);
        QVERIFY2(clickAndSee(h, box, lastRow), "the effect list did not open");
        QVERIFY(h.click(wave.x(), wave.y()));
        QVERIFY(parkPointer(h));
        QVERIFY2(Harness::waitFor([&] { return h.screenshot().copy(lastRow) == closed; }, 5000),
                 "the effect list did not close");
        QVERIFY(clickAndSee(h, QPoint(kPageX + 200 + 50, kPageY + 122 + 10),
                            QRect(kPageX + 200, kPageY + 122, 141, 21))); // brightness 3
        QVERIFY(clickAndSee(h, QPoint(kPageX + 400, kPageY + 122 + 10),
                            QRect(kPageX + 400, kPageY + 122, 141, 21))); // speed 0
        const int before = sentCommands(h.wireLog()).size();
        QVERIFY(h.click(kApply.x(), kApply.y()));

        QList<SentCommand> effects;
        QVERIFY2(
            Harness::waitFor(
                [&] { return !(effects = withCode(sentCommands(h.wireLog()).mid(before), 0x0D)).isEmpty(); },
                10000),
            "no 0DH after apply");
        QCOMPARE(effects.size(), 1);
        QCOMPARE(effects[0].frame[1], uchar(0x05));
        QCOMPARE(effects[0].frame[2], uchar(0x73));
        QCOMPARE(effects[0].frame[3], uchar(0x0A));
        QVERIFY(Harness::waitFor(
            [&] {
                return iniList(profile, QStringLiteral("color_Z3/ledEffect")) == QList<int>({4, 3, 0});
            },
            5000));
    }
};

PAGES7_MAIN(tst_gui_pages7_program)
#include "tst_gui_pages7_program.moc"
