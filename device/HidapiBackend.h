#pragma once
// The real HID hardware through hidapi (the hidraw backend on Linux). The only
// place that includes hidapi.h.

#include "HidBackend.h"

#include <atomic>

class HidapiBackend : public HidBackend {
public:
    HidapiBackend();
    ~HidapiBackend() override;

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
    std::atomic<bool> m_lastOpenDenied{false};
};
