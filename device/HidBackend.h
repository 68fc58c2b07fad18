#pragma once
// The only way the device link reaches HID hardware. Mirrors the few hidapi
// calls the link needs, so the real hidapi, the virtual mouse and the wire
// log decorator are interchangeable.
//
// Wire traps (as in hidapi):
//  - feature reports and interrupt writes carry the report ID in data[0];
//  - interrupt reads return the report's data bytes from data[0], without
//    the report ID;
//  - every call returns the number of bytes moved, or -1 on error;
//    readTimeout returns 0 when nothing arrived in time.

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstddef>
#include <cstdint>

struct HidDeviceInfo {
    QByteArray path;
    quint16 vendorId = 0;
    quint16 productId = 0;
    quint16 usagePage = 0;
    quint16 usage = 0;
    int interfaceNumber = -1;
};

// Which of the device's two interfaces a handle talks to. Only the wire log
// uses it; hidapi itself does not care.
enum class HidChannel { Command, Event };

class HidHandle {
public:
    virtual ~HidHandle() = default;
};

class HidBackend {
public:
    virtual ~HidBackend() = default;

    virtual QList<HidDeviceInfo> enumerate(quint16 vendorId, quint16 productId) = 0;
    // nullptr on failure; lastOpenDenied() then tells whether permissions were the cause.
    virtual HidHandle *open(const QByteArray &path, HidChannel channel) = 0;
    virtual int setNonBlocking(HidHandle *handle, bool nonBlocking) = 0;
    virtual int sendFeatureReport(HidHandle *handle, const uchar *data, size_t length) = 0;
    virtual int getFeatureReport(HidHandle *handle, uchar *data, size_t length) = 0;
    virtual int write(HidHandle *handle, const uchar *data, size_t length) = 0;
    virtual int read(HidHandle *handle, uchar *data, size_t length) = 0;
    virtual int readTimeout(HidHandle *handle, uchar *data, size_t length, int milliseconds) = 0;
    virtual void close(HidHandle *handle) = 0;

    // True when the last failed open() failed for lack of permission
    // (the node exists but the user may not open it).
    virtual bool lastOpenDenied() const { return false; }
};
