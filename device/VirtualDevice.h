#pragma once
// An in-process Z3 mouse (or the dormant keyboard) behind the HID backend
// interface. It behaves as the real firmware is expected to: two interfaces,
// scrambled frames unscrambled with its own secrecy code (a frame whose
// checksum fails is dropped unanswered), the handshake echo,
// Set commands stored and Get commands answered from that state, blocks in
// plain interrupt reports, and the quiet report 04 04 00 00 on the event
// interface after each processed command. Faults can be injected for tests.
// Thread-safe: the link calls it from the GUI thread and from pool threads.

#include "HidBackend.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QString>
#include <QWaitCondition>

#include <array>
#include <atomic>
#include <deque>
#include <map>

class VirtualDevice : public HidBackend {
public:
    enum class Model { Mouse, Keyboard };

    // Faults on demand.
    struct Faults {
        bool absent = false;                    // enumerates nothing
        bool noCommandInterface = false;        // only the event interface is listed
        bool noEventInterface = false;          // only the command interface is listed
        bool duplicateCommandInterface = false; // command interface listed twice (second path wins)
        bool noFeatureAnswer = false;           // getFeatureReport fails
        bool blockNeverArrives = false;         // announced IN blocks are never sent
        bool unplugMidTransfer = false;         // after the command frame everything fails
        bool denyOpen = false;                  // open() fails as permission denied
        int answerDelayMs = 0;                  // every feature read waits this long
        int writeDelayMs = 0;                   // every feature send and interrupt write takes this long
        // (Both delays end early when setFaults() clears them, so a test can
        // hold the link and then let it go.)
    };

    // One command as the device received it, unscrambled.
    struct Received {
        std::array<uchar, 8> frame{}; // B0..B7 after unscrambling
        QByteArray payload;           // interrupt OUT data as received (whole reports)
        QList<int> reportSizes;       // length of each interrupt OUT write, report ID included
        qint64 atMs = 0;              // when the frame arrived, ms since the device was made
    };

    explicit VirtualDevice(Model model = Model::Mouse, const QString &secrecyCode = QStringLiteral("582604"));
    ~VirtualDevice() override;

    // ---- HidBackend ---------------------------------------------------------
    QList<HidDeviceInfo> enumerate(quint16 vendorId, quint16 productId) override;
    HidHandle *open(const QByteArray &path, HidChannel channel) override;
    int setNonBlocking(HidHandle *handle, bool nonBlocking) override;
    int sendFeatureReport(HidHandle *handle, const uchar *data, size_t length) override;
    int getFeatureReport(HidHandle *handle, uchar *data, size_t length) override;
    int write(HidHandle *handle, const uchar *data, size_t length) override;
    int read(HidHandle *handle, uchar *data, size_t length) override;
    int readTimeout(HidHandle *handle, uchar *data, size_t length, int milliseconds) override;
    void close(HidHandle *handle) override;
    bool lastOpenDenied() const override;

    // ---- configuration and faults ------------------------------------------
    void setModel(Model model);               // which device-table row it shows
    void setSecrecyCode(const QString &code); // six characters
    void setEncoding(bool on);                // scrambles frames (default on)
    void setFaults(const Faults &faults);
    Faults faults() const;
    void setSensorType(uchar type);                    // 83H answer A1
    void setLogoLedWorks(bool works);                  // 87H type 0 answers option1 0 when true
    void setFirmwareVersion(uchar major, uchar minor); // 80H answer A1, A2
    void setDpiStageCount(uchar stages);               // 91H answer A1
    void setSendQuietReport(bool on);                  // 04 04 00 00 after each command (default on)
    // How long a plain read() on the command interface waits for a report
    // before it fails with -1 (a real read would block for ever).
    void setPlainReadBoundMs(int milliseconds);
    // Plugs the device back in after an unplug fault (faults stay as set).
    void replug();

    // ---- state inspection ---------------------------------------------------
    QList<Received> received() const; // every command frame in order (the latest 4096)
    void clearReceived();
    int openHandleCount() const; // handles currently open
    // Settings as stored by Set commands (mouse and keyboard alike).
    uchar reportRate() const;
    uchar currentProfile() const;
    uchar dpiStage() const;
    std::array<uchar, 3> ledEffect() const;             // effect, option1, option2
    QByteArray ledColors(uchar type) const;             // 24 bytes (4 for type 2)
    QByteArray dpiCodes() const;                        // 8 bytes
    uchar dpiStagesInUse() const;                       // B1 of the last 11H
    QByteArray keyMatrix() const;                       // 64 (mouse) or 512 (keyboard) bytes
    QByteArray macro(uchar id) const;                   // 128 (mouse) or 192 (keyboard) bytes
    std::array<uchar, 4> functionOption() const;        // type, rate, option1, option2 (03H)
    QByteArray userPicture(uchar index) const;          // keyboard, 512 bytes
    QByteArray keyOnOff() const;                        // keyboard, 21 bytes
    std::array<uchar, 4> ledInstruct(uchar type) const; // mouse 07H: type, option1..option3
    std::array<uchar, 4> keyboardOption() const;        // keyboard 03H
    std::array<uchar, 4> buttonSensitivity() const;     // keyboard 04H
    std::array<uchar, 2> indicatorLight() const;        // keyboard 07H: effect, frequency
    std::array<uchar, 6> ledType() const;               // keyboard 08H: option, effect .. direction
    uchar keyboardMode() const;                         // keyboard 09H
    uchar userPictureOption(uchar index) const;         // keyboard 12H B4
    std::array<uchar, 3> color(uchar index) const;      // keyboard 14H: r, g, b
    int recoveryCount() const;                          // keyboard 13H frames seen
    int quietReportsPending() const;                    // event reports not yet read

    static const QByteArray kCommandPath;
    static const QByteArray kEventPath;

private:
    struct Handle;
    struct State;
    State *d;
};
