#include "PointerSettings.h"

#include <windows.h>

// Windows: the user's pointer settings through SystemParametersInfoW. Every
// change is saved to the user profile and broadcast to running programs.

namespace PointerSettings {
namespace {
constexpr UINT kSaveAndBroadcast = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;
}

QString backendName()
{
    return QStringLiteral("windows");
}

bool setPointerSpeed(int speed)
{
    // The speed travels in the pointer argument itself.
    return SystemParametersInfoW(SPI_SETMOUSESPEED, 0, reinterpret_cast<PVOID>(static_cast<INT_PTR>(speed)),
                                 kSaveAndBroadcast) != FALSE;
}

bool setWheelScrollLines(int lines)
{
    return SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, UINT(lines), nullptr, kSaveAndBroadcast) != FALSE;
}

bool setDoubleClickTime(int ms)
{
    return SystemParametersInfoW(SPI_SETDOUBLECLICKTIME, UINT(ms), nullptr, kSaveAndBroadcast) != FALSE;
}

bool getAcceleration(bool &enabled)
{
    int mouse[3] = {0, 0, 0}; // threshold 1, threshold 2, acceleration
    if (!SystemParametersInfoW(SPI_GETMOUSE, 0, mouse, 0))
        return false;
    enabled = mouse[2] != 0;
    return true;
}

bool setAcceleration(bool enabled)
{
    int mouse[3] = {0, 0, 0};
    if (!SystemParametersInfoW(SPI_GETMOUSE, 0, mouse, 0))
        return false;
    mouse[2] = enabled ? 1 : 0; // the thresholds go back as read
    return SystemParametersInfoW(SPI_SETMOUSE, 0, mouse, kSaveAndBroadcast) != FALSE;
}

} // namespace PointerSettings
