#pragma once
// Chooses and enters the folder whose "modules/" the program works in, so the
// relative "./modules/..." paths resolve wherever the program was started.
//
// - A build tree or a portable copy (the executable's folder holds a writable
//   "modules/") works beside the executable.
// - An installed program (read-only data in <prefix>/share/z3config/modules)
//   works in a per-user folder, $XDG_DATA_HOME/z3config: the settings and
//   macros are copied there once, the read-only assets (languages, sounds,
//   skin images) are linked in place.

#include <QString>

namespace WorkingFolder {

// Where the installed, read-only data lives for an executable in appDir.
QString installedModules(const QString &appDir);

// Picks the working folder for an executable in appDir; userDataHome is the
// per-user data folder (normally $XDG_DATA_HOME). Prepares the per-user copy
// when that is the choice. Returns the folder, or appDir when nothing better
// can be made (the program then runs with empty settings).
QString prepare(const QString &appDir, const QString &userDataHome);

// prepare() for the running executable, then makes the result current.
QString enter();

} // namespace WorkingFolder
