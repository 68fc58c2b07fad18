#include "VirtualDevice.h"

#include "FrameCipher.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QMutexLocker>

#include <algorithm>
#include <cstring>
#include <set>

const QByteArray VirtualDevice::kCommandPath = QByteArrayLiteral("virtual-z3/command");
const QByteArray VirtualDevice::kEventPath = QByteArrayLiteral("virtual-z3/event");

namespace {

// A stale node listed before the live command interface when the
// duplicate-interface fault is on; it cannot be opened, like a node that
// vanished between enumeration and open.
const QByteArray kStaleCommandPath = QByteArrayLiteral("virtual-z3/command-stale");

constexpr int kFrameBytes = 8;
constexpr int kMaxQueuedQuietReports = 16;
// A long session against the virtual device keeps only the latest frames.
constexpr int kMaxRecordedFrames = 4096;
constexpr uchar kQuietReport[4] = {0x04, 0x04, 0x00, 0x00};

// Identity of each model as it shows on the bus.
struct BusIdentity {
    quint16 vid, pid;
    quint16 commandPage, commandUsage;
    quint16 eventPage, eventUsage;
    int reportLength;
};
constexpr BusIdentity kMouseIdentity{0x04d9, 0xa09f, 0xff00, 0xff00, 0xff01, 0xff01, 32};
constexpr BusIdentity kKeyboardIdentity{0x04d9, 0x8008, 0xff01, 0x0001, 0xff02, 0x0001, 64};

// Block sizes the firmware keeps.
constexpr int kMouseColorBlock = 24;
constexpr int kMouseColorIndexBlock = 4;
constexpr int kMouseDpiBlock = 8;
constexpr int kMouseKeyMatrix = 64;
constexpr int kMouseMacro = 128;
constexpr int kKeyboardMatrix = 512;
constexpr int kKeyboardOnOff = 21;
constexpr int kKeyboardMacro = 192;
constexpr int kKeyboardPicture = 512;
constexpr int kUnit = 64; // keyboard blocks are counted in 64-byte units

QByteArray fitted(const QByteArray &data, int size)
{
    QByteArray out = data.left(size);
    if (out.size() < size)
        out.append(QByteArray(size - out.size(), '\0'));
    return out;
}

} // namespace

struct VirtualDevice::Handle : HidHandle {
    bool command = true; // false: the event interface
};

struct VirtualDevice::State {
    mutable QMutex lock;
    QWaitCondition changed; // a report was queued, the device was unplugged or is going away

    Model model = Model::Mouse;
    uchar code[8] = {};
    bool encoding = true;
    Faults faults;
    bool unplugged = false;
    bool lastDenied = false;
    bool sendQuiet = true;
    bool closing = false;
    int plainReadBoundMs = 1500;
    QElapsedTimer clock;

    std::set<HidHandle *> handles; // by base address: a closed handle may be freed
    QList<Received> received;

    // The exchange in progress.
    std::array<uchar, kFrameBytes> answer{};
    std::deque<QByteArray> inReports;    // block reports waiting for read()
    std::deque<QByteArray> eventReports; // quiet reports waiting on the event interface
    bool expectingBlock = false;
    std::array<uchar, kFrameBytes> blockFrame{};
    int blockLength = 0;
    QByteArray blockData;

    // Firmware facts.
    uchar sensorType = 0;
    bool logoLedWorks = true;
    uchar fwMajor = 0x01, fwMinor = 0x0A;

    // Settings shared by both models.
    uchar reportRate = 0x01;
    uchar profile = 0;

    // Mouse settings.
    std::array<uchar, 4> functionOption{};
    std::map<uchar, std::array<uchar, 3>> ledInstruct;
    uchar dpiStage = 1;
    std::array<uchar, 3> ledEffect{1, 0xFF, 0};
    std::map<uchar, QByteArray> ledColors;
    QByteArray dpiCodes = QByteArray::fromHex("0204080c90909090");
    uchar dpiStages = 4;
    QByteArray mouseKeyMatrix = QByteArray(kMouseKeyMatrix, '\0');
    std::map<uchar, QByteArray> mouseMacros;

