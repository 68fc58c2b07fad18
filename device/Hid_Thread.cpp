// Hid_Thread: device table, discovery of the two HID interfaces, the
// secrecy-code handshake and the event watcher. The transport lives in
// Hid_Transport.cpp, the command sets in Hid_MouseCommands.cpp and
// Hid_KeyboardCommands.cpp.

#include "Hid_Thread.h"

#include "FrameCipher.h"
#include "HidapiBackend.h"

#include <QDebug>
#include <QMutexLocker>
#include <QRandomGenerator>
#include <QSettings>

#include <algorithm>
#include <cstring>

std::atomic<bool> isEncode{false};
std::atomic<bool> demoMode{false};
std::atomic<bool> deviceReady{false};
uchar SecrecyCode[8] = {};

void resetDeviceProcessState()
{
    isEncode = false;
    demoMode = false;
    deviceReady = false;
    std::memset(SecrecyCode, 0, sizeof SecrecyCode);
}

namespace {

const QString kDefaultSecrecyCode = QStringLiteral("582604");
const QString kDemoCode = QStringLiteral("v-harbor");
// A damaged table must not make the check loop for ever or allocate without bound.
constexpr int kMaxTableRows = 256;

class DefaultDeviceConfig : public DeviceConfig {
public:
    QString secrecyCode(uint, const QString &defaultValue) const override { return defaultValue; }
    QStringList productNames() const override { return {}; }
};

const DefaultDeviceConfig &defaultConfig()
{
    static const DefaultDeviceConfig config;
    return config;
}

// Hexadecimal text of the table; absent or unreadable values take the default.
int readHex(const QSettings &table, const QString &key, int defaultValue, int maxValue)
{
    const QVariant value = table.value(key);
    if (!value.isValid())
        return defaultValue;
    bool ok = false;
    const qlonglong parsed = value.toString().trimmed().toLongLong(&ok, 16);
    if (!ok || parsed < 0 || parsed > maxValue)
        return defaultValue;
    return int(parsed);
}

} // namespace

// The device table is a resource of this static library: register it here so
// no program that links the link can start without its table.
static void registerDeviceResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(device);
        return true;
    }();
    Q_UNUSED(registered);
}

const uchar Hid_Thread::kKey[8] = {'V', 'e', 'L', 'm', 'o', 'R', 'i', 'k'};

Hid_Thread::Hid_Thread(QObject *parent) : QThread(parent), m_backend(std::make_unique<HidapiBackend>())
{
    registerDeviceResources();
}

Hid_Thread::~Hid_Thread()
{
    stopWatch();
    m_setFuture.waitForFinished();
    closeCommandInterface();
    closeEventInterface();
}

// ---- seams ------------------------------------------------------------------

void Hid_Thread::setBackend(std::unique_ptr<HidBackend> backend)
{
    // Handles belong to the backend that opened them.
    stopWatch();
    m_setFuture.waitForFinished();
    closeCommandInterface();
    closeEventInterface();
    m_backend = std::move(backend);
}

HidBackend *Hid_Thread::backend() const
{
    return m_backend.get();
}

void Hid_Thread::setDeviceConfig(const DeviceConfig *config)
{
    m_config = config;
}

void Hid_Thread::setHandshakeFailedHandler(std::function<void(const QString &)> handler)
{
    m_handshakeFailed = std::move(handler);
}

// ---- device table and discovery -----------------------------------------------

QList<DevInfoRow> Hid_Thread::loadDeviceTable(const QString &fileName)
{
    const DeviceConfig &config = m_config ? *m_config : defaultConfig();
    const QStringList names = config.productNames();

    QSettings table(fileName, QSettings::IniFormat);
    const int total = std::clamp(table.value(QStringLiteral("common/total"), 0).toInt(), 0, kMaxTableRows);

    QList<DevInfoRow> rows;
    for (int n = 0; n < total; ++n) {
        const QString group = QString::number(n) + QLatin1Char('/');
        DevInfoRow row;
        row.type = readHex(table, group + QStringLiteral("type"), -1, 0x7fffffff);
        row.vid = quint16(readHex(table, group + QStringLiteral("vid"), 0, 0xffff));
        row.pid = quint16(readHex(table, group + QStringLiteral("pid"), 0, 0xffff));
        row.usagePage = quint16(readHex(table, group + QStringLiteral("usagePage"), 0, 0xffff));
        row.usage = quint16(readHex(table, group + QStringLiteral("usage"), 0, 0xffff));
        row.usagePage2 = quint16(readHex(table, group + QStringLiteral("usagePage2"), 0, 0xffff));
        row.usage2 = quint16(readHex(table, group + QStringLiteral("usage2"), 0, 0xffff));
        row.reportLength = table.value(group + QStringLiteral("reportLength"), 0).toUInt();
        // A configuration with fewer product names still names the device in
        // messages: fall back to its USB ids.
        row.name = n < names.size() ? names.at(n)
                                    : QStringLiteral("%1:%2")
                                          .arg(row.vid, 4, 16, QLatin1Char('0'))
                                          .arg(row.pid, 4, 16, QLatin1Char('0'));
        rows.append(row);
    }
    return rows;
}

