#pragma once
// Hid_Thread owns the link to the mouse (and the dormant keyboard branch):
// the device table, discovery of the two HID interfaces, the secrecy-code
// handshake, the optional event watcher, the shared frame buffers with their
// link claim, the scrambled transport and both command sets.
//
// It derives from QThread for the published interface only; its own thread is
// never started (the watcher gets a thread of its own). Commands are called on
// the GUI thread; Set commands run their transfer on the global thread pool,
// Get commands on the caller.

#include "HidBackend.h"

#include <QFuture>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>

// ---- process-wide state shared with the application shell -----------------
extern std::atomic<bool> isEncode;
extern std::atomic<bool> demoMode;
extern std::atomic<bool> deviceReady;
extern uchar SecrecyCode[8];

// Resets the process-wide flags to their start values (tests start many links
// in one process).
void resetDeviceProcessState();

// One row of the device table ":/DevInfo.ini".
struct DevInfoRow {
    int type = -1;
    quint16 vid = 0;
    quint16 pid = 0;
    quint16 usagePage = 0;
    quint16 usage = 0;
    quint16 usagePage2 = 0;
    quint16 usage2 = 0;
    QString name;
    uint reportLength = 0;
};

// One entry of the device list, one per table row.
struct DeviceEntry {
    int id = -1;
    QString name;
    int type = -1;
    QString commandPath;
    QString eventPath;
    uint reportLength = 0;
};

// Where the link reads the secrecy codes and product names. The application
// configuration store provides the real one; the default answers "582604"
// and no product names.
class DeviceConfig {
public:
    virtual ~DeviceConfig() = default;
    // apConfig "common/sCode" + did; returns defaultValue when absent.
    virtual QString secrecyCode(uint did, const QString &defaultValue) const = 0;
    // apConfig "common/product_name".
    virtual QStringList productNames() const = 0;
};

class Hid_Thread : public QThread {
    Q_OBJECT
public:
    // Fixed 8-byte scrambling key "VeLmoRik".
    static const uchar kKey[8];
    static constexpr int kFrameSize = 9;     // report ID + B0..B7
    static constexpr int kPayloadSize = 512; // largest block of either device
    static constexpr int kClaimAttempts = 255;
    static constexpr int kClaimPollMs = 8;
    static constexpr int kReportPauseMs = 8;
    static constexpr int kQuietPeriodMs = 64;
    // A device that announces a block and never sends it must not hold the
    // calling thread forever: each interrupt IN report is awaited this long.
    static constexpr int kBlockReadTimeoutMs = 1000;
    static constexpr int kWatchReadTimeoutMs = 500;

    explicit Hid_Thread(QObject *parent = nullptr);
    ~Hid_Thread() override;

    // ---- seams ---------------------------------------------------------------
    // Takes ownership. Defaults to the hidapi backend.
    void setBackend(std::unique_ptr<HidBackend> backend);
    HidBackend *backend() const;
    // Not owned; nullptr means the built-in default (code "582604", no names).
    void setDeviceConfig(const DeviceConfig *config);
    // Called when the handshake fails outside demo mode, with the product
    // name; the host window shows "Can not detect %1 !" and then closes.
    // Without a handler the failure is only logged.
    void setHandshakeFailedHandler(std::function<void(const QString &productName)> handler);

    // ---- device table and discovery ----------------------------------------
    // Reads ":/DevInfo.ini" (or another INI file), naming rows from the
    // configuration's product list.
    QList<DevInfoRow> loadDeviceTable(const QString &fileName = QStringLiteral(":/DevInfo.ini"));
    // The whole device check minus syncFW (which belongs to the view): table,
    // discovery, isEncode, swichCurDevice(currentDevice).
    void runDeviceCheck(const QString &tableFile = QStringLiteral(":/DevInfo.ini"));
    void discoverDevices(const QList<DevInfoRow> &rows);
    HidHandle *openCommandInterface(int did);
    HidHandle *openEventInterface(int did);
    void closeCommandInterface();
    void closeEventInterface();