    // Keyboard settings.
    std::array<uchar, 4> keyboardOption{};
    std::array<uchar, 4> sensitivity{};
    std::array<uchar, 2> indicator{};
    std::array<uchar, 6> ledType{};
    uchar keyboardMode = 0;
    QByteArray keyboardMatrix = QByteArray(kKeyboardMatrix, '\0');
    QByteArray keyOnOff = QByteArray(kKeyboardOnOff, '\0');
    std::map<uchar, QByteArray> keyboardMacros;
    std::map<uchar, QByteArray> pictures;
    std::map<uchar, uchar> pictureOptions;
    std::map<uchar, std::array<uchar, 3>> colors;
    int recoveries = 0;

    const BusIdentity &identity() const { return model == Model::Mouse ? kMouseIdentity : kKeyboardIdentity; }
    bool mouse() const { return model == Model::Mouse; }
    bool valid(HidHandle *h) const { return handles.count(h) != 0; }

    void setCode(const QString &text)
    {
        std::memset(code, 0, sizeof code);
        const QByteArray latin = text.toLatin1();
        for (int k = 0; k < 6 && k < latin.size(); ++k)
            code[1 + k] = uchar(latin.at(k));
    }

    void queueQuiet()
    {
        if (!sendQuiet)
            return;
        if (int(eventReports.size()) >= kMaxQueuedQuietReports)
            eventReports.pop_front();
        eventReports.emplace_back(reinterpret_cast<const char *>(kQuietReport), 4);
        changed.wakeAll();
    }

    void setAnswer(const uchar values[kFrameBytes], bool scrambled)
    {
        std::copy(values, values + kFrameBytes, answer.begin());
        answer[7] = FrameCipher::checksum(answer.data());
        if (scrambled && encoding)
            FrameCipher::scramble(answer.data(), code);
    }

    void queueBlock(const QByteArray &block)
    {
        if (faults.blockNeverArrives)
            return;
        const int len = identity().reportLength;
        for (int at = 0; at < block.size(); at += len)
            inReports.push_back(fitted(block.mid(at, len), len));
        changed.wakeAll();
    }

    // Length of the OUT block a Set frame announces, as the device reads the
    // frame; never more than the device keeps.
    int outBlockLength(const uchar *f) const
    {
        if (mouse()) {
            switch (f[0]) {
            case 0x10:
                return std::min<int>(f[2], kMouseColorBlock);
            case 0x11:
                return std::min<int>(f[2], kMouseDpiBlock);
            case 0x12:
                return std::min<int>(f[2], kMouseKeyMatrix);
            case 0x13:
                return std::min<int>(f[2], kMouseMacro);
            default:
                return 0;
            }
        }
        switch (f[0]) {
        case 0x0D:
            return std::min(f[3] * kUnit, kKeyboardMatrix);
        case 0x0E:
            return std::min<int>(f[3], kKeyboardOnOff);
        case 0x11:
            return std::min(f[3] * kUnit, kKeyboardMacro);
        case 0x12:
            return std::min(f[3] * kUnit, kKeyboardPicture);
        default:
            return 0;
        }
    }

