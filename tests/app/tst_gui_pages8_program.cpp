// The macro page in the real z3config, started as a user starts it and driven
// from outside through the X server: keys typed into its window while
// recording end up in the macro file, through the program's own key-event
// manager: a held key once, a key let go elsewhere not left down. Waits are on
// what the screen or the disk shows.
#include "Harness.h"
#include "Pages7Support.h"

#include <QSet>
#include <QSettings>
#include <QWidget>

namespace {

// Scene coordinates (the window shows the scene 1:1).
const QPoint kMacroFunctionButton(83, 205);
const QRect kMacroHeader(285, 117, 141, 21);
const QPoint kAddMacro(394, 127);
const QPoint kRecord(743, 127);
const QPoint kStop(764, 127);
const QRect kActions(743, 148, 141, 198);
const QRect kFunctionMenu(8, 96, 150, 300);

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
        QVERIFY2(Harness::waitFor([&] { return Harness::distinctColours(crop(h, kFunctionMenu)) > 40; }, 20000),
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

        const QString focus = QStringLiteral("windowfocus");
        const QString sync = QStringLiteral("--sync");
        const QString program = QString::number(h.waitForWindow().id);
        const QString ctrl = QStringLiteral("37");
        QVERIFY(h.click(kRecord.x(), kRecord.y()));

        // Ctrl let go in another program's window: the focus left with the key
        // down, so the next press is a new down.
        QWidget other;
        other.resize(200, 100);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QImage rows = crop(h, kActions);
        QVERIFY(Harness::xdotool({focus, sync, program, QStringLiteral("keydown"), ctrl}));
        QVERIFY2(QTest::qWaitFor([&] { return crop(h, kActions) != rows; }, 5000), "no Ctrl down");
        rows = crop(h, kActions);
        QVERIFY(
            Harness::xdotool({focus, sync, QString::number(other.winId()), QStringLiteral("keyup"), ctrl}));
        QVERIFY2(QTest::qWaitFor([&] { return crop(h, kActions) != rows; }, 5000),
                 "leaving the window did not let go of Ctrl");
        QVERIFY(h.key(ctrl));

        // A key held for a second while the machine is busy: one down, one up,
        // however the window system repeats it.
        QProcess busy;
        busy.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
        QVERIFY(busy.waitForStarted(5000));
        QVERIFY(Harness::xdotool({focus, sync, program, QStringLiteral("keydown"), QStringLiteral("a")}));
        QTest::qWait(1000);
        QVERIFY(Harness::xdotool({QStringLiteral("keyup"), QStringLiteral("a")}));
        busy.kill();
        busy.waitForFinished(5000);

        // Input reaches the program in the order it is given.
        QVERIFY(h.key(QStringLiteral("shift+b")));
        QVERIFY(h.click(kStop.x(), kStop.y()));
        const QStringList expected{QStringLiteral("L Ctrl    [Down]"),  QStringLiteral("L Ctrl      [Up]"),
                                   QStringLiteral("L Ctrl    [Down]"),  QStringLiteral("L Ctrl      [Up]"),
                                   QStringLiteral("A    [Down]"),       QStringLiteral("A      [Up]"),
                                   QStringLiteral("L Shift    [Down]"), QStringLiteral("B    [Down]"),
                                   QStringLiteral("B      [Up]"),       QStringLiteral("L Shift      [Up]")};
        QVERIFY2(Harness::waitFor([&] { return macroLines(file).size() >= expected.size(); }, 5000),
                 qPrintable(macroLines(file).join(QLatin1Char('|'))));
        QStringList lines = macroLines(file);
        // xdotool may let go of the modifier before the key.
        if (lines.size() == expected.size() && lines[8] == expected[9])
            lines.swapItemsAt(8, 9);
        QCOMPARE(lines, expected);
        QVERIFY(h.isRunning());
    }
};

PAGES7_MAIN(tst_gui_pages8_program)
#include "tst_gui_pages8_program.moc"
