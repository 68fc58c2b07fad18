#pragma once
// A myQQuickView in a private working folder, wired to a link on the virtual
// device, with the profile files readable from disk and a debug-text catcher.

#include "Hid_Thread.h"
#include "VirtualDevice.h"
#include "myQQuickView.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class BridgesDeviceConfig : public DeviceConfig {
public:
    QString secrecyCode(uint, const QString &) const override { return QStringLiteral("582604"); }
    QStringList productNames() const override { return {QStringLiteral("Keyboard K1"), QStringLiteral("Z3")}; }
};

// Collects debug texts (any thread) while it lives.
struct BridgesDebugCatcher {
    static inline QMutex lock;
    static inline QStringList store;
    QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &t) {
        QMutexLocker locker(&lock);
        store.append(t.trimmed());
    });
    BridgesDebugCatcher()
    {
        QMutexLocker locker(&lock);
        store.clear();
    }
    ~BridgesDebugCatcher() { qInstallMessageHandler(previous); }
    QStringList texts() const
    {
        QMutexLocker locker(&lock);
        return store;
    }
    bool contains(const QString &text) const { return texts().contains(text); }
};

struct BridgesViewRig {
    enum class Link { VirtualMouse, VirtualKeyboard, None };

    QTemporaryDir dir;
    QString previousFolder = QDir::currentPath();
    BridgesDeviceConfig config;
    Hid_Thread hid;
    VirtualDevice *dev = nullptr;
    std::unique_ptr<myQQuickView> view;

    explicit BridgesViewRig(Link link = Link::VirtualMouse)
    {
        Q_INIT_RESOURCE(device);
        resetDeviceProcessState();
        QDir(dir.path()).mkpath(QStringLiteral("modules/setting"));
        QDir::setCurrent(dir.path());
        if (link != Link::None) {
            const bool keyboard = link == Link::VirtualKeyboard;
            auto device = std::make_unique<VirtualDevice>(keyboard ? VirtualDevice::Model::Keyboard
                                                                   : VirtualDevice::Model::Mouse);
            dev = device.get();
            hid.setBackend(std::move(device));
            hid.setDeviceConfig(&config);
            hid.runDeviceCheck(keyboard ? keyboardTable() : QStringLiteral(":/DevInfo.ini"));
            waitIdle();
            dev->clearReceived(); // the handshake is not the test's business
        }
        view = std::make_unique<myQQuickView>();
        if (link != Link::None)
            view->setHidThread(&hid);
    }
    ~BridgesViewRig()
    {
        waitIdle();
        hid.stopWatch();
        view.reset();
        QDir::setCurrent(previousFolder);
    }

    // The product row (1) shows the keyboard model, so the link talks to it.
    QString keyboardTable()
    {
        QFile file(dir.filePath(QStringLiteral("DevInfoKeyboard.ini")));
        file.open(QIODevice::WriteOnly);
        file.write("[common]\nisEncode=true\ntotal=2\n[1]\ntype=0\nvid=04d9\npid=8008\nusagePage=ff01\nusage=0001\n"
                   "usagePage2=ff02\nusage2=0001\nreportLength=64\n");
        return file.fileName();
    }
    bool waitIdle() { return QTest::qWaitFor([this] { return hid.isLinkFree(); }, 5000); }
    // Waits until the device has seen n frames in all and the link is free.
    bool waitFrames(int n)
    {
        return QTest::qWaitFor([&] { return dev && dev->received().size() >= n && hid.isLinkFree(); }, 5000);
    }
    // A value as it stands in profile file n (1..10) on disk; invalid when absent.
    QVariant stored(const QString &key, int n = 1) const
    {
        if (view)
            view->flushProfiles();
        return QSettings(dir.filePath(QStringLiteral("modules/setting/p%1.bin").arg(n)), QSettings::IniFormat)
            .value(key);
    }
    bool isStored(const QString &key, int n = 1) const { return stored(key, n).isValid(); }
};

// A stored list as integers (lists come back as texts).
inline QList<int> bridgesInts(const QVariant &value)
{
    QList<int> out;
    for (const QVariant &v : value.toList())
        out.append(v.toInt());
    return out;
}