    void applySet(const uchar *f, const QByteArray &block)
    {
        switch (f[0]) {
        case 0x01:
            reportRate = f[1];
            return;
        case 0x02:
            profile = f[1];
            return;
        default:
            break;
        }
        if (mouse()) {
            switch (f[0]) {
            case 0x03:
                functionOption = {f[1], f[2], f[3], f[4]};
                break;
            case 0x07:
                ledInstruct[f[1]] = {f[2], f[3], f[4]};
                break;
            case 0x0B:
                dpiStage = f[1];
                break;
            case 0x0D:
                ledEffect = {f[1], f[2], f[3]};
                break;
            case 0x10: {
                const int size = f[1] == 2 ? kMouseColorIndexBlock : kMouseColorBlock;
                QByteArray stored = ledColors.count(f[1]) ? ledColors[f[1]] : QByteArray(size, '\0');
                stored = fitted(stored, size);
                stored.replace(0, std::min<int>(block.size(), size), block.left(size));
                ledColors[f[1]] = stored;
                break;
            }
            case 0x11:
                dpiStages = f[1];
                dpiCodes = fitted(block, kMouseDpiBlock);
                break;
            case 0x12:
                mouseKeyMatrix = fitted(block, kMouseKeyMatrix);
                break;
            case 0x13:
                mouseMacros[f[1]] = fitted(block, kMouseMacro);
                break;
            default:
                break;
            }
            return;
        }
        switch (f[0]) {
        case 0x03:
            keyboardOption = {f[1], f[2], f[3], f[4]};
            break;
        case 0x04:
            sensitivity = {f[1], f[2], f[3], f[4]};
            break;
        case 0x07:
            indicator = {f[1], f[2]};
            break;
        case 0x08:
            ledType = {f[1], f[2], f[3], f[4], f[5], f[6]};
            break;
        case 0x09:
            keyboardMode = f[1];
            break;
        case 0x0D:
            keyboardMatrix = fitted(block, kKeyboardMatrix);
            break;
        case 0x0E:
            keyOnOff = fitted(block, kKeyboardOnOff);
            break;
        case 0x11:
            keyboardMacros[f[2]] = fitted(block, kKeyboardMacro);
            break;
        case 0x12:
            pictures[f[2]] = fitted(block, kKeyboardPicture);
            pictureOptions[f[2]] = f[4];
            break;
        case 0x13:
            ++recoveries;
            break;
        case 0x14:
            colors[f[2]] = {f[3], f[4], f[5]};
            break;
        default:
            break;
        }
    }

    // Prepares the answer (and the IN block) of a Get command.
    void answerGet(const uchar *f)
    {
        uchar a[kFrameBytes] = {f[0]};
        QByteArray block;
        bool hasBlock = false;
        switch (f[0]) {
        case 0x80:
            a[1] = fwMajor;
            a[2] = fwMinor;
            break;
        case 0x81:
            a[1] = reportRate;
            break;
        case 0x82:
            a[1] = profile;
            break;
        default:
            if (mouse()) {
                switch (f[0]) {
                case 0x83:
                    a[1] = sensorType;
                    a[2] = functionOption[1];
                    a[3] = functionOption[2];
                    a[4] = functionOption[3];
                    break;
                case 0x87: {
                    const auto stored =
                        ledInstruct.count(f[1]) ? ledInstruct.at(f[1]) : std::array<uchar, 3>{};
                    a[1] = f[1];
                    a[2] = stored[0];
                    a[3] = stored[1];
                    a[4] = stored[2];
                    if (f[1] == 0)
                        a[2] = logoLedWorks ? 0 : 1;
                    break;
                }
                case 0x8B:
                    a[1] = dpiStage;
                    break;
                case 0x8D:
                    a[1] = ledEffect[0];
                    a[2] = ledEffect[1];
                    a[3] = ledEffect[2];
                    break;
                case 0x90: {
                    const int size = f[1] == 2 ? kMouseColorIndexBlock : kMouseColorBlock;
                    block = fitted(ledColors.count(f[1]) ? ledColors.at(f[1]) : QByteArray(), size);
                    hasBlock = true;
                    break;
                }
                case 0x91:
                    a[1] = dpiStages;
                    block = dpiCodes;
                    hasBlock = true;
                    break;
                case 0x92:
                    block = mouseKeyMatrix;
                    hasBlock = true;
                    break;
                case 0x93:
                    block =
                        fitted(mouseMacros.count(f[1]) ? mouseMacros.at(f[1]) : QByteArray(), kMouseMacro);
                    hasBlock = true;
                    break;
                default:
                    break;
                }
            } else {
                switch (f[0]) {
                case 0x83:
                    std::copy(keyboardOption.begin(), keyboardOption.end(), a + 1);
                    break;
                case 0x84:
                    std::copy(sensitivity.begin(), sensitivity.end(), a + 1);
                    break;
                case 0x88:
                    std::copy(ledType.begin() + 1, ledType.end(), a + 2);
                    break;
                case 0x89:
                    a[1] = keyboardMode;
                    break;
                case 0x8D:
                    block = keyboardMatrix;
                    hasBlock = true;
                    a[3] = 0x08;
                    break;
                case 0x8E:
                    block = keyOnOff;
                    hasBlock = true;
                    a[3] = 0x15;
                    break;
                case 0x91:
                    block = fitted(keyboardMacros.count(f[2]) ? keyboardMacros.at(f[2]) : QByteArray(),
                                   kKeyboardMacro);
                    hasBlock = true;
                    a[2] = f[2];
                    a[3] = 0x03;
                    break;
                case 0x92:
                    block = fitted(pictures.count(f[2]) ? pictures.at(f[2]) : QByteArray(), kKeyboardPicture);
                    hasBlock = true;
                    a[2] = f[2];
                    a[3] = 0x08;
                    break;
                case 0x94: {
                    const auto rgb = colors.count(f[2]) ? colors.at(f[2]) : std::array<uchar, 3>{};
                    a[2] = f[2];
                    std::copy(rgb.begin(), rgb.end(), a + 3);
                    break;
                }
                default:
                    break;
                }
            }
        }
        // The link reads block answers as they arrive, so those travel plain.
        setAnswer(a, !hasBlock);
        if (hasBlock)
            queueBlock(block);
    }

