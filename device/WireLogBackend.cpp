#include "WireLogBackend.h"

#include <QMutexLocker>

namespace {

struct LoggedHandle : HidHandle {
    LoggedHandle(HidHandle *h, HidChannel c) : inner(h), channel(c) {}
    HidHandle *inner;
    HidChannel channel;
};

HidHandle *innerOf(HidHandle *handle)
{
    return handle ? static_cast<LoggedHandle *>(handle)->inner : nullptr;
}

HidChannel channelOf(HidHandle *handle)
{
    return handle ? static_cast<LoggedHandle *>(handle)->channel : HidChannel::Command;
}

QByteArray hexBytes(const uchar *data, size_t length)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(length)).toHex(' ');
}

} // namespace

WireLogBackend::WireLogBackend(std::unique_ptr<HidBackend> inner, const QString &fileName)
    : m_inner(std::move(inner)), m_file(fileName)
{
    m_clock.start();
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        qWarning("wire log: cannot write %s", qPrintable(fileName));
}

WireLogBackend::~WireLogBackend() = default;

bool WireLogBackend::isLogging() const
{
    QMutexLocker lock(&m_lock);
    return m_file.isOpen();
}

void WireLogBackend::log(HidChannel channel, const char *op, const QByteArray &rest)
{
    QMutexLocker lock(&m_lock);
    if (!m_file.isOpen())
        return;
    QByteArray line = QByteArray::number(double(m_clock.nsecsElapsed()) / 1e6, 'f', 3);
    line += channel == HidChannel::Command ? " cmd " : " evt ";
    line += op;
    if (!rest.isEmpty()) {
        line += ' ';
        line += rest;
    }
    line += '\n';
    m_file.write(line);
    m_file.flush();
}

void WireLogBackend::logReport(HidHandle *handle, const char *op, int result, const uchar *data, size_t sent)
{
    if (result < 0) {
        QByteArray rest = op;
        if (sent)
            rest += ' ' + hexBytes(data, sent);
        log(channelOf(handle), "fail", rest);
        return;
    }
    log(channelOf(handle), op, hexBytes(data, size_t(result)));
}

QList<HidDeviceInfo> WireLogBackend::enumerate(quint16 vendorId, quint16 productId)
{
    return m_inner->enumerate(vendorId, productId);
}

HidHandle *WireLogBackend::open(const QByteArray &path, HidChannel channel)
{
    HidHandle *handle = m_inner->open(path, channel);
    if (!handle) {
        log(channel, "fail", "open " + path);
        return nullptr;
    }
    log(channel, "open", path);
    return new LoggedHandle(handle, channel);
}

int WireLogBackend::setNonBlocking(HidHandle *handle, bool nonBlocking)
{
    return m_inner->setNonBlocking(innerOf(handle), nonBlocking);
}

int WireLogBackend::sendFeatureReport(HidHandle *handle, const uchar *data, size_t length)
{
    const int result = m_inner->sendFeatureReport(innerOf(handle), data, length);
    // A send moves the whole report or nothing: log what was put on the wire.
    logReport(handle, "feature-out", result < 0 ? result : int(length), data, length);
    return result;
}

int WireLogBackend::getFeatureReport(HidHandle *handle, uchar *data, size_t length)
{
    const int result = m_inner->getFeatureReport(innerOf(handle), data, length);
    logReport(handle, "feature-in", result < 0 ? result : qMin(result, int(length)), data, 0);
    return result;
}

int WireLogBackend::write(HidHandle *handle, const uchar *data, size_t length)
{
    const int result = m_inner->write(innerOf(handle), data, length);
    logReport(handle, "out", result < 0 ? result : int(length), data, length);
    return result;
}

int WireLogBackend::read(HidHandle *handle, uchar *data, size_t length)
{
    const int result = m_inner->read(innerOf(handle), data, length);
    logReport(handle, "in", result < 0 ? result : qMin(result, int(length)), data, 0);
    return result;
}

int WireLogBackend::readTimeout(HidHandle *handle, uchar *data, size_t length, int milliseconds)
{
    const int result = m_inner->readTimeout(innerOf(handle), data, length, milliseconds);
    logReport(handle, "in", result < 0 ? result : qMin(result, int(length)), data, 0);
    return result;
}

void WireLogBackend::close(HidHandle *handle)
{
    if (!handle)
        return;
    auto *logged = static_cast<LoggedHandle *>(handle);
    m_inner->close(logged->inner);
    log(logged->channel, "close", QByteArray());
    delete logged;
}

bool WireLogBackend::lastOpenDenied() const
{
    return m_inner->lastOpenDenied();
}
