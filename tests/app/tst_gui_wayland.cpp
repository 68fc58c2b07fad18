// The real z3config on Wayland in a nested weston (X11 back end for a seat, pixman for no GPU),
// driven through weston's X window and read from its output on the X server.
#include "Harness.h"

#include <QDir>
#include <QStandardPaths>

namespace {

// A flat desktop, so that every other pixel belongs to a client.
const QRgb kBackground = qRgb(0x20, 0x40, 0x60);
const QSize kOutput(1200, 800);

// The part of the output a window covers: rows and columns with many pixels off the background
// (the pointer sprite has too few).
QRect windowRect(const QImage &output)
{
    if (output.isNull())
        return QRect();
    QList<int> rows(output.height()), columns(output.width());
    for (int y = 0; y < output.height(); ++y)
        for (int x = 0; x < output.width(); ++x)
            if ((output.pixel(x, y) & 0xFFFFFF) != (kBackground & 0xFFFFFF)) {
                ++rows[y];
                ++columns[x];
            }
    QRect r;
    for (int y = 0; y < rows.size(); ++y)
        for (int x = 0; x < columns.size(); ++x)
            if (rows[y] > 100 && columns[x] > 100)
                r |= QRect(x, y, 1, 1);
    return r;
}

} // namespace

class tst_gui_wayland : public QObject {
    Q_OBJECT

    std::unique_ptr<HarnessDisplay> m_display;
    QTemporaryDir m_dir;
    QProcess m_weston;
    QString m_socket;
    QPoint m_origin; // weston's output on the X screen

    QImage output() const { return Harness::grab(QRect(m_origin, kOutput)); }
    bool move(QPoint p, const QStringList &then = {}) const { return Harness::pointer(m_origin + p, then); }

private slots:
    void initTestCase()
    {
        m_display = std::make_unique<HarnessDisplay>();
        if (!Harness::displayAvailable())
            QSKIP("needs an X display and xdotool (scripts/test.sh starts Xvfb)");
        if (QStandardPaths::findExecutable(u"weston"_s).isEmpty()) {
            qWarning("*** weston is not installed: the Wayland test did NOT run "
                     "(scripts/install-deps.sh installs it) ***");
            QSKIP("weston is not installed");
        }
        const QString runtime = m_dir.filePath(u"runtime"_s);
        QVERIFY(QDir().mkpath(runtime));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString ini = m_dir.filePath(u"weston.ini"_s);
        QFile config(ini);
        QVERIFY(config.open(QIODevice::WriteOnly) &&
                config.write("[core]\nidle-time=0\n[shell]\npanel-position=none\nlocking=false\n"
                             "background-color=0xff" +
                             QByteArray::number(kBackground & 0xFFFFFF, 16) + "\n"));
        config.close();
        m_socket = runtime + u"/wayland-z3"_s;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_RUNTIME_DIR"_s, runtime);
        m_weston.setProcessEnvironment(env);
        m_weston.setProcessChannelMode(QProcess::MergedChannels);
        m_weston.start("weston",
                       {"--backend=x11-backend.so", "--use-pixman", "--socket=wayland-z3", "--config=" + ini,
                        u"--width=%1"_s.arg(kOutput.width()), u"--height=%1"_s.arg(kOutput.height())});
        const bool listening =
            m_weston.waitForStarted(10000) &&
            QTest::qWaitFor([&] { return QFile::exists(m_socket) || m_weston.state() != QProcess::Running; },
                            30000);
        if (m_weston.state() != QProcess::Running) {
            qWarning("*** weston could not start: the Wayland test did NOT run ***\n%s",
                     m_weston.readAll().constData());
            QSKIP("weston could not start");
        }
        QVERIFY2(listening, "weston runs but opened no socket within 30 s");
        // Its output window, and the desktop drawn on it.
        QString id;
        QVERIFY(Harness::waitFor(
            [&] {
                return Harness::xdotool({"search", "--onlyvisible", "--class", "weston"}, &id);
            },
            20000));
        m_origin = Harness::geometry(id.section('\n', 0, 0)).topLeft();
        QVERIFY2(
            QTest::qWaitFor([&] { return output().pixel(kOutput.width() / 2, 5) == kBackground; }, 20000),
            "weston did not draw its desktop");
    }

