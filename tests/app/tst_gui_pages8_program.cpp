// The macro page in the real z3config, started as a user starts it and driven
// from outside through the X server: keys typed into its window while
// recording end up in the macro file, through the program's own key-event
// manager. Waits are on what the screen or the disk shows.
#include "Harness.h"
#include "Pages7Support.h"

#include <QSet>
#include <QSettings>

namespace {

// Scene coordinates (the window shows the scene 1:1).
const QPoint kMacroFunctionButton(83, 205);
const QRect kMacroHeader(285, 117, 141, 21);
const QPoint kAddMacro(394, 127);
const QPoint kRecord(743, 127);
const QPoint kStop(764, 127);
const QRect kFunctionMenu(8, 96, 150, 300);

int distinctColours(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    return colours.size();
}

QImage crop(const Harness &h, const QRect &r)
{
    const QImage shot = h.screenshot();
    return shot.isNull() ? QImage() : shot.copy(r);
}

QStringList macroLines(const QString &file)
{
    QSettings s(file, QSettings::IniFormat);
    QStringList out;
    const int total = s.value(QStringLiteral("config/total"), 0).toInt();
    for (int i = 0; i < total; ++i)
        out.append(s.value(QStringLiteral("macro/%1").arg(i)).toString());
    return out;
}

} // namespace

class tst_gui_pages8_program : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!Harness::displayAvailable())
            QSKIP("needs an X display and xdotool (scripts/test.sh starts Xvfb)");
    }

    void keysTypedIntoTheProgramAreRecorded()
    {
        Harness h;
        {
            // Animations off: every slide ends within a few milliseconds.
            QSettings ap(h.workDir() + QStringLiteral("/modules/setting/apConfig.bin"), QSettings::IniFormat);
            ap.setValue(QStringLiteral("common/3"), 1);
        }
        QVERIFY2(h.start(), qPrintable(h.lastError()));
        QVERIFY(h.waitForWindow().isValid());
        // The function menu has slid in once its buttons are drawn.
        QVERIFY2(Harness::waitFor([&] { return distinctColours(crop(h, kFunctionMenu)) > 40; }, 20000),
                 "the function menu did not show");

        const QImage emptyHeader = crop(h, kMacroHeader);
        QVERIFY(h.click(kMacroFunctionButton.x(), kMacroFunctionButton.y()));
        QVERIFY2(Harness::waitFor([&] { return crop(h, kMacroHeader) != emptyHeader; }, 10000),
                 "the macro page did not show");
        // The page has stopped sliding when two pictures agree.
        QImage last;
        QVERIFY(Harness::waitFor(
            [&] {
                const QImage now = crop(h, kMacroHeader);
                const bool still = now == last;
                last = now;
                return still;
            },
            5000));

        const QString file = h.workDir() + QStringLiteral("/modules/macro/Macro. 001.bin");
        QVERIFY(h.click(kAddMacro.x(), kAddMacro.y()));
        QVERIFY2(Harness::waitFor([&] { return QFileInfo::exists(file); }, 5000), "no macro was created");

        // Input reaches the program in the order it is given.
        QVERIFY(h.click(kRecord.x(), kRecord.y()));
        QVERIFY(h.key(QStringLiteral("a")));
        QVERIFY(h.key(QStringLiteral("shift+b")));
        QVERIFY(h.click(kStop.x(), kStop.y()));
        const QStringList expected{QStringLiteral("A    [Down]"),       QStringLiteral("A      [Up]"),
                                   QStringLiteral("L Shift    [Down]"), QStringLiteral("B    [Down]"),
                                   QStringLiteral("B      [Up]"),       QStringLiteral("L Shift      [Up]")};
        QVERIFY2(Harness::waitFor([&] { return macroLines(file).size() >= 6; }, 5000),
                 qPrintable(macroLines(file).join(QLatin1Char('|'))));
        QStringList lines = macroLines(file);
        // xdotool may let go of the modifier before the key.
        if (lines.size() == 6 && lines[4] == expected[5])
            lines.swapItemsAt(4, 5);
        QCOMPARE(lines, expected);
        QVERIFY(h.isRunning());
    }
};

PAGES7_MAIN(tst_gui_pages8_program)
#include "tst_gui_pages8_program.moc"
