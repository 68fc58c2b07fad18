#pragma once
// Widget is the program's one top-level window: the frameless host of the
// QML scene, the owner of the device link, and the place where device
// changes turn into a new device check 2048 ms after the last one.

#include "Hid_Thread.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <memory>

class Ui_Controler;
class myQQuickView;
class HidBackend;

// Posted by start-up so that "run" is requested only after the queued
// "initUI" has been delivered. Only type 1000 with tag 2177 is acted on.
class runUIEvent : public QEvent {
public:
    static constexpr int kTag = 2177;
    explicit runUIEvent(int tag = kTag) : QEvent(QEvent::User), tag(tag) {}
    int tag;
};

class Widget : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDeviceCheckDelayMs = 2048;
    static constexpr const char *kFallbackProductName = "Z3 Gaming Mouse";

    // backend: the HID backend for the link (nullptr = the real devices).
    explicit Widget(QWidget *parent = nullptr, std::unique_ptr<HidBackend> backend = nullptr);
    ~Widget() override;

    myQQuickView *view() const;
    Ui_Controler *controler() const { return ui; }
    Hid_Thread &hidThread() { return hid; }
    const QTimer &deviceTimer() const { return timer; }
    // Tests shorten the wait; the program keeps 2048 ms.
    void setDeviceCheckDelay(int ms) { timer.setInterval(ms); }

    // The text of the missing-device box for a product name.
    static QString missingDeviceText(const QString &productName, bool accessDenied);

    // The start-up after construction: one device check; when the device is
    // ready (or demo mode is on) show the window, queue "initUI", post the
    // runUIEvent and, in demo mode, send the demo notice to the window with
    // this title. False when the window stays hidden (the failed check has
    // shown its box and queued the close).
    bool startUp();

public slots:
    void checkDevice();
    // A device came or went: check again once notices have stopped for
    // the timer's interval.
    void onDeviceChange();

signals:
    // After every device check (start-up and later ones).
    void deviceChecked();
    // The window was closed (by the scene's close button or after a failed
    // device check); the program ends.
    void closed();

protected:
    void customEvent(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void onHandshakeFailed(const QString &productName);

    QTimer timer;
    Ui_Controler *ui = nullptr;
    Hid_Thread hid;
    std::unique_ptr<DeviceConfig> m_deviceConfig;
};