    void handleFrame(const uchar *f)
    {
        inReports.clear();
        expectingBlock = false;
        blockData.clear();

        if (f[0] == 0x00) {
            const uchar echo[kFrameBytes] = {0x00, f[1], f[2], f[3], f[4], 0, 0, 0};
            setAnswer(echo, true);
            queueQuiet();
            return;
        }
        if (f[0] >= 0x80) {
            answerGet(f);
            queueQuiet();
            return;
        }
        const int length = outBlockLength(f);
        if (length > 0) {
            expectingBlock = true;
            std::copy(f, f + kFrameBytes, blockFrame.begin());
            blockLength = length;
            return;
        }
        applySet(f, QByteArray());
        queueQuiet();
    }

    void takeReport(const uchar *data, size_t length)
    {
        if (!received.isEmpty()) {
            received.last().payload.append(reinterpret_cast<const char *>(data), int(length));
            received.last().reportSizes.append(int(length));
        }
        if (!expectingBlock || length < 1)
            return;
        const int wanted = blockLength - blockData.size();
        blockData.append(reinterpret_cast<const char *>(data + 1), std::min<int>(wanted, int(length) - 1));
        if (blockData.size() >= blockLength) {
            expectingBlock = false;
            applySet(blockFrame.data(), blockData);
            blockData.clear();
            queueQuiet();
        }
    }

    // Waits for a report on the queue of h. timeoutMs < 0: a plain read,
    // bounded by plainReadBoundMs and failing with -1 at the bound.
    // Called with the lock held: waits out a delay fault, ending early when
    // the fault is cleared or the device goes away.
    void delay(int Faults::*which)
    {
        QDeadlineTimer deadline(faults.*which);
        while (faults.*which > 0 && !closing && !deadline.hasExpired())
            changed.wait(&lock, deadline);
    }

    // Called with the lock held.
    int readReport(Handle *h, uchar *data, size_t length, int timeoutMs)
    {
        const bool plain = timeoutMs < 0;
        QDeadlineTimer deadline(plain ? plainReadBoundMs : timeoutMs);
        for (;;) {
            if (closing || unplugged || !valid(h))
                return -1;
            auto &queue = h->command ? inReports : eventReports;
            if (!queue.empty()) {
                const QByteArray report = queue.front();
                queue.pop_front();
                const size_t n = std::min<size_t>(length, size_t(report.size()));
                std::memcpy(data, report.constData(), n);
                return int(n);
            }
            if (deadline.hasExpired())
                return plain ? -1 : 0;
            changed.wait(&lock, deadline);
        }
    }
};

VirtualDevice::VirtualDevice(Model model, const QString &secrecyCode) : d(new State)
{
    d->model = model;
    d->setCode(secrecyCode);
    d->clock.start();
}

