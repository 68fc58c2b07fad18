// The real program in its own process, driven from outside like a user: the
// opening sequence ends with the menus in place, and the close button of the
// top menu plays the closing animation and ends the program.
#include "Harness.h"

#include <QtTest>

namespace {

bool isCyan(QRgb c)
{
    return qBlue(c) > 150 && qGreen(c) > 150 && qRed(c) < 120;
}

} // namespace

class tst_gui_scene_process : public QObject {
    Q_OBJECT

private slots:
    void openingThenCloseButton()
    {
        // A private X server: windows of tests running in parallel cannot
        // take the click.
        HarnessDisplay display;
        if (!Harness::displayAvailable())
            QSKIP("needs an X display (scripts/test.sh runs Xvfb)");
        Harness h;
        QVERIFY2(h.start(), qPrintable(h.lastError()));
        const Harness::Window w = h.waitForWindow();
        QVERIFY2(w.isValid(), qPrintable(h.output()));
        QCOMPARE(w.geometry.size(), QSize(1000, 600));

        // The current profile P01 lights up once the profile menu has slid in.
        QImage shot;
        const QPoint p01(1000 - 116 - 10 + 10 + 8, 76 + 10 + 15);
        QVERIFY2(Harness::waitFor(
                     [&] {
                         shot = h.screenshot();
                         return !shot.isNull() && isCyan(shot.pixel(p01));
                     },
                     15000),
                 "the profile menu did not come in");
        // Top menu in place: the close button's power sign is drawn in the accent.
        QVERIFY(Harness::waitFor(
            [&] {
                shot = h.screenshot();
                int accent = 0;
                for (int y = 6; y < 34; ++y)
                    accent += isCyan(shot.pixel(970, y)) ? 1 : 0;
                return accent > 3;
            },
            5000));
        // The bottom menu is in, the middle of the screen shows no page.
        const QRgb centre = shot.pixel(500, 300);
        QVERIFY(qRed(centre) < 80 && qGreen(centre) < 80 && qBlue(centre) < 90);

        QVERIFY(h.click(970, 20));
        int code = -1;
        QVERIFY2(h.waitForExit(10000, &code), "the close button did not end the program");
        QCOMPARE(code, 0);
    }
};

QTEST_MAIN(tst_gui_scene_process)
#include "tst_gui_scene_process.moc"
