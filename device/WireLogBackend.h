#pragma once
// A HID backend that passes every call to another backend and writes the wire
// log: one line per report moved, opened or closed,
//
//   <ms since start, 3 decimals> <cmd|evt> <op> <bytes>
//
//   op           bytes
//   feature-out  the report sent, report ID first (scrambled as on the wire)
//   feature-in   the report received, report ID first, as many bytes as arrived
//   out          the interrupt report written, report ID first
//   in           the bytes the read returned (no report ID; empty on timeout)
//   open         the device path (text)
//   close        nothing
//   fail         the failed op, then its bytes (or the path for open)
//
// Bytes are lower-case hex pairs separated by one space. Each line is flushed
// at once so a killed program leaves a complete log. Thread-safe.

#include "HidBackend.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMutex>

#include <memory>

class WireLogBackend : public HidBackend {
public:
    WireLogBackend(std::unique_ptr<HidBackend> inner, const QString &fileName);
    ~WireLogBackend() override;

    bool isLogging() const;
    HidBackend *inner() const { return m_inner.get(); }

    QList<HidDeviceInfo> enumerate(quint16 vendorId, quint16 productId) override;
    HidHandle *open(const QByteArray &path, HidChannel channel) override;
    int setNonBlocking(HidHandle *handle, bool nonBlocking) override;
    int sendFeatureReport(HidHandle *handle, const uchar *data, size_t length) override;
    int getFeatureReport(HidHandle *handle, uchar *data, size_t length) override;
    int write(HidHandle *handle, const uchar *data, size_t length) override;
    int read(HidHandle *handle, uchar *data, size_t length) override;
    int readTimeout(HidHandle *handle, uchar *data, size_t length, int milliseconds) override;
    void close(HidHandle *handle) override;
    bool lastOpenDenied() const override;

private:
    void log(HidChannel channel, const char *op, const QByteArray &rest);
    void logReport(HidHandle *handle, const char *op, int result, const uchar *data, size_t sent);

    std::unique_ptr<HidBackend> m_inner;
    mutable QMutex m_lock;
    QFile m_file;
    QElapsedTimer m_clock;
};
