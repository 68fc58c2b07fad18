#pragma once
// A device link wired to the virtual device, a debug-text catcher and the
// byte helpers the device tests share.

#include "Hid_Thread.h"
#include "VirtualDevice.h"

#include <QByteArray>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Secrecy code and product names as the application configuration gives them.
class TestDeviceConfig : public DeviceConfig {
public:
    QString code = QStringLiteral("582604");
    QStringList names{QStringLiteral("Keyboard K1"), QStringLiteral("Z3")};
    QString secrecyCode(uint, const QString &) const override { return code; }
    QStringList productNames() const override { return names; }
};

// Collects every debug text written while it lives (from any thread).
class DebugCatcher {
public:
    DebugCatcher()
    {
        self() = this;
        m_previous = qInstallMessageHandler(&DebugCatcher::handle);
    }
    ~DebugCatcher()
    {
        qInstallMessageHandler(m_previous);
        self() = nullptr;
    }
    QStringList texts() const
    {
        QMutexLocker locker(&m_lock);
        return m_texts;
    }
    void clear()
    {
        QMutexLocker locker(&m_lock);
        m_texts.clear();
    }

private:
    static DebugCatcher *&self()
    {
        static DebugCatcher *current = nullptr;
        return current;
    }
    static void handle(QtMsgType, const QMessageLogContext &, const QString &text)
    {
        if (DebugCatcher *c = self()) {
            QMutexLocker locker(&c->m_lock);
            c->m_texts.append(text.trimmed());
        }
    }
    mutable QMutex m_lock;
    QStringList m_texts;
    QtMessageHandler m_previous = nullptr;
};

// A device table whose product row (row 1) is the keyboard.
inline QString writeKeyboardTable(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("DevInfoKeyboard.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    const QByteArray row = "type = 0\nvid = 04d9\npid = 8008\nusagePage = ff01\nusage = 0001\n"
                           "usagePage2 = ff02\nusage2 = 0001\nreportLength = 64\n";
    file.write("[common]\nisEncode = true\ntotal = 2\n[0]\n" + row + "[1]\n" + row);
    return path;
}

// One link and its virtual device (owned by the link).
struct Link {
    TestDeviceConfig config;
    Hid_Thread hid;
    VirtualDevice *dev = nullptr;
    QStringList failedHandshakes;

    explicit Link(VirtualDevice::Model model = VirtualDevice::Model::Mouse,
                  const QString &deviceCode = QStringLiteral("582604"))
    {
        resetDeviceProcessState();
        auto device = std::make_unique<VirtualDevice>(model, deviceCode);
        dev = device.get();
        hid.setBackend(std::move(device));
        hid.setDeviceConfig(&config);
        hid.setHandshakeFailedHandler([this](const QString &name) { failedHandshakes.append(name); });
    }
    void check(const QString &table = QStringLiteral(":/DevInfo.ini")) { hid.runDeviceCheck(table); }
    bool waitIdle(int boundMs = 5000)
    {
        return QTest::qWaitFor([this] { return hid.isLinkFree(); }, boundMs);
    }
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

inline QByteArray bytes(const std::array<uchar, 8> &frame)
{
    return QByteArray(reinterpret_cast<const char *>(frame.data()), 8);
}
inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}
inline uchar *raw(QByteArray &b)
{
    return reinterpret_cast<uchar *>(b.data());
}
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