    QList<DeviceEntry> deviceList() const; // a copy, safe against the watcher
    uint currentDevice() const { return m_currentDevice; }
    // True when the current device was enumerated but an open failed for lack
    // of permission since the last device check.
    bool accessDenied() const { return m_accessDenied; }

    // ---- transport (frames, scrambling, claim) ------------------------------
    // Waits, in the order of asking, until the link is claimed, then runs
    // onClaimed with the claim held (the command's body: fill the frame, hand
    // it to a transfer). False, with nothing run, when the claim timed out.
    // The body may run from a newer waiter further up this thread's stack.
    // Without a body the caller holds the claim on return and must start its
    // transfer before it lets events run.
    bool waitLinkFree(const std::function<void()> &onClaimed = {});
    bool sendFrame(int length, bool waitQuiet);
    bool transferFrame(int length);
    void waitQuiet();
    bool isLinkFree() const { return linkFree.load(); }

    // Test hooks into the shared buffers (the frame as last filled, before
    // scrambling happens on the wire).
    const uchar *commandFrame() const { return m_cmd; }
    const uchar *answerFrame() const { return m_ans; }

    // ---- watcher -------------------------------------------------------------
    void startWatch(uint did);
    void stopWatch();
    bool isWatching() const { return watching.load(); }

public slots:
    // Frame helpers (published names).
    uchar hidCS(uchar *frame);
    void USBDataEncryption(uchar FIFOBuf[], uchar SecrecyCode[]);
    void USBDataDecipher(uchar FIFOBuf[], uchar SecrecyCode[]);

    void swichCurDevice(uint did);
    void chkDeviceIsEnCode();
    void hid_00H_GetSecrecyCode(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4);

    // ---- mouse (and shared 01H, 02H, 80H, 81H, 82H) ---------------------------
    void hid_01H_SetReportRate(uchar rate);
    void hid_02H_SetCurrentProfile(uchar profile);
    void hid_03H_SetFunctionOption(uchar type, uchar rate, uchar option1, uchar option2);
    void hid_07H_SetLEDInstructFunction(uchar type, uchar option1, uchar option2, uchar option3);
    void hid_0BH_SetCurrentDPIStage(uchar dpiStage);
    void hid_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2);
    void hid_10H_SetLED8StageColor(uchar type, uchar *src24);
    void hid_11H_SetDPISet(uchar dpiStage, uchar *src8);
    void hid_12H_SetKeyMatrix(uchar *src64);
    void hid_13H_SetMacroKey(uchar macroId, uchar *src128);

    void hid_80H_GetFWVersion(QString &version);
    // 81H and 83H answer whether the exchange succeeded (the outputs are
    // filled either way), so a caller can refuse to write back a guess.
    bool hid_81H_GetReportRate(uchar &rate);
    void hid_82H_GetCurrentProfile(uchar &profile);
    bool hid_83H_GetFunctionOption(uchar &type, uchar &option1, uchar &option2);
    bool hid_87H_GetLEDInstructFunction(uchar type, uchar &option1, uchar &option2, uchar &option3);
    void hid_8BH_GetCurrentDPIStage(uchar &dpiStage);
    void hid_8DH_GetRGBLedEffect(uchar &effect, uchar &option1, uchar &option2);
    void hid_90H_GetLED8StageColor(uchar type, uchar *src24);
    bool hid_91H_GetDPISet(uchar &dpiMAXStage, uchar *src8);
    void hid_92H_GetKeyMatrix(uchar *src64);
    void hid_93H_GetMacroKey(uchar macroId, uchar *src128);

    // ---- keyboard -------------------------------------------------------------
    void hid_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    void hid_04H_SetButtonSensitivity(uchar sens1, uchar sens2, uchar sens3, uchar sens4);
    void hid_07H_SetControlIndicatorLight(uchar effect, uchar frequenty);
    void hid_08H_SetLEDType(uchar option, uchar effect, uchar speed, uchar light, uchar color,
                            uchar direction);
    void hid_09H_SetKeyboardMode(uchar mode);
    void hid_0DH_SetKeyMatrix(uchar *src512);
    void hid_0EH_SetKeyOnOff(uchar *src21);
    void hid_11H_SetMacroKey(uchar macroId, uchar *src192);
    void hid_12H_SetUserPicture(uchar index, uchar option, uchar *src512);
    void hid_13H_SetRecoveryData();
    void hid_14H_SetColor(uchar index, uchar rValue, uchar gValue, uchar bValue);

    void hid_83H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4);
    void hid_84H_GetButtonSensitivity(uchar &sens1, uchar &sens2, uchar &sens3, uchar &sens4);
    void hid_88H_GetLEDType(uchar &effect, uchar &speed, uchar &light, uchar &color, uchar &direction);
    void hid_89H_GetKeyboardMode(uchar &mode);
    void hid_8DH_GetKeyMatrix(uchar *src512);
    void hid_8EH_GetKeyOnOff(uchar *src21);
    void hid_91H_GetMacroKey(uchar macroId, uchar *src192);
    void hid_92H_GetUserPicture(uchar index, uchar *src512);
    void hid_94H_GetColor(uchar index, uchar &rValue, uchar &gValue, uchar &bValue);

