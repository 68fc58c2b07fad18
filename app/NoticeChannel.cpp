#include "NoticeChannel.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QVariant>
#include <QtEndian>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

constexpr int kHeaderBytes = 8;
constexpr int kConnectTimeoutMs = 1000;
constexpr int kWriteTimeoutMs = 1000;
constexpr int kIdleTimeoutMs = 5000;

// Whether the process behind a connected socket runs as this user. Without
// the runtime folder the socket lies in the shared temp folder, where any
// account can put one; a peer that cannot be identified counts as a stranger.
bool peerIsThisUser(const QLocalSocket &socket)
{
#if defined(Q_OS_LINUX)
    ucred peer{};
    socklen_t size = sizeof peer;
    const int fd = int(socket.socketDescriptor());
    return fd >= 0 && getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == geteuid();
#elif defined(Q_OS_UNIX)
    uid_t uid = 0;
    gid_t gid = 0;
    const int fd = int(socket.socketDescriptor());
    return fd >= 0 && getpeereid(fd, &uid, &gid) == 0 && uid == geteuid();
#else
    Q_UNUSED(socket);
    return true; // a named pipe's default access is this user's
#endif
}

// Why the channel is off, said once per reason and process on standard error.
void sayChannelOff(bool &said, const QString &reason)
{
    if (said)
        return;
    said = true;
    qWarning("Notices are off: %s", qPrintable(reason));
}

bool g_saidTooLong = false;
bool g_saidStranger = false;

// The socket file's path as the local socket classes resolve a plain name.
QString socketPath(const QString &name)
{
    return QDir::isAbsolutePath(name) ? name : QDir::tempPath() + QLatin1Char('/') + name;
}

bool fitsSocketAddress(const QString &name)
{
#ifdef Q_OS_UNIX
    return QFile::encodeName(socketPath(name)).size() + 1 <= qsizetype(sizeof(sockaddr_un::sun_path));
#else
    Q_UNUSED(name);
    return true;
#endif
}

} // namespace

NoticeChannel::NoticeChannel(QObject *parent) : QObject(parent) {}

NoticeChannel::~NoticeChannel() = default;

QString NoticeChannel::serverName(const QString &windowTitle)
{
    // The title may hold anything (spaces, slashes, CJK); the address keeps
    // a readable part and a hash, and stays short enough for a socket path.
    QString readable;
    for (const QChar c : windowTitle.left(24)) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-');
        readable += plain ? c : QLatin1Char('_');
    }
    const QByteArray hash =
        QCryptographicHash::hash(windowTitle.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    const QString name = QStringLiteral("z3config-notice-%1-%2").arg(readable, QString::fromLatin1(hash));
    // The runtime folder is private to the user (0700); without one the
    // socket's own user-only permissions still keep others out.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime + QLatin1Char('/') + name;
    return name;
}

bool NoticeChannel::listen(const QString &windowTitle)
{
    delete m_server;
    m_server = nullptr;
    const QString name = serverName(windowTitle);
    if (!fitsSocketAddress(name)) {
        sayChannelOff(g_saidTooLong, QStringLiteral("the socket path %1 is too long for this system").arg(socketPath(name)));
        return false;
    }
    // A live server answers; a stale socket file left by a crash does not.
    // (Listening with access options would silently replace either.)
    {
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(200)) {
            const bool sameUser = peerIsThisUser(probe);
            probe.abort();
            if (!sameUser) {
                sayChannelOff(g_saidStranger, QStringLiteral("%1 is held by another user").arg(socketPath(name)));
                return false;
            }
            qInfo("Another window titled \"%s\" already receives notices", qPrintable(windowTitle));
            return false;
        }
    }
    QLocalServer::removeServer(name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(name)) {
        qWarning("Cannot receive notices: %s", qPrintable(m_server->errorString()));
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &NoticeChannel::onNewConnection);
    return true;
}

bool NoticeChannel::isListening() const
{
    return m_server && m_server->isListening();
}

void NoticeChannel::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket, false); });
        // A sender that goes away mid-message still gets its message judged
        // (and swallowed); the socket then goes.
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            onReadyRead(socket, true);
            socket->deleteLater();
        });
        // A client that connects and never finishes must not stay forever.
        QTimer::singleShot(kIdleTimeoutMs, socket, [socket] { socket->abort(); });
        if (socket->bytesAvailable() > 0)
            onReadyRead(socket, false);
    }
}

void NoticeChannel::onReadyRead(QLocalSocket *socket, bool finished)
{
    if (socket->property("z3Judged").toBool())
        return;
    if (socket->bytesAvailable() < kHeaderBytes) {
        if (finished && socket->bytesAvailable() > 0) {
            socket->setProperty("z3Judged", true);
            emit messageReceived(0, 0, false);
        }
        return;
    }
    const QByteArray header = socket->peek(kHeaderBytes);
    const quint32 tag = qFromLittleEndian<quint32>(header.constData());
    const quint32 byteCount = qFromLittleEndian<quint32>(header.constData() + 4);
    const bool tooLarge = byteCount > kMaxTextBytes;
    const bool complete = socket->bytesAvailable() >= kHeaderBytes + qint64(byteCount) + 1;
    // The text and its NUL must be complete before the message is judged,
    // unless the sender has gone (then it is judged as it arrived).
    if (!tooLarge && !complete && !finished)
        return;
    socket->setProperty("z3Judged", true);
    if (tooLarge) {
        emit messageReceived(tag, byteCount, false);
        socket->abort();
        return;
    }
    socket->read(kHeaderBytes);
    const QByteArray data = socket->read(qint64(byteCount) + 1);
    if (!finished)
        socket->disconnectFromServer();

    QString text;
    const bool shown = acceptNotice(tag, data, byteCount, &text);
    emit messageReceived(tag, byteCount, shown);
    if (!shown || !m_handler)
        return;
    // Opening a modal box inside the socket's signal would re-enter it.
    QPointer<NoticeChannel> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, text] {
            if (self && self->m_handler)
                self->m_handler(text);
        },
        Qt::QueuedConnection);
}

bool NoticeChannel::acceptNotice(quint32 tag, const QByteArray &data, quint32 byteCount, QString *text)
{
    if (tag != kNoticeTag)
        return false;
    // The text ends at its first NUL, whatever the count claims.
    const int nul = data.indexOf('\0');
    const QByteArray raw = nul >= 0 ? data.left(nul) : data;
    const QString decoded = QString::fromUtf8(raw);
    if (quint32(decoded.toUtf8().size()) != byteCount)
        return false;
    if (text)
        *text = decoded;
    return true;
}

bool NoticeChannel::sendNotice(const QString &windowTitle, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return sendMessage(windowTitle, kNoticeTag, utf8, quint32(utf8.size()));
}

bool NoticeChannel::sendMessage(const QString &windowTitle, quint32 tag, const QByteArray &data,
                                quint32 byteCount)
{
    QLocalSocket socket;
    socket.connectToServer(serverName(windowTitle));
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false; // no such window: nothing is shown
    // A notice is never handed to another account's socket.
    if (!peerIsThisUser(socket)) {
        socket.abort();
        return false;
    }
    QByteArray message(kHeaderBytes, '\0');
    qToLittleEndian<quint32>(tag, message.data());
    qToLittleEndian<quint32>(byteCount, message.data() + 4);
    message += data;
    message += '\0';
    socket.write(message);
    // A local socket's buffer takes a notice whole, so this does not wait for
    // the receiver's event loop (which may be our own).
    const bool written = socket.waitForBytesWritten(kWriteTimeoutMs) || socket.bytesToWrite() == 0;
    socket.disconnectFromServer();
    return written;
}
