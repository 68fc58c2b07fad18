// The program as a user meets it: started for real under X, driven with real
// input, judged by its windows, exit codes, screenshots and wire log.

#include "Harness.h"
#include "Unwritable.h"

#include <QSettings>
#include <QtTest>

#include <csignal>

namespace {

// What the delivered configuration calls the window and the product.
QString configValue(const Harness &h, const QString &key)
{
    QSettings s(h.workDir() + QStringLiteral("/modules/setting/apConfig.bin"), QSettings::IniFormat);
    return s.value(key).toString();
}

QString productName(const Harness &h)
{
    QSettings s(h.workDir() + QStringLiteral("/modules/setting/apConfig.bin"), QSettings::IniFormat);
    return s.value(QStringLiteral("common/product_name")).toStringList().value(1);
}

void setConfigValue(const Harness &h, const QString &key, const QString &value)
{
    QSettings s(h.workDir() + QStringLiteral("/modules/setting/apConfig.bin"), QSettings::IniFormat);
    s.setValue(key, value);
}

// A drawn scene has many colours; a blank (black or one-colour) window few.
int distinctColours(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            colours.insert(image.pixel(x, y));
    return colours.size();
}

bool waitForScene(Harness &h, int timeoutMs = 20000)
{
    return Harness::waitFor([&] { return distinctColours(h.screenshot()) > 20; }, timeoutMs);
}

QString scriptedLog(const QString &script)
{
    QFile f(script + QStringLiteral(".log"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QString makeScript(const Harness &h, const QString &answers)
{
    const QString path = h.workDir() + QStringLiteral("/../dialogs.txt");
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(answers.toUtf8());
    return path;
}

} // namespace

class tst_gui_shell : public QObject {
    Q_OBJECT
    std::unique_ptr<HarnessDisplay> m_display;

private slots:
    void initTestCase()
    {
        m_display = std::make_unique<HarnessDisplay>();
        if (!Harness::displayAvailable())
            QSKIP("needs an X display and xdotool (scripts/test.sh starts Xvfb)");
    }
    void cleanupTestCase() { m_display.reset(); }

    void windowMapsAtItsSizeAndShowsTheScene()
    {
        Harness h;
        QVERIFY2(h.start(), qPrintable(h.lastError()));
        const Harness::Window w = h.waitForWindow();
        QVERIFY2(w.isValid(), qPrintable(h.output()));
        QCOMPARE(w.geometry.size(), QSize(1000, 600));
        // Started from an empty folder elsewhere, it still read its own
        // configuration: the title comes from it.
        QVERIFY(!configValue(h, QStringLiteral("common/name")).isEmpty());
        QCOMPARE(w.name, configValue(h, QStringLiteral("common/name")));
        QVERIFY2(waitForScene(h), "the window stays blank");
        // The handshake went over the wire.
        QVERIFY(h.wireLog().contains(QStringLiteral(" cmd feature-out 00 ")));
        QVERIFY(h.output().contains(QStringLiteral("Device Connect")));
    }

    void startedElsewhereItFindsAndKeepsItsFiles()
    {
        Harness h;
        QTemporaryDir elsewhere;
        QVERIFY2(h.start({QStringLiteral("--virtual-device")}, {}, elsewhere.path()),
                 qPrintable(h.lastError()));
        QVERIFY2(h.waitForWindow().isValid(), qPrintable(h.output()));
        QVERIFY(waitForScene(h));
        // Nothing was created in the folder it was started from.
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
        ::kill(pid_t(h.pid()), SIGTERM);
        int code = -1;
        QVERIFY(h.waitForExit(10000, &code));
        QCOMPARE(code, 0);
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    void readOnlyCopyKeepsChangesInTheUserFolder()
    {
        Harness h;
        const QString dataHome = h.workDir() + QStringLiteral("/../data");
        const Unwritable unwritable({h.workDir() + QStringLiteral("/modules")});
        if (!unwritable.holds())
            QSKIP("this file system lets the tests write anywhere");
        const QString script = makeScript(h, QStringLiteral("ok\n"));
        QVERIFY(h.start({QStringLiteral("--virtual-device")}, {{QStringLiteral("Z3_SCRIPTED_DIALOGS"), script}}));
        QVERIFY(h.waitForWindow().isValid());
        QVERIFY(waitForScene(h));
        // The settings the program writes are the user's copies; no box.
        const QString profile = dataHome + QStringLiteral("/z3config/modules/setting/apConfig.bin");
        QVERIFY(QFileInfo(profile).isWritable());
        QCOMPARE(scriptedLog(script), QString());
    }

    void installedWithoutAWritableHomeShowsItsDataAndSaysSo()
    {
        Harness h;
        // The installed layout: <prefix>/bin/z3config, <prefix>/share/z3config/modules.
        const QString share = h.workDir() + QStringLiteral("/../share/z3config");
        QVERIFY(QDir().mkpath(share));
        QVERIFY(QDir().rename(h.workDir() + QStringLiteral("/modules"), share + QStringLiteral("/modules")));
        const QString home = h.workDir() + QStringLiteral("/../home");
        QVERIFY(QDir().mkpath(home));
        const Unwritable unwritable({share, home});
        if (!unwritable.holds())
            QSKIP("this file system lets the tests write anywhere");
        const QString script = makeScript(h, QStringLiteral("ok\n"));
        QVERIFY(h.start({QStringLiteral("--virtual-device")}, {{QStringLiteral("Z3_SCRIPTED_DIALOGS"), script},
                                                              {QStringLiteral("XDG_DATA_HOME"), home},
                                                              {QStringLiteral("HOME"), home}}));
        QVERIFY(h.waitForWindow().isValid());
        QVERIFY2(waitForScene(h), "no artwork");
        QVERIFY(Harness::waitFor([&] { return !scriptedLog(script).isEmpty(); }, 10000));
        const QString log = scriptedLog(script);
        QCOMPARE(log.count(QLatin1Char('\n')), 1);
        QVERIFY2(log.startsWith(QStringLiteral("warning\t%1\t").arg(h.windows().value(0).name)) &&
                     log.contains(QStringLiteral("changes will not be kept")),
                 qPrintable(log));
    }

    void relativeWireLogIsTakenFromTheStartFolder()
    {
        Harness h;
        QTemporaryDir elsewhere;
        QProcess p;
        p.setWorkingDirectory(elsewhere.path());
        p.start(h.programPath(),
                {QStringLiteral("--virtual-device"), QStringLiteral("--wire-log"), QStringLiteral("wire.log")});
        const QString log = elsewhere.path() + QStringLiteral("/wire.log");
        const bool written = Harness::waitFor([&] { return QFileInfo(log).size() > 0; }, 20000);
        ::kill(pid_t(p.processId()), SIGTERM);
        QVERIFY(p.waitForFinished(10000));
        QVERIFY(written);
        QVERIFY(!QFileInfo::exists(h.workDir() + QStringLiteral("/wire.log")));
    }

    void missingMouseShowsTheBoxAndEndsAfterOk()
    {
        Harness h;
        QVERIFY2(h.start({QStringLiteral("--virtual-device")},
                         {{QStringLiteral("Z3_VIRTUAL_DEVICE"), QStringLiteral("absent")}}),
                 qPrintable(h.lastError()));
        const Harness::Window box = h.waitForDialog();
        QVERIFY2(box.isValid(), qPrintable(h.output()));
        // A small box captioned with the window title; no main window.
        QCOMPARE(box.name, configValue(h, QStringLiteral("common/name")));
        QVERIFY(box.geometry.width() < 1000 && box.geometry.height() < 600);
        QCOMPARE(h.windows().size(), 1);
        QVERIFY(h.key(QStringLiteral("Return"), box));
        int code = -1;
        QVERIFY2(h.waitForExit(10000, &code), "the program did not end after OK");
        QCOMPARE(code, 0);
        QVERIFY(h.windows().isEmpty());
    }

    void missingMouseBoxNamesTheProduct_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<bool>("denied");
        QTest::newRow("absent") << QStringLiteral("absent") << false;
        QTest::newRow("another code") << QStringLiteral("code=123456") << false;
        QTest::newRow("access denied") << QStringLiteral("deny") << true;
    }

    void missingMouseBoxNamesTheProduct()
    {
        QFETCH(QString, device);
        QFETCH(bool, denied);
        Harness h;
        const QString script = makeScript(h, QStringLiteral("ok\n"));
        QVERIFY(
            h.start({QStringLiteral("--virtual-device")}, {{QStringLiteral("Z3_VIRTUAL_DEVICE"), device},
                                                           {QStringLiteral("Z3_SCRIPTED_DIALOGS"), script}}));
        int code = -1;
        QVERIFY(h.waitForExit(15000, &code));
        QCOMPARE(code, 0);
        const QString log = scriptedLog(script);
        QVERIFY(!productName(h).isEmpty());
        QVERIFY2(log.startsWith(QStringLiteral("warning\t%1\tCan not detect %2 !")
                                    .arg(configValue(h, QStringLiteral("common/name")), productName(h))),
                 qPrintable(log));
        QCOMPARE(log.contains(QStringLiteral("access to it was denied")), denied);
        QCOMPARE(log.count(QLatin1Char('\n')), 1);
    }

    void demoModeOpensTheWindowAndShowsTheNotice()
    {
        Harness h;
        setConfigValue(h, QStringLiteral("common/sCode1"), QStringLiteral("v-harbor"));
        QVERIFY(h.start({QStringLiteral("--virtual-device")},
                        {{QStringLiteral("Z3_VIRTUAL_DEVICE"), QStringLiteral("absent")}}));
        const Harness::Window w = h.waitForWindow();
        QVERIFY2(w.isValid(), qPrintable(h.output()));
        const Harness::Window box = h.waitForDialog();
        QVERIFY2(box.isValid(), "no demo notice");
        QCOMPARE(box.name, w.name);
        QVERIFY(h.key(QStringLiteral("Return"), box));
        QVERIFY(Harness::waitFor([&] { return h.windows().size() == 1; }, 10000));
        QVERIFY(h.isRunning());

        // The notice's text, through the same channel with scripted dialogs.
        Harness scripted;
        setConfigValue(scripted, QStringLiteral("common/sCode1"), QStringLiteral("v-harbor"));
        const QString script = makeScript(scripted, QStringLiteral("ok\n"));
        QVERIFY(scripted.start({QStringLiteral("--virtual-device")},
                               {{QStringLiteral("Z3_VIRTUAL_DEVICE"), QStringLiteral("absent")},
                                {QStringLiteral("Z3_SCRIPTED_DIALOGS"), script}}));
        QVERIFY(scripted.waitForWindow().isValid());
        QVERIFY(Harness::waitFor([&] { return !scriptedLog(script).isEmpty(); }, 10000));
        QCOMPARE(scriptedLog(script), QStringLiteral("warning\t%1\t===== Demo Mode =====\n").arg(w.name));
    }

    void dragMovesTheWindow()
    {
        Harness h;
        QVERIFY(h.start());
        QVERIFY(h.waitForWindow().isValid());
        QVERIFY(waitForScene(h));
        const QRect before = h.mainGeometry();
        // An empty part of the scene: the drag area lies under everything.
        QVERIFY(h.drag(QPoint(500, 330), QPoint(580, 390)));
        QVERIFY2(Harness::waitFor([&] { return h.mainGeometry().topLeft() != before.topLeft(); }, 5000),
                 "the window did not move");
        const QPoint moved = h.mainGeometry().topLeft() - before.topLeft();
        QVERIFY2(qAbs(moved.x() - 80) <= 4 && qAbs(moved.y() - 60) <= 4,
                 qPrintable(QStringLiteral("moved by %1,%2").arg(moved.x()).arg(moved.y())));
    }

    void closeButtonEndsTheProgram()
    {
        Harness h;
        QVERIFY(h.start());
        QVERIFY(h.waitForWindow().isValid());
        QVERIFY(waitForScene(h));
        // The close button sits at the right of the top menu, which slides in
        // at the end of the opening animation. One click: a second one during
        // the closing animation would start it again.
        QVERIFY2(h.waitForStill(), "the opening animation does not end");
        QVERIFY(h.click(970, 20));
        int code = -1;
        const bool ended = h.waitForExit(10000, &code);
        QVERIFY2(ended, qPrintable(h.output()));
        QCOMPARE(code, 0);
        QVERIFY(h.windows().isEmpty());
    }

    void terminationDuringTheStartUpBoxEndsCleanly()
    {
        Harness h;
        QVERIFY(h.start({QStringLiteral("--virtual-device")},
                        {{QStringLiteral("Z3_VIRTUAL_DEVICE"), QStringLiteral("absent")}}));
        QVERIFY(h.waitForDialog().isValid());
        ::kill(pid_t(h.pid()), SIGTERM);
        int code = -1;
        QVERIFY2(h.waitForExit(10000, &code), "SIGTERM did not end the program while its box was open");
        QCOMPARE(code, 0);
    }

    void terminationEndsCleanly()
    {
        Harness h;
        QVERIFY(h.start());
        QVERIFY(h.waitForWindow().isValid());
        ::kill(pid_t(h.pid()), SIGINT);
        int code = -1;
        QVERIFY(h.waitForExit(10000, &code));
        QCOMPARE(code, 0);
    }
};

QTEST_GUILESS_MAIN(tst_gui_shell)
#include "tst_gui_shell.moc"
