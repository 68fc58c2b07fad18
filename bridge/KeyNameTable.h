#pragma once
// The process-wide key-name table: display name of a key (as macro lines and
// the pages write it) -> USB HID keyboard usage code, plus the program's own
// codes F0..F4 for the mouse buttons. 132 entries, names exactly as shown to
// the user, including "KP 7 " with its trailing space.

#include <QHash>
#include <QString>

namespace KeyNameTable {

// Clears and refills the table (the view does this when it is built).
void rebuild();
// The table; built on first use when nobody built it yet.
const QHash<QString, uchar> &table();
// Code of a key name; 0 when the name is not in the table.
uchar code(const QString &name);

} // namespace KeyNameTable
