#include "SignalQuit.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};
struct sigaction g_oldTerm;
struct sigaction g_oldInt;

void onSignal(int number)
{
    const int saved = errno;
    const char byte = char(number);
    // Async-signal-safe; a full pipe only means a quit is already pending.
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

SignalQuit::SignalQuit(QObject *parent) : QObject(parent)
{
    if (g_pipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0)
        return; // one instance per process
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalQuit::onReadable);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, &g_oldTerm);
    sigaction(SIGINT, &action, &g_oldInt);
}

SignalQuit::~SignalQuit()
{
    if (!m_notifier)
        return;
    sigaction(SIGTERM, &g_oldTerm, nullptr);
    sigaction(SIGINT, &g_oldInt, nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void SignalQuit::onReadable()
{
    char byte = 0;
    int last = 0;
    while (::read(g_pipe[0], &byte, 1) == 1)
        last = byte;
    if (!last)
        return;
    m_requested = true;
    emit received(last);
    // Before the event loop runs (a start-up box) quit() alone is ignored:
    // close the open boxes so start-up returns and sees the request.
    const QWidgetList tops = QApplication::topLevelWidgets();
    for (QWidget *w : tops)
        if (auto *dialog = qobject_cast<QDialog *>(w); dialog && dialog->isVisible())
            dialog->reject();
    QCoreApplication::quit();
}