VirtualDevice::~VirtualDevice()
{
    {
        QMutexLocker locker(&d->lock);
        d->closing = true;
        d->changed.wakeAll();
        for (HidHandle *h : d->handles)
            delete h;
        d->handles.clear();
    }
    delete d;
}

// ---- HidBackend ---------------------------------------------------------------

QList<HidDeviceInfo> VirtualDevice::enumerate(quint16 vendorId, quint16 productId)
{
    QMutexLocker locker(&d->lock);
    QList<HidDeviceInfo> list;
    const BusIdentity &id = d->identity();
    const bool matches = (vendorId == 0 || vendorId == id.vid) && (productId == 0 || productId == id.pid);
    if (d->faults.absent || d->unplugged || !matches)
        return list;
    auto entry = [&](const QByteArray &path, quint16 page, quint16 usage, int number) {
        HidDeviceInfo info;
        info.path = path;
        info.vendorId = id.vid;
        info.productId = id.pid;
        info.usagePage = page;
        info.usage = usage;
        info.interfaceNumber = number;
        return info;
    };
    if (!d->faults.noCommandInterface) {
        if (d->faults.duplicateCommandInterface)
            list.append(entry(kStaleCommandPath, id.commandPage, id.commandUsage, 1));
        list.append(entry(kCommandPath, id.commandPage, id.commandUsage, 1));
    }
    if (!d->faults.noEventInterface)
        list.append(entry(kEventPath, id.eventPage, id.eventUsage, 2));
    return list;
}

HidHandle *VirtualDevice::open(const QByteArray &path, HidChannel channel)
{
    Q_UNUSED(channel); // the path, not the caller's label, decides the interface
    QMutexLocker locker(&d->lock);
    d->lastDenied = false;
    const bool command = path == kCommandPath;
    const bool present =
        !d->faults.absent && !d->unplugged &&
        ((command && !d->faults.noCommandInterface) || (path == kEventPath && !d->faults.noEventInterface));
    if (!present)
        return nullptr;
    if (d->faults.denyOpen) {
        d->lastDenied = true;
        return nullptr;
    }
    auto *h = new Handle;
    h->command = command;
    d->handles.insert(h);
    return h;
}

int VirtualDevice::setNonBlocking(HidHandle *handle, bool nonBlocking)
{
    Q_UNUSED(nonBlocking);
    QMutexLocker locker(&d->lock);
    return d->valid(handle) && !d->unplugged ? 0 : -1;
}

int VirtualDevice::sendFeatureReport(HidHandle *handle, const uchar *data, size_t length)
{
    QMutexLocker locker(&d->lock);
    d->delay(&Faults::writeDelayMs);
    auto *h = static_cast<Handle *>(handle);
    if (!d->valid(handle) || d->unplugged || !h->command || !data || length < 1 + kFrameBytes || data[0] != 0)
        return -1;
    uchar frame[kFrameBytes];
    std::memcpy(frame, data + 1, kFrameBytes);
    if (d->encoding)
        FrameCipher::unscramble(frame, d->code);
    Received r;
    std::copy(frame, frame + kFrameBytes, r.frame.begin());
    r.atMs = d->clock.elapsed();
    if (d->received.size() >= kMaxRecordedFrames)
        d->received.removeFirst();
    d->received.append(r);
    if (d->faults.unplugMidTransfer) {
        // The frame left the host; the device is gone before it acts on it.
        d->unplugged = true;
        d->inReports.clear();
        d->changed.wakeAll();
        return int(length);
    }
    d->handleFrame(frame);
    return int(length);
}

int VirtualDevice::getFeatureReport(HidHandle *handle, uchar *data, size_t length)
{
    QMutexLocker locker(&d->lock);
    d->delay(&Faults::answerDelayMs);
    auto *h = static_cast<Handle *>(handle);
    if (!d->valid(handle) || d->unplugged || !h->command || !data || length < 1 || d->faults.noFeatureAnswer)
        return -1;
    const size_t n = std::min<size_t>(length, 1 + kFrameBytes);
    data[0] = 0x00;
    std::memcpy(data + 1, d->answer.data(), n - 1);
    return int(n);
}