void Hid_Thread::runDeviceCheck(const QString &tableFile)
{
    m_accessDenied = false;
    const QList<DevInfoRow> rows = loadDeviceTable(tableFile);
    discoverDevices(rows);
    {
        QSettings table(tableFile, QSettings::IniFormat);
        isEncode = table.value(QStringLiteral("common/isEncode"), false).toBool();
    }
    swichCurDevice(m_currentDevice);
}

void Hid_Thread::discoverDevices(const QList<DevInfoRow> &rows)
{
    QList<DeviceEntry> list;
    for (int i = 0; i < rows.size(); ++i) {
        DeviceEntry entry;
        entry.id = i;
        entry.name = rows.at(i).name;
        entry.type = rows.at(i).type;
        list.append(entry);
    }

    // Only the product row is searched.
    constexpr int kProductRow = 1;
    if (rows.size() > kProductRow && m_backend) {
        const DevInfoRow &row = rows.at(kProductRow);
        QString commandPath;
        QString eventPath;
        const QList<HidDeviceInfo> found = m_backend->enumerate(row.vid, row.pid);
        for (const HidDeviceInfo &info : found) {
            if (info.usagePage == row.usagePage && info.usage == row.usage)
                commandPath = QString::fromLatin1(info.path);
            if (info.usagePage == row.usagePage2 && info.usage == row.usage2)
                eventPath = QString::fromLatin1(info.path);
            if (!commandPath.isEmpty() && !eventPath.isEmpty()) {
                DeviceEntry &entry = list[kProductRow];
                entry.commandPath = commandPath;
                entry.eventPath = eventPath;
                entry.reportLength = row.reportLength;
            }
        }
    }

    QMutexLocker lock(&m_devicesLock);
    m_devices = list;
}

QList<DeviceEntry> Hid_Thread::deviceList() const
{
    QMutexLocker lock(&m_devicesLock);
    return m_devices;
}

DeviceEntry Hid_Thread::entry(int did) const
{
    QMutexLocker lock(&m_devicesLock);
    if (did < 0 || did >= m_devices.size())
        return DeviceEntry(); // a table without this row: empty paths, every transfer fails
    return m_devices.at(did);
}

DeviceEntry Hid_Thread::currentEntry() const
{
    return entry(int(m_currentDevice));
}

void Hid_Thread::setPath(int did, bool command, const QString &path)
{
    QMutexLocker lock(&m_devicesLock);
    if (did < 0 || did >= m_devices.size())
        return;
    if (command)
        m_devices[did].commandPath = path;
    else
        m_devices[did].eventPath = path;
}

HidHandle *Hid_Thread::openInterface(int did, bool command)
{
    const DeviceEntry e = entry(did);
    const QString path = command ? e.commandPath : e.eventPath;
    if (path.isEmpty() || !m_backend)
        return nullptr;

    closeInterface(command);
    HidHandle *handle = m_backend->open(path.toLatin1(), command ? HidChannel::Command : HidChannel::Event);
    if (!handle) {
        // The interface counts as gone until the next device check.
        setPath(did, command, QString());
        if (m_backend->lastOpenDenied() && uint(did) == m_currentDevice)
            m_accessDenied = true;
        return nullptr;
    }
    m_backend->setNonBlocking(handle, false);
    (command ? m_commandHandle : m_eventHandle).store(handle);
    return handle;
}

void Hid_Thread::closeInterface(bool command)
{
    HidHandle *handle = (command ? m_commandHandle : m_eventHandle).exchange(nullptr);
    if (handle && m_backend)
        m_backend->close(handle);
}

