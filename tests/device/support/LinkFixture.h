#pragma once
// A device link wired to the virtual device, with a small configuration, a
// debug-text catcher and helpers to wait for the link without sleeping.

#include "Hid_Thread.h"
#include "VirtualDevice.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

inline void initDeviceResourcesOnce()
{
    static bool done = false;
    if (!done) {
        Q_INIT_RESOURCE(device);
        done = true;
    }
}

// Secrecy code and product names as the application configuration would give them.
class TestDeviceConfig : public DeviceConfig {
public:
    QString code = QStringLiteral("582604");
    bool hasCode = true;
    QStringList names{QStringLiteral("Keyboard K1"), QStringLiteral("Z3")};

    QString secrecyCode(uint did, const QString &defaultValue) const override
    {
        Q_UNUSED(did);
        return hasCode ? code : defaultValue;
    }
    QStringList productNames() const override { return names; }
};

// Collects every debug text written while it lives (from any thread).
class DebugCatcher {
public:
    DebugCatcher()
    {
        instance() = this;
        m_previous = qInstallMessageHandler(&DebugCatcher::handle);
    }
    ~DebugCatcher()
    {
        qInstallMessageHandler(m_previous);
        instance() = nullptr;
    }
    QStringList texts() const
    {
        QMutexLocker locker(&m_lock);
        return m_texts;
    }
    bool contains(const QString &text) const { return texts().contains(text); }
    int count(const QString &text) const { return int(texts().count(text)); }
    void clear()
    {
        QMutexLocker locker(&m_lock);
        m_texts.clear();
    }

private:
    static DebugCatcher *&instance()
    {
        static DebugCatcher *current = nullptr;
        return current;
    }
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (DebugCatcher *self = instance()) {
            QMutexLocker locker(&self->m_lock);
            self->m_texts.append(text.trimmed());
        }
        Q_UNUSED(type);
        Q_UNUSED(context);
    }
    mutable QMutex m_lock;
    QStringList m_texts;
    QtMessageHandler m_previous = nullptr;
};

// A device table whose product row (row 1) is the keyboard, so the link
// discovers and talks to the keyboard model.
inline QString writeKeyboardTable(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("DevInfoKeyboard.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    file.write("[common]\nisEncode = true\ntotal = 2\n\n"
               "[0]\ntype = 0\nvid = 04d9\npid = 8008\nusagePage = ff01\nusage = 0001\n"
               "usagePage2 = ff02\nusage2 = 0001\nreportLength = 64\n\n"
               "[1]\ntype = 0\nvid = 04d9\npid = 8008\nusagePage = ff01\nusage = 0001\n"
               "usagePage2 = ff02\nusage2 = 0001\nreportLength = 64\n");
    return path;
}

// One link and its virtual device. The device stays owned by the link.
struct Link {
    TestDeviceConfig config;
    Hid_Thread hid;
    VirtualDevice *dev = nullptr;
    QStringList failedHandshakes;

    explicit Link(VirtualDevice::Model model = VirtualDevice::Model::Mouse,
                  const QString &deviceCode = QStringLiteral("582604"))
    {
        initDeviceResourcesOnce();
        resetDeviceProcessState();
        auto device = std::make_unique<VirtualDevice>(model, deviceCode);
        dev = device.get();
        hid.setBackend(std::move(device));
        hid.setDeviceConfig(&config);
        hid.setHandshakeFailedHandler([this](const QString &name) { failedHandshakes.append(name); });
    }

    void check(const QString &table = QStringLiteral(":/DevInfo.ini")) { hid.runDeviceCheck(table); }

    // Waits until the transfer in flight has released the link.
    bool waitIdle(int boundMs = 5000)
    {
        return QTest::qWaitFor([this] { return hid.isLinkFree(); }, boundMs);
    }

    // Waits until the device has seen n frames and the link is free again.
    bool waitFrames(int n, int boundMs = 5000)
    {
        return QTest::qWaitFor([&] { return dev->received().size() >= n && hid.isLinkFree(); }, boundMs);
    }
};

inline QByteArray bytes(const std::array<uchar, 8> &frame)
{
    return QByteArray(reinterpret_cast<const char *>(frame.data()), 8);
}

inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// Deterministic test pattern of n bytes starting at seed.
inline QByteArray pattern(int n, uchar seed)
{
    QByteArray out(n, '\0');
    for (int i = 0; i < n; ++i)
        out[i] = char(uchar(seed + i * 7));
    return out;
}

// The interrupt OUT reports that carry block over reports of reportLength
// data bytes: report ID 0, the next chunk, zeros up to reportLength.
inline QByteArray framedReports(const QByteArray &block, int reportLength)
{
    QByteArray out;
    for (int at = 0; at < block.size(); at += reportLength) {
        QByteArray chunk = block.mid(at, reportLength);
        chunk.append(QByteArray(reportLength - chunk.size(), '\0'));
        out.append('\0');
        out.append(chunk);
    }
    return out;
}
