#include "DeviceMonitor.h"

#include <QSocketNotifier>
#include <QtDebug>

#include <cstring>
#include <libudev.h>

struct DeviceMonitor::Private {
    udev *context = nullptr;
    udev_monitor *monitor = nullptr;
    QSocketNotifier *notifier = nullptr;
};

DeviceMonitor::DeviceMonitor(QObject *parent) : QObject(parent), d(new Private)
{
    d->context = udev_new();
    if (!d->context) {
        qWarning("No udev: device changes are not noticed");
        return;
    }
    d->monitor = udev_monitor_new_from_netlink(d->context, "udev");
    if (!d->monitor || udev_monitor_filter_add_match_subsystem_devtype(d->monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(d->monitor) < 0) {
        qWarning("No udev monitor: device changes are not noticed");
        if (d->monitor)
            udev_monitor_unref(d->monitor);
        d->monitor = nullptr;
        return;
    }
    d->notifier = new QSocketNotifier(udev_monitor_get_fd(d->monitor), QSocketNotifier::Read, this);
    connect(d->notifier, &QSocketNotifier::activated, this, &DeviceMonitor::readEvents);
}

DeviceMonitor::~DeviceMonitor()
{
    delete d->notifier;
    if (d->monitor)
        udev_monitor_unref(d->monitor);
    if (d->context)
        udev_unref(d->context);
    delete d;
}

bool DeviceMonitor::isActive() const
{
    return d->notifier != nullptr;
}

void DeviceMonitor::readEvents()
{
    // Drain everything queued; one notice per add or remove.
    while (udev_device *device = udev_monitor_receive_device(d->monitor)) {
        const char *action = udev_device_get_action(device);
        const bool relevant = action && (!std::strcmp(action, "add") || !std::strcmp(action, "remove"));
        udev_device_unref(device);
        if (relevant)
            emit deviceChanged();
    }
}
