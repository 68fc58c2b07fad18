#include "hookMgr.h"

#include <windows.h>

// Windows: low-level keyboard and mouse hooks for the program's lifetime.
// The hook procedures only look up, compare and call back; every event is
// passed on, nothing is swallowed.

namespace {

hookMgr *g_manager = nullptr; // the hook procedures reach the one manager here
HHOOK g_keyboardHook = nullptr;
HHOOK g_mouseHook = nullptr;

LRESULT CALLBACK keyboardProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION && g_manager) {
        const auto *k = reinterpret_cast<const KBDLLHOOKSTRUCT *>(lParam);
        const bool isDown = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
        const quint16 scan = k->scanCode <= 0xFF ? quint16(k->scanCode) : 0;
        g_manager->handleKey(scan, (k->flags & LLKHF_EXTENDED) != 0, isDown, (k->flags & LLKHF_ALTDOWN) != 0);
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

LRESULT CALLBACK mouseProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    // WM_LBUTTONDOWN .. WM_MBUTTONUP; the double-click messages report nothing.
    static const uchar kCode[8] = {0xF0, 0xF0, 0, 0xF1, 0xF1, 0, 0xF2, 0xF2};
    static const uchar kDown[8] = {1, 0, 0, 1, 0, 0, 1, 0};
    if (nCode == HC_ACTION && g_manager && wParam >= WM_LBUTTONDOWN && wParam <= WM_MBUTTONUP) {
        const auto *m = reinterpret_cast<const MSLLHOOKSTRUCT *>(lParam);
        const std::size_t i = std::size_t(wParam - WM_LBUTTONDOWN);
        g_manager->handleMouseButton(kCode[i], kDown[i] != 0, int(m->pt.x), int(m->pt.y));
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

} // namespace

bool hookMgr::installHooks()
{
    if (g_keyboardHook || g_mouseHook)
        removeHooks();
    g_manager = this;
    HINSTANCE module = GetModuleHandleW(nullptr);
    g_keyboardHook = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProc, module, 0);
    g_mouseHook = SetWindowsHookExW(WH_MOUSE_LL, mouseProc, module, 0);
    if (!g_keyboardHook || !g_mouseHook) {
        // Half a capture is no use; do not leave the other hook behind.
        removeHooks();
        return false;
    }
    m_installed = true;
    return true;
}

void hookMgr::removeHooks()
{
    if (g_keyboardHook)
        UnhookWindowsHookEx(g_keyboardHook);
    if (g_mouseHook)
        UnhookWindowsHookEx(g_mouseHook);
    g_keyboardHook = nullptr;
    g_mouseHook = nullptr;
    if (g_manager == this)
        g_manager = nullptr;
    m_installed = false;
}

bool hookMgr::eventFilter(QObject *watched, QEvent *event)
{
    return QObject::eventFilter(watched, event);
}
