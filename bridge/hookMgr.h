#pragma once
// hookMgr watches key presses and mouse buttons for the key boxes and macro
// recording, turns each key into its USB HID usage code through two fixed
// tables (scan code -> virtual key -> usage), and reports only changes.
// On Linux it is an application-wide event filter (keys are seen while the
// program's window has focus; no system-wide key logging); on Windows it uses
// low-level hooks. One instance, created by the entry point.

#include <QObject>
#include <QtGlobal>

#include <array>
#include <map>

class hookMgr : public QObject {
    Q_OBJECT
public:
    using KeyboardCallback = void (*)(uchar usbCode, uchar isDown, void *userData);
    using MouseCallback = void (*)(uchar code, uchar isDown, int x, int y, void *userData);

    explicit hookMgr(bool nonUsBackslash = false, QObject *parent = nullptr);
    ~hookMgr() override;

    void setKeyboardCallback(KeyboardCallback callback, void *userData);
    void setMouseCallback(MouseCallback callback, void *userData);
    bool installHooks();
    void removeHooks();

    // Table look-ups (0 when absent).
    uchar scanToVk(quint16 scanAndExtended) const;
    uchar vkToUsb(uchar vk) const;

    // Feeds one key event, as (PC scan code, extended flag, down), through the
    // tables and the change filter. The platform layer calls it; tests may too.
    void handleKey(quint16 scanCode, bool extended, bool isDown, bool altDown = false);
    // Reports every key still down as released, e.g. when the focus leaves
    // the program, which then sees no more of its keys.
    void releaseAllKeys();
    // Feeds one mouse button event (code F0, F1 or F2).
    void handleMouseButton(uchar code, bool isDown, int x, int y);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildTables();

    bool m_nonUsBackslash = false;
    bool m_installed = false;
    KeyboardCallback m_keyboard = nullptr;
    void *m_keyboardData = nullptr;
    MouseCallback m_mouse = nullptr;
    void *m_mouseData = nullptr;
    std::map<quint16, uchar> m_scanToVk;
    std::map<uchar, uchar> m_vkToUsb;
    std::array<uchar, 256> m_keyState{};
};
