#pragma once
// The two fixed tables that name a physical key by the USB HID usage code the
// mouse firmware uses: PC set-1 scan code (with the extended-key flag) ->
// Windows virtual-key code -> keyboard usage ID. Both platforms use the same
// tables so a key gives the same code everywhere.

#include <QtGlobal>

#include <map>

namespace KeyTables {

// Key of the scan table: scan code << 8 | extended flag.
inline quint16 scanKey(quint16 scanCode, bool extended)
{
    return quint16((scanCode & 0xFF) << 8 | (extended ? 1 : 0));
}

// Virtual-key code 0x0E is our own: the keypad Enter, kept apart from Enter (0x0D).
constexpr uchar kVkKeypadEnter = 0x0E;

// 106 entries.
std::map<quint16, uchar> scanToVkTable();
// 121 entries; the backslash key (0xDC) gives 0x31, or 0x32 (non-US #/~) with the option.
std::map<uchar, uchar> vkToUsbTable(bool nonUsBackslash);

// Linux input (evdev) key code -> PC set-1 scan code and extended flag, as a
// Windows keyboard hook would see the same key. False for keys a PC keyboard
// does not have. X11 and Wayland report evdev code + 8 as the native scan code.
bool evdevToScan(quint32 evdevCode, quint16 &scanCode, bool &extended);

} // namespace KeyTables
