#include "hookMgr.h"

#include "KeyTables.h"

// Portable half of the key-event manager: the tables and the change filter.
// The platform files install the event source and feed handleKey /
// handleMouseButton.

namespace {
constexpr quint16 kScanScrollLockOrBreak = 0x46;
constexpr quint16 kScanAltPrintScreen = 0x54;
constexpr uchar kVkPause = 0x13;
constexpr uchar kVkPrintScreen = 0x2C;
} // namespace

hookMgr::hookMgr(bool nonUsBackslash, QObject *parent) : QObject(parent), m_nonUsBackslash(nonUsBackslash)
{
    buildTables();
    installHooks();
}

hookMgr::~hookMgr()
{
    removeHooks();
}

void hookMgr::buildTables()
{
    m_scanToVk.clear();
    m_scanToVk = KeyTables::scanToVkTable();
    m_vkToUsb.clear();
    m_vkToUsb = KeyTables::vkToUsbTable(m_nonUsBackslash);
}

void hookMgr::setKeyboardCallback(KeyboardCallback callback, void *userData)
{
    m_keyboard = callback;
    m_keyboardData = userData;
}

void hookMgr::setMouseCallback(MouseCallback callback, void *userData)
{
    m_mouse = callback;
    m_mouseData = userData;
}

uchar hookMgr::scanToVk(quint16 scanAndExtended) const
{
    const auto it = m_scanToVk.find(scanAndExtended);
    return it == m_scanToVk.end() ? 0 : it->second;
}

uchar hookMgr::vkToUsb(uchar vk) const
{
    const auto it = m_vkToUsb.find(vk);
    return it == m_vkToUsb.end() ? 0 : it->second;
}

void hookMgr::handleKey(quint16 scanCode, bool extended, bool isDown, bool altDown)
{
    const quint16 scan = scanCode <= 0xFF ? scanCode : 0;
    uchar vk = scanToVk(KeyTables::scanKey(scan, extended));
    // Ctrl+Pause arrives as extended 46; Alt+Print Screen as scan 54.
    if (scan == kScanScrollLockOrBreak && extended)
        vk = kVkPause;
    else if (scan == kScanAltPrintScreen && altDown)
        vk = kVkPrintScreen;
    if (vk == 0)
        return;
    const uchar usb = vkToUsb(vk);
    const uchar down = isDown ? 1 : 0;
    // Auto-repeat and duplicate deliveries report nothing: only changes count.
    if (usb == 0 || m_keyState[usb] == down)
        return;
    m_keyState[usb] = down;
    if (m_keyboard)
        m_keyboard(usb, down, m_keyboardData);
}

void hookMgr::releaseAllKeys()
{
    for (size_t usb = 0; usb < m_keyState.size(); ++usb) {
        if (m_keyState[usb] == 0)
            continue;
        m_keyState[usb] = 0;
        if (m_keyboard)
            m_keyboard(uchar(usb), 0, m_keyboardData);
    }
}

void hookMgr::handleMouseButton(uchar code, bool isDown, int x, int y)
{
    if (code != 0 && m_mouse)
        m_mouse(code, isDown ? 1 : 0, x, y, m_mouseData);
}
