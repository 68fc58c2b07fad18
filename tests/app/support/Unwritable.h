#pragma once
// Makes folders (and all below them) really unwritable while it lives: immutable as well
// when the tests run as root, whom permission bits do not stop.

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include <unistd.h>

using namespace Qt::StringLiterals;

class Unwritable {
public:
    explicit Unwritable(const QStringList &folders) : m_folders(folders) { run("a-w", "+i"); }
    ~Unwritable() { run("u+w", "-i"); }
    // Whether each folder refuses a new file and each file an append (false where the
    // file system ignores both means; the caller skips).
    bool holds() const
    {
        for (const QString &f : m_folders) {
            const bool dir = QFileInfo(f).isDir();
            QFile probe(dir ? f + u"/.probe"_s : f);
            if (probe.open(dir ? QIODevice::WriteOnly : QIODevice::Append)) {
                if (dir)
                    probe.remove();
                return false;
            }
        }
        return true;
    }

private:
    void run(const char *mode, const char *attribute) const
    {
        for (const QString &f : m_folders) {
            // Immutable files cannot change their mode: lock the mode first, unlock the attribute first.
            if (geteuid() == 0 && attribute[0] == '-')
                QProcess::execute(u"chattr"_s, {"-R", attribute, f});
            QProcess::execute(u"chmod"_s, {"-R", mode, f});
            if (geteuid() == 0 && attribute[0] == '+')
                QProcess::execute(u"chattr"_s, {"-R", attribute, f});
        }
    }
    QStringList m_folders;
};
