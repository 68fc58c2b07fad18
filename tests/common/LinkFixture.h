#pragma once
// A device link wired to the virtual device, a debug-text catcher and the
// byte helpers the device tests share.

#include "Files.h"
#include "Hid_Thread.h"
#include "VirtualDevice.h"

#include <QFile>
#include <QMutex>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Secrecy code and product names as the application configuration gives them.
struct TestDeviceConfig : DeviceConfig {
    QString code = QStringLiteral("582604");
    QString secrecyCode(uint, const QString &) const override { return code; }
    QStringList productNames() const override { return {"Keyboard K1", "Z3"}; }
};

// Collects the debug texts written from any thread while it lives.
struct DebugCatcher {
    static inline QMutex lock;
    static inline QStringList store;
    QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &t) {
            QMutexLocker locker(&lock);
            store.append(t.trimmed());
        });
    DebugCatcher() { texts(true); }
    ~DebugCatcher() { qInstallMessageHandler(previous); }
    // The texts so far; clear: forget them.
    static QStringList texts(bool clear = false)
    {
        QMutexLocker locker(&lock);
        return clear ? std::exchange(store, {}) : store;
    }
};

// A device table whose product row (row 1) is the keyboard.
inline QString writeKeyboardTable(const QTemporaryDir &dir)
{
    const QString file = dir.filePath("DevInfoKeyboard.ini");
    writeFile(file,
        "[common]\nisEncode = true\ntotal = 2\n[1]\ntype = 0\nvid = 04d9\npid = 8008\nusagePage = ff01\n"
        "usage = 0001\nusagePage2 = ff02\nusage2 = 0001\nreportLength = 64\n");
    return file;
}

// One link and its virtual device (owned by the link).
struct Link {
    TestDeviceConfig config;
    Hid_Thread hid;
    VirtualDevice *dev = nullptr;
    QStringList failedHandshakes;

    explicit Link(VirtualDevice::Model model = VirtualDevice::Model::Mouse,
                  std::unique_ptr<VirtualDevice> device = nullptr)
    {
        resetDeviceProcessState();
        if (!device)
            device = std::make_unique<VirtualDevice>(model);
        dev = device.get();
        hid.setBackend(std::move(device));
        hid.setDeviceConfig(&config);
        hid.setHandshakeFailedHandler([this](const QString &name) { failedHandshakes.append(name); });
    }
    void check(const QString &table = QStringLiteral(":/DevInfo.ini")) { hid.runDeviceCheck(table); }
    bool waitIdle(int boundMs = 5000) { return waitFrames(0, boundMs); }
    // Until the device has seen n frames and the link is free again.
    bool waitFrames(int n, int boundMs = 5000)
    {
        return QTest::qWaitFor([&] { return dev->received().size() >= n && hid.isLinkFree(); }, boundMs);
    }
    void setFaults(void (*set)(VirtualDevice::Faults &))
    {
        VirtualDevice::Faults f;
        set(f);
        dev->setFaults(f);
    }
};

inline const auto bytes = [](const std::array<uchar, 8> &f) { return QByteArray((const char *)f.data(), 8); };
inline const auto hex = [](const char *text) { return QByteArray::fromHex(text); };
inline const auto raw = [](QByteArray &b) { return reinterpret_cast<uchar *>(b.data()); };
// Deterministic test pattern of n bytes starting at seed.
inline QByteArray pattern(int n, uchar seed)
{
    QByteArray out(n, '\0');
    for (int i = 0; i < n; ++i)
        out[i] = char(uchar(seed + i * 7));
    return out;
}
// Interrupt OUT reports carrying block: report ID 0, the next chunk, zeros up to reportLength.
inline QByteArray framedReports(const QByteArray &block, int reportLength)
{
    QByteArray out;
    for (int at = 0; at < block.size(); at += reportLength)
        out += '\0' + block.mid(at, reportLength).leftJustified(reportLength, '\0');
    return out;
}
