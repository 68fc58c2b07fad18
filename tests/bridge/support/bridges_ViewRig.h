#pragma once
// A myQQuickView in a private working folder, wired to a link on the virtual
// device, with the profile files readable from disk.

#include "LinkFixture.h"
#include "myQQuickView.h"
#include "stores_WorkFolder.h"

#include <QSettings>

struct BridgesViewRig {
    enum class Link { VirtualMouse, VirtualKeyboard, None };

    StoresWorkFolder work{false};
    ::Link link;
    Hid_Thread &hid = link.hid;
    VirtualDevice *dev = nullptr;
    std::unique_ptr<myQQuickView> view;

    explicit BridgesViewRig(Link kind = Link::VirtualMouse)
        : link(kind == Link::VirtualKeyboard ? VirtualDevice::Model::Keyboard : VirtualDevice::Model::Mouse)
    {
        Q_INIT_RESOURCE(device);
        if (kind != Link::None) {
            dev = link.dev;
            QTemporaryDir tables;
            link.check(kind == Link::VirtualKeyboard ? writeKeyboardTable(tables) : QStringLiteral(":/DevInfo.ini"));
            waitIdle();
            dev->clearReceived(); // the handshake is not the test's business
        }
        view = std::make_unique<myQQuickView>();
        if (kind != Link::None)
            view->setHidThread(&hid);
    }
    ~BridgesViewRig()
    {
        waitIdle();
        hid.stopWatch();
        view.reset();
    }

    bool waitIdle() { return link.waitIdle(); }
    // Waits until the device has seen n frames in all and the link is free.
    bool waitFrames(int n) { return dev && link.waitFrames(n); }
    // A value as it stands in profile file n (1..10) on disk; invalid when absent.
    QVariant stored(const QString &key, int n = 1) const
    {
        if (view)
            view->flushProfiles();
        return QSettings(work.file(QStringLiteral("modules/setting/p%1.bin").arg(n)), QSettings::IniFormat).value(key);
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