private:
    HidHandle *sendCommandFrame(int did);
    // Shared shapes of every command (one place for claim, frame, send/transfer).
    bool claimOrReport(const char *failText, const std::function<void()> &onClaimed);
    void serveClaims();
    void fillFrame(uchar b0, uchar b1 = 0, uchar b2 = 0, uchar b3 = 0, uchar b4 = 0, uchar b5 = 0,
                   uchar b6 = 0);
    void startSet(int length, bool waitQuiet);
    void watchDevice(uint did);
    DeviceEntry currentEntry() const;
    DeviceEntry entry(int did) const;
    void setPath(int did, bool command, const QString &path);
    // Answer frame A0..A7 (after the report ID).
    void prefillAnswer(uchar a0 = 0, uchar a1 = 0, uchar a2 = 0, uchar a3 = 0, uchar a4 = 0, uchar a5 = 0,
                       uchar a6 = 0, uchar a7 = 0);
    uchar answer(int i) const { return m_ans[1 + i]; }
    // Block read shared by the Get commands with a payload: pre-fills the
    // payload buffer from the caller's buffer, transfers, copies it back.
    bool transferBlock(uchar *buffer, int length);
    // 00H proper; false when the link could not be claimed or the exchange failed.
    bool exchangeSecrecyCode(uchar bytes[4]);
    HidHandle *openInterface(int did, bool command);
    void closeInterface(bool command);

    std::unique_ptr<HidBackend> m_backend;
    const DeviceConfig *m_config = nullptr;
    std::function<void(const QString &)> m_handshakeFailed;

    mutable QMutex m_devicesLock; // the watcher reads the list while a check replaces it
    QList<DeviceEntry> m_devices;
    std::atomic<uint> m_currentDevice{1}; // read by Set tasks on pool threads
    std::atomic<HidHandle *> m_commandHandle{nullptr};
    std::atomic<HidHandle *> m_eventHandle{nullptr};
    std::atomic<bool> m_accessDenied{false};

    std::atomic<bool> linkFree{true};
    // Claims waiting on the command thread, oldest first; each lives on the
    // stack of its waitLinkFree.
    struct Claim {
        const std::function<void()> &onClaimed;
        bool served = false;
    };
    std::deque<Claim *> m_claims;
    std::atomic<bool> quietFlag{true};
    std::atomic<bool> watching{false};
    // The watcher's own thread: on the global pool it would hold a thread for
    // its whole life and starve the Set tasks where the pool has only one.
    std::unique_ptr<QThread> m_watchThread;
    // The last Set task: the destructor waits for it so a pool thread never
    // touches a destroyed link.
    QFuture<bool> m_setFuture;

    uchar m_cmd[kFrameSize] = {};
    uchar m_ans[kFrameSize] = {};
    uchar m_payload[kPayloadSize] = {};
};
