#pragma once
// Command-line options and the HID backend they ask for.
//
//   --virtual-device   run against the built-in virtual mouse
//   --wire-log FILE    write every HID call to FILE (a relative FILE is taken
//                      from the folder the program was started in)
//   --help, --version
//
// Z3_VIRTUAL_DEVICE (test use) configures the virtual mouse: a comma-separated
// list of
//   absent            no mouse on the bus
//   deny              the mouse is there but may not be opened
//   nocommand, noevent  one of its two interfaces is missing
//   noanswer          feature reads fail
//   code=XXXXXX       the mouse's secrecy code (another code fails the handshake)
//   sensor=N          sensor type (83H)
//   stages=N          DPI stages in use (91H)
//   logo=0|1          whether the logo LED works (87H)
//   fw=MAJOR.MINOR    firmware version (80H)
//   delay=MS          every answer comes this late
//   quiet=0           no quiet report after commands

#include <QString>
#include <QStringList>

#include <memory>

class HidBackend;
class QCoreApplication;

struct Options {
    bool virtualDevice = false;
    QString wireLog;
};

// Parses the application's arguments; prints help or version and exits on
// --help, --version or a bad option.
Options parseOptions(const QCoreApplication &app);

// Applies a Z3_VIRTUAL_DEVICE text to a fresh virtual mouse. Unknown items
// are reported in *problems and otherwise ignored.
std::unique_ptr<HidBackend> makeVirtualDevice(const QString &settings, QStringList *problems = nullptr);

// The backend for the options: nullptr means the link's own default (hidapi).
std::unique_ptr<HidBackend> makeBackend(const Options &options);
