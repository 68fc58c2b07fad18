#include "SignalQuit.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <windows.h>

namespace {

SignalQuit *g_instance = nullptr;

// Console control events (Ctrl+C, closing the console, log-off) arrive on a
// thread of their own; the quit is queued to the GUI thread.
BOOL WINAPI onConsoleEvent(DWORD type)
{
    if (!g_instance)
        return FALSE;
    const int number = type == CTRL_C_EVENT ? 2 : 15;
    QMetaObject::invokeMethod(
        g_instance,
        [number] {
            emit g_instance->received(number);
            QCoreApplication::quit();
        },
        Qt::QueuedConnection);
    return TRUE;
}

} // namespace

SignalQuit::SignalQuit(QObject *parent) : QObject(parent)
{
    if (g_instance)
        return;
    g_instance = this;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    connect(this, &SignalQuit::received, this, [this] { m_requested = true; });
}

SignalQuit::~SignalQuit()
{
    if (g_instance != this)
        return;
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    g_instance = nullptr;
}

void SignalQuit::onReadable() {}
