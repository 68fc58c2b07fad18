#pragma once
// A temporary working folder made current, seeded with the source tree's delivered "modules/".

#include "Files.h"

#include <QTemporaryDir>

inline QString storesSourceModules()
{
    return qEnvironmentVariable("Z3_SOURCE_DIR") + QStringLiteral("/modules");
}

class StoresWorkFolder {
public:
    explicit StoresWorkFolder(bool seed = true) : m_previous(QDir::currentPath())
    {
        for (const QString sub : {QStringLiteral("setting"), QStringLiteral("i18n"), QStringLiteral("macro")}) {
            QDir().mkpath(file(QStringLiteral("modules/") + sub));
            const QString from = storesSourceModules() + QLatin1Char('/') + sub + QLatin1Char('/');
            for (const QString &name : QDir(from).entryList(QDir::Files))
                if (seed)
                    QFile::copy(from + name, file(QStringLiteral("modules/%1/%2").arg(sub, name)));
        }
        QDir::setCurrent(m_dir.path());
    }
    ~StoresWorkFolder() { QDir::setCurrent(m_previous); }
    QString path() const { return m_dir.path(); }
    QString file(const QString &relative) const { return m_dir.path() + QLatin1Char('/') + relative; }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Answers the view's dialogs from a script and records them (see UserDialogs).
class ScriptedDialogs {
public:
    explicit ScriptedDialogs(const QStringList &answers = {})
    {
        qputenv("Z3_SCRIPTED_DIALOGS", m_script.toLocal8Bit());
        answer(answers);
    }
    ~ScriptedDialogs() { qunsetenv("Z3_SCRIPTED_DIALOGS"); }
    void answer(const QStringList &lines) { writeFile(m_script, lines.join('\n').toUtf8()); }
    QStringList log() const { return QString::fromUtf8(fileBytes(m_script + ".log")).split('\n', Qt::SkipEmptyParts); }

private:
    QTemporaryDir m_dir;
    QString m_script = m_dir.filePath(QStringLiteral("dialogs"));
};
