#pragma once
// Ends the program cleanly on SIGTERM and SIGINT: the signal handler only
// writes a byte to a pipe; the GUI thread reads it and leaves the event loop,
// so every destructor runs and every store reaches its file.

#include <QObject>

class QSocketNotifier;

class SignalQuit : public QObject {
    Q_OBJECT
public:
    explicit SignalQuit(QObject *parent = nullptr);
    ~SignalQuit() override;

    bool isActive() const { return m_notifier != nullptr; }
    // A signal arrived (also before the event loop ran, when quit() alone
    // would be lost).
    bool requested() const { return m_requested; }

signals:
    // Emitted on the GUI thread with the signal number, before quitting.
    void received(int signalNumber);

private:
    void onReadable();
    QSocketNotifier *m_notifier = nullptr;
    bool m_requested = false;
};
