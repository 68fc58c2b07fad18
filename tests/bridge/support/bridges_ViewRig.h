#pragma once
// A myQQuickView in a private working folder, wired to a link on the virtual
// device, with the profile files readable from disk and a debug-text catcher.

#include "Hid_Thread.h"
#include "VirtualDevice.h"
#include "myQQuickView.h"

#include <QDir>
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
class BridgesDebugCatcher {
public:
    BridgesDebugCatcher() { s_current = this, m_previous = qInstallMessageHandler(&handle); }
    ~BridgesDebugCatcher() { qInstallMessageHandler(m_previous), s_current = nullptr; }
    QStringList texts() const
    {
        QMutexLocker locker(&m_lock);
        return m_texts;
    }
    bool contains(const QString &text) const { return texts().contains(text); }

private:
    static void handle(QtMsgType, const QMessageLogContext &, const QString &text)
    {
        if (BridgesDebugCatcher *self = s_current) {
            QMutexLocker locker(&self->m_lock);
            self->m_texts.append(text.trimmed());
        }
    }
    static inline BridgesDebugCatcher *s_current = nullptr;
    mutable QMutex m_lock;
    QStringList m_texts;
    QtMessageHandler m_previous = nullptr;
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
        QSettings table(dir.filePath(QStringLiteral("DevInfoKeyboard.ini")), QSettings::IniFormat);
        table.setValue("common/isEncode", true), table.setValue("common/total", 2);
        for (const char *key : {"%1/type=0", "%1/vid=04d9", "%1/pid=8008", "%1/usagePage=ff01", "%1/usage=0001",
                                "%1/usagePage2=ff02", "%1/usage2=0001", "%1/reportLength=64"})
            for (int row : {0, 1})
                table.setValue(QString(key).arg(row).section('=', 0, 0), QString(key).section('=', 1));
        table.sync();
        return table.fileName();
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

inline QVariantList bridgesList(std::initializer_list<int> values) { return QVariantList(values.begin(), values.end()); }

inline QByteArray bridgesBytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(uchar(v)));
    return out;
}
