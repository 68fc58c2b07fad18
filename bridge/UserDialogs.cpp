#include "UserDialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTextStream>

namespace UserDialogs {
namespace {

QString scriptPath() { return qEnvironmentVariable("Z3_SCRIPTED_DIALOGS"); }

void logDialog(const QString &kind, const QString &title, const QString &text)
{
    QFile log(scriptPath() + QStringLiteral(".log"));
    if (log.open(QIODevice::Append | QIODevice::Text)) {
        QTextStream out(&log);
        out << kind << '\t' << title << '\t' << QString(text).replace('\n', QStringLiteral("\\n")) << '\n';
    }
}

// Pops the first line of the script file; an exhausted script answers "".
QString nextAnswer()
{
    QFile f(scriptPath());
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
    f.close();
    if (lines.isEmpty())
        return QString();
    const QString answer = lines.takeFirst();
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        f.write(lines.join('\n').toUtf8());
    return answer;
}

} // namespace

bool isScripted() { return !scriptPath().isEmpty(); }

QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    if (isScripted()) {
        logDialog(QStringLiteral("open"), caption, filter);
        return nextAnswer();
    }
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    if (isScripted()) {
        logDialog(QStringLiteral("save"), caption, filter);
        return nextAnswer();
    }
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

void warning(const QString &title, const QString &text)
{
    if (isScripted()) {
        logDialog(QStringLiteral("warning"), title, text);
        nextAnswer();
        return;
    }
    QMessageBox::warning(nullptr, title, text, QMessageBox::Ok);
}

bool question(const QString &title, const QString &text)
{
    if (isScripted()) {
        logDialog(QStringLiteral("question"), title, text);
        return nextAnswer().trimmed().compare(QStringLiteral("ok"), Qt::CaseInsensitive) == 0;
    }
    return QMessageBox::warning(nullptr, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                                QMessageBox::Cancel) == QMessageBox::Ok;
}

} // namespace UserDialogs
