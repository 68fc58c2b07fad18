// Start-up of the host window against the virtual mouse, in-process: which
// outcome each device state gives, the runUIEvent filter, the device-change
// debounce, syncFW and the window size.

#include "Hid_Thread.h"
#include "NoticeChannel.h"
#include "Ui_Controler.h"
#include "VirtualDevice.h"
#include "Widget.h"
#include "myQQuickView.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QQuickItem>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bool copyData(const QString &from, const QString &to)
{
    for (const char *dir : {"setting", "macro", "i18n", "media", "img"}) {
        const QString base = from + QLatin1Char('/') + QLatin1String(dir);
        QDir().mkpath(to + QLatin1Char('/') + QLatin1String(dir));
        QDirIterator it(base, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString src = it.next();
            const QString dst = to + QLatin1Char('/') + QLatin1String(dir) + src.mid(base.size());
            QDir().mkpath(QFileInfo(dst).absolutePath());
            if (!QFile::copy(src, dst))
                return false;
        }
    }
    return true;
}

QString apConfigPath()
{
    return QStringLiteral("./modules/setting/apConfig.bin");
}

} // namespace

class tst_startup : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_script;

    QString dialogLog() const
    {
        QFile f(m_script + QStringLiteral(".log"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    void setApConfig(const QString &key, const QVariant &value)
    {
        QSettings s(apConfigPath(), QSettings::IniFormat);
        s.setValue(key, value);
    }
    QString configValue(const QString &key)
    {
        QSettings s(apConfigPath(), QSettings::IniFormat);
        return s.value(key).toString();
    }
    QString product()
    {
        QSettings s(apConfigPath(), QSettings::IniFormat);
        return s.value(QStringLiteral("common/product_name")).toStringList().value(1);
    }
    static std::unique_ptr<VirtualDevice> mouse(const QString &code = QStringLiteral("582604"))
    {
        return std::make_unique<VirtualDevice>(VirtualDevice::Model::Mouse, code);
    }

private slots:
    void init()
    {
        resetDeviceProcessState();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(copyData(qEnvironmentVariable("Z3_MODULES_DIR"), m_dir->path() + QStringLiteral("/modules")));
        QVERIFY(QDir::setCurrent(m_dir->path()));
        // Every box is answered and logged instead of shown.
        m_script = m_dir->path() + QStringLiteral("/dialogs.txt");
        QFile script(m_script);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("ok\nok\nok\n");
        qputenv("Z3_SCRIPTED_DIALOGS", m_script.toUtf8());
        qunsetenv("Z3_SCENE_URL");
    }
    void cleanup()
    {
        QDir::setCurrent(QDir::tempPath());
        m_dir.reset();
    }

    void readyMouseOpensTheWindow()
    {
        Widget w(nullptr, mouse());
        QSignalSpy closed(&w, &Widget::closed);
        QVERIFY(w.startUp());
        QVERIFY(deviceReady);
        QVERIFY(!demoMode);
        QVERIFY(w.isVisible());
        QCOMPARE(w.windowTitle(), configValue(QStringLiteral("common/name")));
        QCOMPARE(w.objectName(), QStringLiteral("Widget"));
        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(w.testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(w.view()->objectName(), QStringLiteral("ui_View"));
        QCOMPARE(w.view()->parentWidget(), &w);
        QCOMPARE(dialogLog(), QString());
        // The scene's "run" is requested after "initUI" and shows its root.
        QTRY_VERIFY_WITH_TIMEOUT(w.view()->rootObject() && w.view()->rootObject()->isVisible(), 10000);
        QCOMPARE(closed.count(), 0);
    }

    void failedHandshakeShowsTheBoxAndCloses_data()
    {
        QTest::addColumn<QString>("deviceCode");
        QTest::addColumn<QString>("configCode");
        QTest::addColumn<bool>("absent");
        QTest::newRow("absent") << QStringLiteral("582604") << QStringLiteral("582604") << true;
        QTest::newRow("another code") << QStringLiteral("123456") << QStringLiteral("582604") << false;
        QTest::newRow("five characters") << QStringLiteral("582604") << QStringLiteral("58260") << false;
    }

    void failedHandshakeShowsTheBoxAndCloses()
    {
        QFETCH(QString, deviceCode);
        QFETCH(QString, configCode);
        QFETCH(bool, absent);
        setApConfig(QStringLiteral("common/sCode1"), configCode);
        auto device = mouse(deviceCode);
        VirtualDevice::Faults faults;
        faults.absent = absent;
        device->setFaults(faults);
        Widget w(nullptr, std::move(device));
        QSignalSpy closed(&w, &Widget::closed);
        QVERIFY(!w.startUp());
        QVERIFY(!deviceReady);
        QVERIFY(!w.isVisible());
        QCOMPARE(dialogLog(), QStringLiteral("warning\t%1\tCan not detect %2 !\n")
                                  .arg(configValue(QStringLiteral("common/name")), product()));
        QVERIFY(closed.wait(5000));
        if (configCode.size() != 6) {
            // A code of the wrong length leaves the secrecy bytes as they were.
            for (int i = 0; i < 8; ++i)
                QCOMPARE(int(SecrecyCode[i]), 0);
        }
    }

    void shortProductListStillNamesAProduct()
    {
        setApConfig(QStringLiteral("common/product_name"), QStringList{QStringLiteral("Only Keyboard")});
        auto device = mouse();
        VirtualDevice::Faults faults;
        faults.absent = true;
        device->setFaults(faults);
        Widget w(nullptr, std::move(device));
        QVERIFY(!w.startUp());
        QVERIFY2(
            dialogLog().contains(
                QStringLiteral("\tCan not detect %1 !").arg(QLatin1String(Widget::kFallbackProductName))),
            qPrintable(dialogLog()));
    }

    void demoCodeOpensTheWindowWithTheNotice()
    {
        setApConfig(QStringLiteral("common/sCode1"), QStringLiteral("v-harbor"));
        auto device = mouse();
        VirtualDevice::Faults faults;
        faults.absent = true;
        device->setFaults(faults);
        Widget w(nullptr, std::move(device));
        NoticeChannel notices;
        QString shown;
        notices.setHandler([&](const QString &text) { shown = text; });
        QVERIFY(notices.listen(w.windowTitle()));
        QVERIFY(w.startUp());
        QVERIFY(demoMode);
        QVERIFY(deviceReady);
        QVERIFY(!isEncode);
        QVERIFY(w.isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(shown, QStringLiteral("===== Demo Mode ====="), 5000);
        QCOMPARE(dialogLog(), QString()); // no missing-device box
    }

    void runUIEventNeedsItsTag()
    {
        QTemporaryDir sceneDir;
        QFile scene(sceneDir.path() + QStringLiteral("/main.qml"));
        QVERIFY(scene.open(QIODevice::WriteOnly));
        scene.write(
            "import QtQuick\nItem { width: 640; height: 360; property int runs: 0; property int inits: 0;"
            " property var busy: []\n"
            " function run() { runs++ }\n function initUI() { inits++ }\n"
            " function setProtectUI(interval) { busy = busy.concat([interval]) } }\n");
        scene.close();
        qputenv("Z3_SCENE_URL", QUrl::fromLocalFile(scene.fileName()).toString().toUtf8());
        Widget w(nullptr, mouse());
        QQuickItem *root = w.view()->rootObject();
        QVERIFY(root);
        // The window takes the root item's size.
        QCOMPARE(w.size(), QSize(640, 360));

        QCoreApplication::postEvent(&w, new runUIEvent(2178));
        QCoreApplication::postEvent(&w, new QEvent(QEvent::User));
        QCoreApplication::sendPostedEvents(&w);
        QCoreApplication::processEvents();
        QCOMPARE(root->property("runs").toInt(), 0);

        w.view()->initUI();
        QCoreApplication::postEvent(&w, new runUIEvent(runUIEvent::kTag));
        QTRY_COMPARE_WITH_TIMEOUT(root->property("runs").toInt(), 1, 5000);
        QCOMPARE(root->property("inits").toInt(), 1);

        // The busy lock goes straight to the scene.
        w.controler()->setBusy(800);
        w.controler()->setBusy();
        QCOMPARE(root->property("busy").toList(), (QVariantList{800, 0}));
        qunsetenv("Z3_SCENE_URL");
    }

    void dragStepsMoveTheWindow()
    {
        Widget w(nullptr, mouse());
        w.move(100, 100);
        const QPoint start = w.pos();
        w.controler()->onXChanged(15);
        w.controler()->onYChanged(-7);
        w.controler()->onXChanged(0);
        w.controler()->onYChanged(0);
        QCOMPARE(w.pos(), start + QPoint(15, -7));
    }

    void deviceNoticesAreDebounced()
    {
        Widget w(nullptr, mouse());
        const int delay = 300; // the program keeps 2048 ms
        w.setDeviceCheckDelay(delay);
        QSignalSpy checks(&w, &Widget::deviceChecked);
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 3; ++i) {
            if (i)
                QTest::qWait(delay / 3); // notices closer than the delay
            w.onDeviceChange();
        }
        const qint64 lastNotice = clock.elapsed();
        QCOMPARE(checks.count(), 0);
        QVERIFY(checks.wait(5000));
        QVERIFY2(clock.elapsed() - lastNotice >= delay - 20,
                 qPrintable(QString::number(clock.elapsed() - lastNotice)));
        QTest::qWait(delay * 2);
        QCOMPARE(checks.count(), 1);
        QCOMPARE(w.deviceTimer().interval(), delay);
        QVERIFY(deviceReady);
    }

    void productionDelayIsTheDocumentedOne()
    {
        Widget w(nullptr, mouse());
        QCOMPARE(w.deviceTimer().interval(), 2048);
        QVERIFY(w.deviceTimer().isSingleShot());
    }

    void syncFWCopiesPicturesOnlyForTheKeyboard()
    {
        myQQuickView view;
        Hid_Thread hid;
        hid.setBackend(std::make_unique<VirtualDevice>(VirtualDevice::Model::Keyboard));
        view.setHidThread(&hid);
        // The mouse is current: nothing is written.
        const QByteArray before = [] {
            QFile f(QStringLiteral("./modules/setting/p1.bin"));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        view.syncFW();
        {
            QFile f(QStringLiteral("./modules/setting/p1.bin"));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), before);
        }
        view.profileWrite(QStringLiteral("userPicture/3"), QVariantList{7, 7});

        hid.swichCurDevice(0);
        QCOMPARE(hid.currentDevice(), 0u);
        view.syncFW();
        hid.stopWatch();
        // On disk at once, five pictures of 512 bytes each; the keyboard row
        // is never discovered, so the reads leave the cleared buffer.
        QSettings file(QStringLiteral("./modules/setting/p1.bin"), QSettings::IniFormat);
        for (int p = 0; p < 5; ++p) {
            const QStringList bytes = file.value(QStringLiteral("userPicture/%1").arg(p)).toStringList();
            QCOMPARE(bytes.size(), 512);
            QCOMPARE(bytes.count(QStringLiteral("0")), 512);
        }
        QVERIFY(!file.contains(QStringLiteral("userPicture/5")));
    }

    void profileListsKeepTheirFormOnDisk()
    {
        myQQuickView view;
        view.profileWrite(QStringLiteral("sensor/dpi_Z3"), QVariantList{500, 1000.0, QStringLiteral("1500")});
        view.profileWrite(QStringLiteral("sensor/one"), QVariantList{42});
        view.profileWrite(QStringLiteral("sensor/none"), QVariantList{});
        view.profileWrite(QStringLiteral("sensor/stage_Z3"), 3);
        // Written once control is back in the event loop, in the plain list form.
        QByteArray text;
        QVERIFY(QTest::qWaitFor(
            [&] {
                QFile raw(QStringLiteral("./modules/setting/p1.bin"));
                text = raw.open(QIODevice::ReadOnly) ? raw.readAll() : QByteArray();
                return text.contains("stage_Z3=3");
            },
            5000));
        QVERIFY2(text.contains("dpi_Z3=500, 1000, 1500"), text.constData());
        QVERIFY(!text.contains("@Variant"));
        // A fresh reader (another process would see the same) gets lists back.
        myQQuickView again;
        QCOMPARE(again.profileList(QStringLiteral("sensor/dpi_Z3")),
                 (QVariantList{QStringLiteral("500"), QStringLiteral("1000"), QStringLiteral("1500")}));
        QCOMPARE(again.profileList(QStringLiteral("sensor/one")), (QVariantList{QStringLiteral("42")}));
        QCOMPARE(again.profileList(QStringLiteral("sensor/none")), QVariantList());
        QCOMPARE(again.profileList(QStringLiteral("sensor/missing")), QVariantList());
        QCOMPARE(again.profileValue(QStringLiteral("sensor/stage_Z3")).toInt(), 3);
    }

    void missingConfigGivesAnEmptyTitle()
    {
        QVERIFY(QFile::remove(apConfigPath()));
        Widget w(nullptr, mouse());
        QCOMPARE(w.windowTitle(), QString());
        QVERIFY(w.startUp());
    }
};

QTEST_MAIN(tst_startup)
#include "tst_startup.moc"
