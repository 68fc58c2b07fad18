// The report transport: link claim, frame exchange, payload blocks in
// interrupt reports, the quiet wait, checksum and scrambling.
//
// Every exit of sendFrame and transferFrame frees the link: the claim taken
// by the command is released by exactly the transfer it started.

#include "Hid_Thread.h"

#include "FrameCipher.h"

#include <QCoreApplication>
#include <QDebug>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrent>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// A damaged device table must not make a transfer loop or allocate without bound.
constexpr uint kMaxReportLength = 4096;

// Frees the link when the transfer ends, whatever path it takes.
class LinkRelease {
public:
    explicit LinkRelease(std::atomic<bool> &flag) : m_flag(flag) {}
    ~LinkRelease() { m_flag = true; }
    LinkRelease(const LinkRelease &) = delete;
    LinkRelease &operator=(const LinkRelease &) = delete;

private:
    std::atomic<bool> &m_flag;
};

} // namespace

// Claims are served in the order they were asked for. The wait lets the
// event loop run, so a command issued by a slot inside it nests on this
// stack: it must not overtake the older claim it interrupted, and that claim
// cannot continue until the nested one returns. So whichever waiter finds
// the link free serves the oldest claim, running that command's own body.
bool Hid_Thread::waitLinkFree(const std::function<void()> &onClaimed)
{
    Claim mine{onClaimed};
    m_claims.push_back(&mine);
    for (int attempt = 0; attempt < kClaimAttempts; ++attempt) {
        serveClaims();
        if (mine.served)
            return true;
        QThread::msleep(kClaimPollMs);
        // Keep the user interface alive while the previous command ends.
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        if (mine.served) // a command issued meanwhile served this claim in turn
            return true;
    }
    m_claims.erase(std::find(m_claims.begin(), m_claims.end(), &mine));
    return false;
}

void Hid_Thread::serveClaims()
{
    while (!m_claims.empty()) {
        bool expected = true;
        if (!linkFree.compare_exchange_strong(expected, false))
            return;
        Claim *oldest = m_claims.front();
        m_claims.pop_front();
        oldest->served = true;
        // A Set hands the link to its transfer task; a Get frees it before
        // returning, so the next claim may follow at once.
        if (oldest->onClaimed)
            oldest->onClaimed();
    }
}

// Sends the command frame (scrambled on the wire when encoding is on) on a
// freshly opened command interface; nullptr, with the interface closed, when
// the link is refused or the device does not take the report.
HidHandle *Hid_Thread::sendCommandFrame(int did)
{
    if (demoMode.load() || !openCommandInterface(did))
        return nullptr;

    uchar frame[kFrameSize];
    std::memcpy(frame, m_cmd, kFrameSize);
    if (isEncode.load())
        USBDataEncryption(frame + 1, SecrecyCode);

    HidHandle *handle = openCommandInterface(did);
    if (!handle || m_backend->sendFeatureReport(handle, frame, kFrameSize) < 0) {
        closeCommandInterface();
        return nullptr;
    }
    return handle;
}

bool Hid_Thread::sendFrame(int length, bool waitQuiet)
{
    LinkRelease release(linkFree);
    const int did = int(m_currentDevice);
    HidHandle *handle = sendCommandFrame(did);
    if (!handle)
        return false;
    if (waitQuiet)
        this->waitQuiet();

    length = std::clamp(length, 0, kPayloadSize);
    if (length == 0) {
        closeCommandInterface();
        return true;
    }

    const uint reportLength = currentEntry().reportLength;
    if (reportLength == 0 || reportLength > kMaxReportLength) {
        closeCommandInterface();
        return false;
    }
    const int chunk = std::min(length, int(reportLength));
    std::vector<uchar> report(reportLength + 1, 0);
    for (int sent = 0; sent < length; sent += chunk) {
        std::fill(report.begin(), report.end(), uchar(0));
        std::memcpy(report.data() + 1, m_payload + sent, size_t(std::min(chunk, length - sent)));
        handle = openCommandInterface(did);
        if (!handle || m_backend->write(handle, report.data(), report.size()) < 0) {
            closeCommandInterface();
            return false;
        }
        QThread::msleep(kReportPauseMs);
    }

    if (waitQuiet)
        this->waitQuiet();
    closeCommandInterface();
    return true;
}

