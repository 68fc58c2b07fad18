#pragma once
// Every file dialog and message box the view shows goes through here, so the
// stores stay dialog-free and the real-window tests can answer dialogs.
//
// By default these are the ordinary modal Qt dialogs. When the environment
// variable Z3_SCRIPTED_DIALOGS names a file, each dialog instead takes the
// next line of that file as its answer (a path for file dialogs, empty =
// cancelled; "ok" or "cancel" for questions) and appends
// "<kind>\t<title>\t<text>" to the same file name + ".log". Test use only.

#include <QString>

class QWidget;

namespace UserDialogs {

QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter);
QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter);
// Modal warning with a single OK button.
void warning(const QString &title, const QString &text);
// Modal warning with OK and Cancel, Cancel the default; true for OK.
bool question(const QString &title, const QString &text);

bool isScripted();

} // namespace UserDialogs
