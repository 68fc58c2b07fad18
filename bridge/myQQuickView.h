#pragma once
// myQQuickView is the QML scene's "ui_View": it loads main.qml and owns what
// the scene's calls need - the ten profile stores, the application
// configuration store, the five sound players, the message strings of the
// current language and a (non-owned) pointer to the device link. Its slots
// are the published interface of the scene; names and argument order are
// fixed, QML passes arguments by position.
//
// The slots are implemented in several files, one per concern:
//   myQQuickView.cpp          construction, syncFW, initUI, runUI, setEnableAudio,
//                             profile read/write helpers
//   myQQuickView_store.cpp    profiles, app configuration, languages, macros,
//                             macro upload
//   myQQuickView_device.cpp   mouse and keyboard settings, pointer settings
//   myQQuickView_sound.cpp    sounds
//   myQQuickView_input.cpp    key and button events into the scene

#include <QList>
#include <QQuickWidget>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <array>
#include <memory>

class Hid_Thread;
class ProfileWriter;
class SoundPlayers;

class myQQuickView : public QQuickWidget {
    Q_OBJECT
public:
    explicit myQQuickView(QWidget *parent = nullptr);
    ~myQQuickView() override;

    void setHidThread(Hid_Thread *hid) { m_hid = hid; }
    Hid_Thread *hidThread() const { return m_hid; }

    // Invokes a function of the QML root item; false when the root or the
    // function is missing. Queued calls run on a later pass of the event loop.
    bool invokeRoot(const char *function, const QVariantList &args, Qt::ConnectionType type);

    // Key and button events from the input layer, forwarded to the root
    // functions "detectKeyboard" and "detectMouse" (queued).
    void onKeyboardEvent(uchar usbCode, bool isDown);
    void onMouseEvent(uchar code, bool isDown, int x, int y);

    // ---- current profile ------------------------------------------------------
    // Every profile value goes through these: lists are stored as lists of
    // decimal texts (so they keep Qt's plain INI list form). Reads see a
    // write at once; the files are written once per pass of the event loop,
    // off the GUI thread, so one user action costs one file replacement.
    int currentProfileIndex() const { return m_currentProfile; }
    QSettings *currentProfile() const;
    void profileWrite(const QString &key, const QVariant &value);
    // Puts every profile value written so far into its file before this
    // returns (export, import, reset, exit, and anyone reading the files).
    void flushProfiles();
    QVariant profileValue(const QString &key, const QVariant &defaultValue = QVariant()) const;
    // A stored list as written (items as strings); empty when absent.
    QVariantList profileList(const QString &key) const;
    const QStringList &messageStrings() const { return m_msgStrings; }

public slots:
    // ---- host window and UI control ------------------------------------------
    void initUI();
    void runUI();
    void setEnableAudio(bool isEnable);
    void syncFW();

    // ---- profile store --------------------------------------------------------
    void saveProfile(int profile);
    void loadProfile(int profile);
    void resetProfile(int profile);
    QVariantList loadDefaultProfile(uchar uiPageId);

    // ---- application configuration ----------------------------------------
    void saveApConfig(QVariantList apConfigs);
    QVariantList loadApConfig();
    QVariantList loadDeviceApConfig();
    void resetApconfig();
    bool getIsSkinShow();

