#pragma once
// Tells when HID devices come or go, so the host window can repeat its
// device check once things have settled. On Linux: a udev monitor on the
// hidraw subsystem, read through a socket notifier on the GUI thread.

#include <QObject>

class QSocketNotifier;

class DeviceMonitor : public QObject {
    Q_OBJECT
public:
    explicit DeviceMonitor(QObject *parent = nullptr);
    ~DeviceMonitor() override;

    // False when the system offers no device notices (the program then only
    // checks at start-up).
    bool isActive() const;

signals:
    // A hidraw node was added or removed.
    void deviceChanged();

private:
    void readEvents();

    struct Private;
    Private *d;
};
