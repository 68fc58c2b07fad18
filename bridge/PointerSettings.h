#pragma once
// The desktop's own pointer settings that the sensor page offers beside the
// mouse's: pointer speed, wheel scroll lines, double-click time and pointer
// acceleration. The page works with slider positions 0..10; the conversions
// below turn them into the values the desktop understands. Each platform file
// (PointerSettings_linux.cpp, PointerSettings_win.cpp) applies them; a setter
// returns false when the desktop has no such setting or refuses it.

#include <QString>

namespace PointerSettings {

constexpr unsigned kMaxPosition = 10;

// Positions beyond the slider's range count as its end, so no value leaves
// the desktop's range (a double-click time below 200 ms or negative).
inline unsigned clampPosition(unsigned position)
{
    return position > kMaxPosition ? kMaxPosition : position;
}

// Pointer speed 1..20: 2 x position, but 1 at position 0.
inline int pointerSpeedForPosition(unsigned position)
{
    const unsigned s = clampPosition(position);
    return s == 0 ? 1 : int(2 * s);
}
// Lines per wheel notch 1..11.
inline int scrollLinesForPosition(unsigned position)
{
    return int(clampPosition(position)) + 1;
}
// Double-click time 900..200 ms.
inline int doubleClickTimeForPosition(unsigned position)
{
    return 900 - 70 * int(clampPosition(position));
}

// Pointer speed 1..20 on a desktop scale of -1..1 where 0 is the desktop's
// default: 1 -> -1, 10 (the slider's middle) -> 0, 20 -> 1, linear in between.
inline double desktopSpeedForPointerSpeed(int speed)
{
    const int v = speed < 1 ? 1 : (speed > 20 ? 20 : speed);
    return v <= 10 ? (v - 10) / 9.0 : (v - 10) / 10.0;
}

// Platform layer.
bool setPointerSpeed(int speed);     // 1..20
bool setWheelScrollLines(int lines); // 1..11
bool setDoubleClickTime(int ms);     // 200..900
bool getAcceleration(bool &enabled); // false when it cannot be read
bool setAcceleration(bool enabled);  // leaves the other pointer parameters as they are

// Which settings store the platform layer uses now, for the log and tests:
// "gnome", "x11", "windows" or "" (none).
QString backendName();

} // namespace PointerSettings
