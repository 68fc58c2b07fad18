// The notice channel's receiving side: raw bytes sent over a real local
// socket to a listening channel, as another process could send them.
#include "FuzzSupport.h"
#include "NoticeChannel.h"

#include <QElapsedTimer>
#include <QLocalSocket>

namespace {

const QString kTitle = QStringLiteral("z3fuzz notice");

NoticeChannel &channel()
{
    static NoticeChannel *c = [] {
        auto *n = new NoticeChannel;
        qputenv("XDG_RUNTIME_DIR", fuzz::folder().toUtf8());
        if (!n->listen(kTitle))
            __builtin_trap();
        n->setHandler([](const QString &text) { (void)text.size(); });
        return n;
    }();
    return *c;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::app();
    NoticeChannel &receiver = channel();
    // Every non-empty message is judged once the sender has gone.
    if (size == 0)
        return 0;
    int judged = 0;
    const auto conn = QObject::connect(&receiver, &NoticeChannel::messageReceived,
                                       [&judged](quint32, quint32, bool) { ++judged; });
    {
        QLocalSocket sender;
        sender.connectToServer(NoticeChannel::serverName(kTitle));
        if (!sender.waitForConnected(1000))
            __builtin_trap();
        sender.write(reinterpret_cast<const char *>(data), qint64(size));
        sender.waitForBytesWritten(1000);
        sender.disconnectFromServer();
    }
    QElapsedTimer t;
    t.start();
    while (judged == 0 && t.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents(); // the queued handler call
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the closed sockets
    QObject::disconnect(conn);
    if (judged != 1)
        __builtin_trap();
    return 0;
}