    void cleanupTestCase()
    {
        m_weston.terminate();
        m_weston.waitForFinished(5000); // the destructor kills it otherwise
        m_display.reset();
    }

    void oneWindowThatShowsTheSceneMovesWhenDraggedAndRecordsKeys()
    {
        Harness h;
        h.config(u"common/3"_s, 1); // animations off: pages show at once
        QVERIFY2(h.start({u"--virtual-device"_s}, {{u"QT_QPA_PLATFORM"_s, u"wayland"_s},
                                                   {u"WAYLAND_DISPLAY"_s, m_socket},
                                                   {u"WAYLAND_DEBUG"_s, u"client"_s}}),
                 qPrintable(h.lastError()));

        // The scene shows in one window of the scene's size.
        QRect window;
        const bool shown = QTest::qWaitFor(
            [&] {
                const QImage shot = output();
                window = windowRect(shot);
                return window.width() >= 900 && window.height() >= 500 &&
                       Harness::distinctColours(shot.copy(window)) > 40;
            },
            30000);
        QVERIFY2(shown, "no scene on the screen");
        QVERIFY2(window.width() <= 1010 && window.height() <= 610, "more than one window's worth on screen");

        // Dragged by an empty spot of its top bar, the window follows.
        const QPoint from = window.topLeft() + QPoint(500, 25);
        // Towards the wider margin, so the window stays whole on the output.
        const QPoint by(window.left() > kOutput.width() - 1 - window.right() ? -70 : 70,
                        window.top() > kOutput.height() - 1 - window.bottom() ? -60 : 60);
        QVERIFY(move(from, {"mousedown", "1"}));
        for (int i = 1; i <= 8; ++i) {
            QVERIFY(move(from + by * i / 8));
            QTest::qWait(30);
        }
        QVERIFY(Harness::xdotool({"mouseup", "1"}));
        QRect moved;
        const bool followed = QTest::qWaitFor(
            [&] {
                moved = windowRect(output());
                const QPoint d = moved.topLeft() - window.topLeft();
                return d.x() * by.x() >= by.x() * by.x() / 2 && d.y() * by.y() >= by.y() * by.y() / 2;
            },
            10000);
        QVERIFY2(followed, "the window did not follow the drag");
        const QPoint d = moved.topLeft() - window.topLeft();
        QVERIFY(qAbs(d.x()) <= qAbs(by.x()) + 2 && qAbs(d.y()) <= qAbs(by.y()) + 2);
        QCOMPARE(moved.size(), window.size());
        QCOMPARE(h.output().count(u".get_toplevel("_s), 1); // one window all along

        // Keys are recorded as on X11: a held key once, Right Shift by name.
        const QPoint scene = moved.topLeft();
        const auto click = [&](QPoint at) { return move(scene + at, {"click", "1"}); };
        const auto crop = [&](QRect r) { return output().copy(r.translated(scene)); };
        const QRect header(285, 117, 141, 21);
        const QImage emptyHeader = crop(header);
        QVERIFY(click({83, 205})); // MACRO
        QVERIFY2(QTest::qWaitFor([&] { return crop(header) != emptyHeader; }, 10000), "no macro page");
        const QString file = h.workDir() + u"/modules/macro/Macro. 001.bin"_s;
        QVERIFY(click({394, 127})); // add a macro
        QVERIFY2(QTest::qWaitFor([&] { return QFileInfo::exists(file); }, 10000), "no macro was created");
        QVERIFY(click({743, 127})); // record
        QVERIFY(Harness::xdotool({"keydown", "a"}));
        QTest::qWait(1000); // held: weston sends no repeats, Qt's own are marked
        QVERIFY(Harness::xdotool({"keyup", "a"}));
        QVERIFY(Harness::xdotool({"key", "62"})); // Right Shift
        QVERIFY(click({764, 127}));               // stop
        QStringList lines;
        QVERIFY2(Harness::waitFor([&] { return (lines = Harness::macroLines(file)).size() >= 4; }, 10000),
                 qPrintable(lines.join('|')));
        QCOMPARE(lines,
                 (QStringList{"A    [Down]", "A      [Up]", "R Shift    [Down]", "R Shift      [Up]"}));
        QVERIFY(h.isRunning());
    }
};

QTEST_MAIN(tst_gui_wayland)
#include "tst_gui_wayland.moc"
