#pragma once
// Text notices between instances of the program (and from the program to
// itself): a local socket named after the window title, reachable only by the
// same user. A notice is one message:
//
//   quint32 tag (little endian) | quint32 byte count n (little endian) |
//   n bytes of UTF-8 text | one NUL byte
//
// Only tag 0x250F with a text whose UTF-8 form is exactly n bytes long is
// shown; anything else is swallowed without a visible effect.

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;
class QLocalSocket;

class NoticeChannel : public QObject {
    Q_OBJECT
public:
    static constexpr quint32 kNoticeTag = 0x250F;
    // Anything larger is not a notice; the connection is dropped unread.
    static constexpr quint32 kMaxTextBytes = 64 * 1024;

    explicit NoticeChannel(QObject *parent = nullptr);
    ~NoticeChannel() override;

    // The socket address for a window title.
    static QString serverName(const QString &windowTitle);

    // Starts listening for notices to windowTitle. A stale socket left by a
    // crashed instance is replaced; a live one of this user belongs to
    // another instance and is left alone (false). A live one of another user,
    // or a socket path too long for the system, keeps the channel off (false)
    // and is said once on standard error.
    bool listen(const QString &windowTitle);
    bool isListening() const;

    // Called with each accepted text, on the GUI thread, outside the socket's
    // own signal handling (so it may open a modal box).
    void setHandler(std::function<void(const QString &text)> handler) { m_handler = std::move(handler); }

    // The checks of a received message; the text when it is to be shown.
    static bool acceptNotice(quint32 tag, const QByteArray &data, quint32 byteCount, QString *text);

    // Sends text with the notice tag to the window titled windowTitle. True
    // when the message was handed over; the receiver shows it on its next
    // pass of the event loop. Nothing is sent to another user's socket.
    static bool sendNotice(const QString &windowTitle, const QString &text);
    // The raw form, for callers that need another tag or byte count.
    static bool sendMessage(const QString &windowTitle, quint32 tag, const QByteArray &data,
                            quint32 byteCount);

signals:
    // Every complete message as received, shown or not (for tests and logs).
    void messageReceived(quint32 tag, quint32 byteCount, bool shown);

private:
    void onNewConnection();
    void onReadyRead(QLocalSocket *socket, bool finished);

    QLocalServer *m_server = nullptr;
    std::function<void(const QString &)> m_handler;
};