int VirtualDevice::write(HidHandle *handle, const uchar *data, size_t length)
{
    QMutexLocker locker(&d->lock);
    d->delay(&Faults::writeDelayMs);
    auto *h = static_cast<Handle *>(handle);
    if (!d->valid(handle) || d->unplugged || !h->command || !data || length < 1 || data[0] != 0)
        return -1;
    d->takeReport(data, length);
    return int(length);
}

int VirtualDevice::read(HidHandle *handle, uchar *data, size_t length)
{
    QMutexLocker locker(&d->lock);
    if (!d->valid(handle) || !data)
        return -1;
    return d->readReport(static_cast<Handle *>(handle), data, length, -1);
}

int VirtualDevice::readTimeout(HidHandle *handle, uchar *data, size_t length, int milliseconds)
{
    QMutexLocker locker(&d->lock);
    if (!d->valid(handle) || !data)
        return -1;
    // hidapi treats a negative timeout as a blocking read.
    return d->readReport(static_cast<Handle *>(handle), data, length, milliseconds < 0 ? -1 : milliseconds);
}

void VirtualDevice::close(HidHandle *handle)
{
    QMutexLocker locker(&d->lock);
    HidHandle *h = handle; // cast down only once known to be open
    if (d->handles.erase(h)) {
        delete h;
        d->changed.wakeAll(); // a reader on this handle must not wait on
    }
}

bool VirtualDevice::lastOpenDenied() const
{
    QMutexLocker locker(&d->lock);
    return d->lastDenied;
}

// ---- configuration and faults ---------------------------------------------------

void VirtualDevice::setModel(Model model)
{
    QMutexLocker locker(&d->lock);
    d->model = model;
}

void VirtualDevice::setSecrecyCode(const QString &code)
{
    QMutexLocker locker(&d->lock);
    d->setCode(code);
}

void VirtualDevice::setEncoding(bool on)
{
    QMutexLocker locker(&d->lock);
    d->encoding = on;
}

void VirtualDevice::setFaults(const Faults &faults)
{
    QMutexLocker locker(&d->lock);
    d->faults = faults;
    d->unplugged = false;
    d->changed.wakeAll();
}

VirtualDevice::Faults VirtualDevice::faults() const
{
    QMutexLocker locker(&d->lock);
    return d->faults;
}

void VirtualDevice::setSensorType(uchar type)
{
    QMutexLocker locker(&d->lock);
    d->sensorType = type;
}

void VirtualDevice::setLogoLedWorks(bool works)
{
    QMutexLocker locker(&d->lock);
    d->logoLedWorks = works;
}

void VirtualDevice::setFirmwareVersion(uchar major, uchar minor)
{
    QMutexLocker locker(&d->lock);
    d->fwMajor = major;
    d->fwMinor = minor;
}

void VirtualDevice::setDpiStageCount(uchar stages)
{
    QMutexLocker locker(&d->lock);
    d->dpiStages = stages;
}

void VirtualDevice::setSendQuietReport(bool on)
{
    QMutexLocker locker(&d->lock);
    d->sendQuiet = on;
    if (!on)
        d->eventReports.clear();
}

void VirtualDevice::setPlainReadBoundMs(int milliseconds)
{
    QMutexLocker locker(&d->lock);
    d->plainReadBoundMs = std::max(0, milliseconds);
}

void VirtualDevice::replug()
{
    QMutexLocker locker(&d->lock);
    d->faults.unplugMidTransfer = false;
    d->unplugged = false;
}

// ---- state inspection -------------------------------------------------------------

QList<VirtualDevice::Received> VirtualDevice::received() const
{
    QMutexLocker locker(&d->lock);
    return d->received;
}

void VirtualDevice::clearReceived()
{
    QMutexLocker locker(&d->lock);
    d->received.clear();
}

int VirtualDevice::openHandleCount() const
{
    QMutexLocker locker(&d->lock);
    return int(d->handles.size());
}

