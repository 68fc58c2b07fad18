#pragma once
// Chooses and enters the folder whose "modules/" the program works in, so the
// relative "./modules/..." paths resolve wherever the program was started.
//
// - A build tree or a portable copy whose "modules/" and the settings and
//   macros in it are writable works beside the executable.
// - Otherwise the program works in a per-user folder, $XDG_DATA_HOME/z3config,
//   seeded from its data: the "modules/" beside the executable when there is
//   one (a read-only copy), else the installed <prefix>/share/z3config/modules.
//   The settings and macros are copied there once, the read-only assets
//   (languages, sounds, skin images) are linked in place.
// - When no writable place can be had at all, the program runs from its data
//   read-only: it shows everything, but changes are not kept.

#include <QString>

namespace WorkingFolder {

struct Place {
    QString folder;        // the folder holding "modules/"
    bool readOnly = false; // changes cannot be kept there
};

// Where the installed, read-only data lives for an executable in appDir.
QString installedModules(const QString &appDir);

// Whether the program can keep its changes in dir's "modules/": the folder,
// its "setting" and "macro" folders and every file in those are writable.
bool isWritableModules(const QString &dir);

// The per-user data folder: $XDG_DATA_HOME when it is an absolute path (a
// relative one is ignored), else $HOME/.local/share.
QString userDataHome();

// Picks the working folder for an executable in appDir; userDataHome is the
// per-user data folder. Prepares the per-user copy when that is the choice.
// Without any data the result is appDir (the program then runs with empty
// settings).
Place prepare(const QString &appDir, const QString &userDataHome);

// prepare() for the running executable, then makes the result current.
Place enter();

} // namespace WorkingFolder
