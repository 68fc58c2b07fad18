#include "DeviceMonitor.h"

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

// Windows broadcasts WM_DEVICECHANGE to every top-level window; watching the
// application's native events sees it whichever window gets it.
struct DeviceMonitor::Private : public QAbstractNativeEventFilter {
    DeviceMonitor *owner = nullptr;
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType == "windows_generic_MSG" && static_cast<MSG *>(message)->message == WM_DEVICECHANGE)
            emit owner->deviceChanged();
        return false; // never consumed
    }
    // Unused on Windows; keeps the header's layout.
    QSocketNotifier *notifier = nullptr;
};

DeviceMonitor::DeviceMonitor(QObject *parent) : QObject(parent), d(new Private)
{
    d->owner = this;
    QCoreApplication::instance()->installNativeEventFilter(d);
}

DeviceMonitor::~DeviceMonitor()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(d);
    delete d;
}

bool DeviceMonitor::isActive() const
{
    return true;
}

void DeviceMonitor::readEvents() {}