bool Hid_Thread::transferFrame(int length)
{
    LinkRelease release(linkFree);
    const int did = int(m_currentDevice);
    HidHandle *handle = sendCommandFrame(did);
    if (!handle)
        return false;
    handle = openCommandInterface(did);
    if (!handle || m_backend->getFeatureReport(handle, m_ans, kFrameSize) < 0) {
        closeCommandInterface();
        return false;
    }

    length = std::clamp(length, 0, kPayloadSize);
    if (length == 0) {
        closeCommandInterface();
        if (isEncode.load())
            USBDataDecipher(m_ans + 1, SecrecyCode);
        return true;
    }

    // Block read: the answer frame is used as it arrived.
    const uint reportLength = currentEntry().reportLength;
    if (reportLength == 0 || reportLength > kMaxReportLength) {
        closeCommandInterface();
        return false;
    }
    const int chunk = std::min(length, int(reportLength));
    std::vector<uchar> report(reportLength + 1, 0);
    for (int copied = 0; copied < length; copied += chunk) {
        std::fill(report.begin(), report.end(), uchar(0));
        handle = openCommandInterface(did);
        // Bounded: a device that announces a block and never sends it must not
        // hold the calling (GUI) thread.
        const int n =
            handle ? m_backend->readTimeout(handle, report.data(), report.size(), kBlockReadTimeoutMs) : -1;
        if (n <= 0) {
            closeCommandInterface();
            return false;
        }
        std::memcpy(m_payload + copied, report.data(), size_t(std::min(chunk, length - copied)));
    }
    closeCommandInterface();
    return true;
}

void Hid_Thread::waitQuiet()
{
    quietFlag = false;
    QThread::msleep(kQuietPeriodMs);
    if (quietFlag.load())
        return;
    quietFlag = true;
    QThread::msleep(kQuietPeriodMs);
}

uchar Hid_Thread::hidCS(uchar *frame)
{
    return FrameCipher::checksum(frame);
}

void Hid_Thread::USBDataEncryption(uchar FIFOBuf[], uchar SecrecyCode[])
{
    FrameCipher::scramble(FIFOBuf, SecrecyCode);
}

void Hid_Thread::USBDataDecipher(uchar FIFOBuf[], uchar SecrecyCode[])
{
    FrameCipher::unscramble(FIFOBuf, SecrecyCode);
}

// ---- the shared shape of every command ---------------------------------------------

bool Hid_Thread::claimOrReport(const char *failText, const std::function<void()> &onClaimed)
{
    if (waitLinkFree(onClaimed))
        return true;
    qDebug("%s", failText);
    return false;
}

void Hid_Thread::fillFrame(uchar b0, uchar b1, uchar b2, uchar b3, uchar b4, uchar b5, uchar b6)
{
    m_cmd[0] = 0x00; // report ID
    const uchar bytes[7] = {b0, b1, b2, b3, b4, b5, b6};
    std::memcpy(m_cmd + 1, bytes, sizeof bytes);
    m_cmd[8] = hidCS(m_cmd + 1);
}

void Hid_Thread::prefillAnswer(uchar a0, uchar a1, uchar a2, uchar a3, uchar a4, uchar a5, uchar a6, uchar a7)
{
    const uchar bytes[kFrameSize] = {0x00, a0, a1, a2, a3, a4, a5, a6, a7};
    std::memcpy(m_ans, bytes, sizeof bytes);
}

void Hid_Thread::startSet(int length, bool waitQuiet)
{
    m_setFuture = QtConcurrent::run(QThreadPool::globalInstance(),
                                    [this, length, waitQuiet] { return sendFrame(length, waitQuiet); });
}

bool Hid_Thread::transferBlock(uchar *buffer, int length)
{
    std::memcpy(m_payload, buffer, size_t(length));
    const bool ok = transferFrame(length);
    std::memcpy(buffer, m_payload, size_t(length));
    return ok;
}
