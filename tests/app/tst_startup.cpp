// Start-up of the host window in-process: device debounce, missing config.
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