HidHandle *Hid_Thread::openCommandInterface(int did)
{
    return openInterface(did, true);
}

HidHandle *Hid_Thread::openEventInterface(int did)
{
    return openInterface(did, false);
}

void Hid_Thread::closeCommandInterface()
{
    closeInterface(true);
}

void Hid_Thread::closeEventInterface()
{
    closeInterface(false);
}

// ---- device selection and handshake ---------------------------------------------

void Hid_Thread::swichCurDevice(uint did)
{
    if (did != m_currentDevice) {
        m_currentDevice = did;
        startWatch(did);
    }
    chkDeviceIsEnCode();
}

void Hid_Thread::chkDeviceIsEnCode()
{
    const DeviceConfig &config = m_config ? *m_config : defaultConfig();
    QString code;
    if (m_currentDevice <= 1)
        code = config.secrecyCode(m_currentDevice, kDefaultSecrecyCode);
    if (code.size() == 6) {
        for (int k = 0; k < 6; ++k)
            SecrecyCode[1 + k] = uchar(code.at(k).toLatin1());
    }

    // The challenge must not be predictable, and never all zero: an absent
    // device leaves a zero answer, which must not count as the echo.
    uchar challenge[4];
    do {
        const quint32 r = QRandomGenerator::system()->generate();
        for (int i = 0; i < 4; ++i)
            challenge[i] = uchar(r >> (8 * i));
    } while (!(challenge[0] | challenge[1] | challenge[2] | challenge[3]));

    uchar echo[4];
    std::memcpy(echo, challenge, sizeof echo);
    // A dropped or failed exchange leaves the challenge untouched, which must
    // not pass for the device's echo.
    const bool exchanged = exchangeSecrecyCode(echo);

    if (exchanged && std::memcmp(echo, challenge, sizeof echo) == 0) {
        qDebug("%s", "Device Connect");
        deviceReady = true;
        return;
    }

    qDebug("%s", "Device Error");
    deviceReady = false;
    if (code == kDemoCode) {
        demoMode = true;
        deviceReady = true;
        isEncode = false;
        return;
    }
    if (m_handshakeFailed)
        m_handshakeFailed(currentEntry().name);
}

void Hid_Thread::hid_00H_GetSecrecyCode(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4)
{
    uchar bytes[4] = {byte1, byte2, byte3, byte4};
    exchangeSecrecyCode(bytes);
    byte1 = bytes[0];
    byte2 = bytes[1];
    byte3 = bytes[2];
    byte4 = bytes[3];
}

bool Hid_Thread::exchangeSecrecyCode(uchar bytes[4])
{
    bool ok = false;
    claimOrReport("cmd Failed 00", [&] {
        fillFrame(0x00, bytes[0], bytes[1], bytes[2], bytes[3]);
        prefillAnswer();
        ok = transferFrame(0);
        for (int i = 0; i < 4; ++i)
            bytes[i] = answer(1 + i);
    });
    return ok;
}

// ---- watcher ------------------------------------------------------------------------

void Hid_Thread::startWatch(uint did)
{
    stopWatch();
    watching = true;
    m_watchThread.reset(QThread::create([this, did] { watchDevice(did); }));
    m_watchThread->setObjectName(QStringLiteral("device watcher"));
    m_watchThread->start();
}

void Hid_Thread::stopWatch()
{
    watching = false;
    // Also joins a watcher that ended on its own (removal, no event path).
    // The wait is bounded by one event read.
    if (m_watchThread) {
        m_watchThread->wait();
        m_watchThread.reset();
    }
}

void Hid_Thread::watchDevice(uint did)
{
    if (entry(int(did)).eventPath.isEmpty())
        return;

    bool removed = false;
    while (watching.load()) {
        HidHandle *handle = openEventInterface(int(did));
        if (!handle) {
            removed = true;
            break;
        }
        uchar report[4] = {};
        const int n = m_backend->readTimeout(handle, report, sizeof report, kWatchReadTimeoutMs);
        if (n == 4 && report[0] == 0x04 && report[1] == 0x04 && report[2] == 0x00 && report[3] == 0x00)
            quietFlag = true;
        closeEventInterface();
    }

    if (removed) {
        qDebug("%s", "Device removed");
        setPath(int(did), false, QString());
        watching = false;
    }
}
