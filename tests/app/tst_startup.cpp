// Start-up of the host window in-process: runUIEvent filter, device debounce, missing config.
#include "SceneDriver.h"

using namespace scenedriver;

class tst_startup : public QObject {
    Q_OBJECT
    std::unique_ptr<WorkFolder> m_folder;

    static std::unique_ptr<VirtualDevice> mouse() { return std::make_unique<VirtualDevice>(); }

private slots:
    void init()
    {
        resetDeviceProcessState();
        m_folder = std::make_unique<WorkFolder>();
        QVERIFY(m_folder->make(true));
        qputenv("Z3_SCRIPTED_DIALOGS", QFile::encodeName(m_folder->path(u"dialogs.txt"_s)));
    }
    void cleanup()
    {
        qunsetenv("Z3_SCRIPTED_DIALOGS");
        m_folder.reset();
    }

    void runUIEventNeedsItsTag()
    {
        QFile scene(m_folder->path(u"main.qml"_s));
        QVERIFY(scene.open(QIODevice::WriteOnly));
        scene.write(
            "import QtQuick\nItem { width: 640; height: 360; property int runs: 0; property int inits: 0\n"
            " function run() { runs++ }\n function initUI() { inits++ } }\n");
        scene.close();
        qputenv("Z3_SCENE_URL", QUrl::fromLocalFile(scene.fileName()).toString().toUtf8());
        Widget w(nullptr, mouse());
        QQuickItem *root = w.view()->rootObject();
        QVERIFY(root);

        QCoreApplication::postEvent(&w, new runUIEvent(2178));
        QCoreApplication::postEvent(&w, new QEvent(QEvent::User));
        QCoreApplication::sendPostedEvents(&w);
        QCoreApplication::processEvents();
        QCOMPARE(root->property("runs").toInt(), 0);

        w.view()->initUI();
        QCoreApplication::postEvent(&w, new runUIEvent(runUIEvent::kTag));
        QTRY_COMPARE_WITH_TIMEOUT(root->property("runs").toInt(), 1, 5000);
        QCOMPARE(root->property("inits").toInt(), 1);
        qunsetenv("Z3_SCENE_URL");
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
        QVERIFY(deviceReady);
    }

    void missingConfigGivesAnEmptyTitle()
    {
        QVERIFY(QFile::remove(m_folder->setting(u"apConfig.bin"_s)));
        Widget w(nullptr, mouse());
        QCOMPARE(w.windowTitle(), QString());
        QVERIFY(w.startUp());
    }
};

QTEST_MAIN(tst_startup)
#include "tst_startup.moc"
