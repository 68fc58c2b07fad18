#pragma once
// Makes folders (with everything below them) really unwritable for the
// scenario, also when the tests run as root, whom permission bits do not
// stop: then the files are made immutable as well. Undone on destruction.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include <unistd.h>

class Unwritable {
public:
    explicit Unwritable(const QStringList &folders) : m_folders(folders)
    {
        for (const QString &f : m_folders) {
            QProcess::execute(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("a-w"), f});
            if (geteuid() == 0)
                QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-R"), QStringLiteral("+i"), f});
        }
    }
    ~Unwritable()
    {
        for (const QString &f : m_folders) {
            if (geteuid() == 0)
                QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-R"), QStringLiteral("-i"), f});
            QProcess::execute(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("u+w"), f});
        }
    }
    // Whether each folder really refuses a new file and each file an append
    // (false where the file system ignores both means; the caller skips).
    bool holds() const
    {
        for (const QString &f : m_folders) {
            if (QFileInfo(f).isDir()) {
                QFile probe(f + QStringLiteral("/.probe"));
                if (probe.open(QIODevice::WriteOnly)) {
                    probe.remove();
                    return false;
                }
            } else if (QFile(f).open(QIODevice::Append)) {
                return false;
            }
        }
        return true;
    }

private:
    QStringList m_folders;
};