    // ---- mouse settings bridge --------------------------------------------
    QVariantList getKeydefine(QVariant matrixId);
    void ui_01H_SetReportRate(uchar rate);
    void ui_02H_SetCurrentProfile(int profile);
    QString ui_80H_GetFWVersion();
    QVariant ui_81H_GetReportRate();
    QVariant ui_82H_GetCurrentProfile();
    QVariant getSensorType();
    bool chkIsLogoLedWork();
    bool getMsgAns_FoolProofing();
    void ui_0BH_SetCurrentDPIStage(uchar dpiStage);
    void ui_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2, QVariantList configs);
    void ui_10H_SetLED8StageColor(uchar type, QVariantList src24);
    void ui_11H_SetDPISet(uchar dpiStage, QVariantList src8, QVariantList valueForIndex);
    void ui_12H_SetKeyMatrix(QVariantList src64);
    QVariant ui_8BH_GetCurrentDPIStage();
    QVariantList ui_8DH_GetRGBLedEffect();
    QVariantList ui_90H_GetLED8StageColor(uchar type);
    uchar ui_91H_SyncDPI();
    QVariantList ui_91H_GetDPISet();
    QVariantList ui_92H_GetKeyMatrix();
    QVariantList ui_93H_GetMacroKey(uchar macroId);

    // ---- keyboard settings bridge -----------------------------------------
    void ui_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    void ui_04H_SetButtonSensitivity(uchar sens1, uchar sens2, uchar sens3, uchar sens4);
    void ui_07H_SetControlIndicatorLight(uchar effect, uchar frequenty);
    void ui_08H_SetLEDType(uchar option, uchar effect, uchar speed, uchar light, uchar color, uchar direction);
    void ui_09H_SetKeyboardMode(uchar mode);
    void ui_0DH_SetKeyMatrix(QVariantList src512);
    void ui_0EH_SetKeyOnOff(QVariantList src21);
    void ui_12H_SetUserPicture(uchar index, uchar option, QVariantList src512);
    void ui_13H_SetRecoveryData();
    void ui_14H_SetColor(uchar index, uchar rValue, uchar gValue, uchar bValue);
    QVariantList ui_83H_GetKeyboardoption();
    QVariantList ui_84H_GetButtonSensitivity();
    QVariantList ui_88H_GetLEDType();
    QVariant ui_89H_GetKeyboardMode();
    QVariantList ui_8DH_GetKeyMatrix();
    QVariantList ui_8EH_GetKeyOnOff();
    QVariantList ui_91H_GetMacroKey(uchar macroId);
    QVariantList ui_92H_GetUserPicture(uchar index);
    QVariantList ui_94H_GetColor(uchar index);

    // ---- macro library ------------------------------------------------------
    QStringList getMacroIniNames();
    QVariant createMacroIni();
    QStringList loadMacroIni(QVariant name);
    QVariant saveMacroIni(QVariant name, QStringList macros);
    QVariantList loadMacroIniConfig(QVariant name);
    void setMacroIniConfig(QVariant name, QVariantList config);
    QVariant deleteMacroIni(QVariant name);
    void renameMacroIniFile(QVariant oldName, QVariant newName);
    void loadMacroIniFromFile(QVariant name);
    void saveMacroIniToFile(QVariant name);
    QString getCustomFilePath();

    // ---- macro encoding and upload ------------------------------------------
    QList<uchar> macroIncode(QStringList macros);
    void ui_13H_SetMacroKey(QVariant macroId, QVariant name);
    void ui_11H_SetMacroKey(QVariant macroId, QVariant name);

    // ---- languages ----------------------------------------------------------
    QVariantMap chkLanguages();
    QStringList getGlobalStrings(QString langCode);
    QStringList getProductLayoutStrings_Z3(QString langCode);

    // ---- pointer settings ---------------------------------------------------
    bool getScrollPinSwap();
    void setScrollPinSwap(bool isSwap);
    bool getAcceleration();
    void setAcceleration(bool acceleration);
    uint getCursorSpeed();
    void setCursorSpeed(uint cursorSpeed);
    uint getVerticalScrollLines();
    void setVerticalScrollLines(uint lines);
    uint getDoubleClickSpeed();
    void setDoubleClickSpeed(uint speed);

    // ---- sounds ---------------------------------------------------------------
    void playMedia_Index(uchar index);
    void playMedia_Background();
    void clearAllMedia();

public:
    // The players, for tests: read their state through sounds()->state(index).
    SoundPlayers *sounds() const { return m_sounds; }
    bool isAudioEnabled() const { return m_soundEnabled; }

private:
    // Construction steps owned by other files.
    void buildKeyNameTable();     // myQQuickView_store.cpp
    void createSoundPlayers();    // myQQuickView_sound.cpp
    void openStores();            // myQQuickView.cpp

    Hid_Thread *m_hid = nullptr;
    bool m_soundEnabled = true;
    SoundPlayers *m_sounds = nullptr; // a child of the view
    QSettings *m_apConfig = nullptr;   // "./modules/setting/apConfig.bin"
    QList<QSettings *> m_profiles;     // "./modules/setting/p1.bin" .. "p10.bin"
    // Profiles written since their file was last queued for writing.
    QList<QSettings *> m_unwritten;
    std::unique_ptr<ProfileWriter> m_writer;
    void queueProfileWrites();
    int m_currentProfile = 0;
    QStringList m_msgStrings;          // "msg/0" .. "msg/5" of the current language
};