uchar VirtualDevice::reportRate() const
{
    QMutexLocker locker(&d->lock);
    return d->reportRate;
}

uchar VirtualDevice::currentProfile() const
{
    QMutexLocker locker(&d->lock);
    return d->profile;
}

uchar VirtualDevice::dpiStage() const
{
    QMutexLocker locker(&d->lock);
    return d->dpiStage;
}

std::array<uchar, 3> VirtualDevice::ledEffect() const
{
    QMutexLocker locker(&d->lock);
    return d->ledEffect;
}

QByteArray VirtualDevice::ledColors(uchar type) const
{
    QMutexLocker locker(&d->lock);
    const int size = type == 2 ? kMouseColorIndexBlock : kMouseColorBlock;
    return fitted(d->ledColors.count(type) ? d->ledColors.at(type) : QByteArray(), size);
}

QByteArray VirtualDevice::dpiCodes() const
{
    QMutexLocker locker(&d->lock);
    return d->dpiCodes;
}

uchar VirtualDevice::dpiStagesInUse() const
{
    QMutexLocker locker(&d->lock);
    return d->dpiStages;
}

QByteArray VirtualDevice::keyMatrix() const
{
    QMutexLocker locker(&d->lock);
    return d->mouse() ? d->mouseKeyMatrix : d->keyboardMatrix;
}

QByteArray VirtualDevice::macro(uchar id) const
{
    QMutexLocker locker(&d->lock);
    if (d->mouse())
        return fitted(d->mouseMacros.count(id) ? d->mouseMacros.at(id) : QByteArray(), kMouseMacro);
    return fitted(d->keyboardMacros.count(id) ? d->keyboardMacros.at(id) : QByteArray(), kKeyboardMacro);
}

std::array<uchar, 4> VirtualDevice::functionOption() const
{
    QMutexLocker locker(&d->lock);
    return d->functionOption;
}

QByteArray VirtualDevice::userPicture(uchar index) const
{
    QMutexLocker locker(&d->lock);
    return fitted(d->pictures.count(index) ? d->pictures.at(index) : QByteArray(), kKeyboardPicture);
}

QByteArray VirtualDevice::keyOnOff() const
{
    QMutexLocker locker(&d->lock);
    return d->keyOnOff;
}

std::array<uchar, 4> VirtualDevice::ledInstruct(uchar type) const
{
    QMutexLocker locker(&d->lock);
    const auto stored = d->ledInstruct.count(type) ? d->ledInstruct.at(type) : std::array<uchar, 3>{};
    return {type, stored[0], stored[1], stored[2]};
}

std::array<uchar, 4> VirtualDevice::keyboardOption() const
{
    QMutexLocker locker(&d->lock);
    return d->keyboardOption;
}

std::array<uchar, 4> VirtualDevice::buttonSensitivity() const
{
    QMutexLocker locker(&d->lock);
    return d->sensitivity;
}

std::array<uchar, 2> VirtualDevice::indicatorLight() const
{
    QMutexLocker locker(&d->lock);
    return d->indicator;
}

std::array<uchar, 6> VirtualDevice::ledType() const
{
    QMutexLocker locker(&d->lock);
    return d->ledType;
}

uchar VirtualDevice::keyboardMode() const
{
    QMutexLocker locker(&d->lock);
    return d->keyboardMode;
}

uchar VirtualDevice::userPictureOption(uchar index) const
{
    QMutexLocker locker(&d->lock);
    return d->pictureOptions.count(index) ? d->pictureOptions.at(index) : 0;
}

std::array<uchar, 3> VirtualDevice::color(uchar index) const
{
    QMutexLocker locker(&d->lock);
    return d->colors.count(index) ? d->colors.at(index) : std::array<uchar, 3>{};
}

int VirtualDevice::recoveryCount() const
{
    QMutexLocker locker(&d->lock);
    return d->recoveries;
}

int VirtualDevice::quietReportsPending() const
{
    QMutexLocker locker(&d->lock);
    return int(d->eventReports.size());
}
