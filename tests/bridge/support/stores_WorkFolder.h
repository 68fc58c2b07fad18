#pragma once
// A private working folder for store tests: a temporary folder made current,
// seeded with the delivered "modules/" data of the source tree (settings,
// languages, an empty macro folder). The previous folder is restored at the
// end.

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

inline QString storesSourceModules()
{
    const QByteArray src = qgetenv("Z3_SOURCE_DIR");
    return QString::fromLocal8Bit(src) + QStringLiteral("/modules");
}

inline QByteArray storesReadAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

inline bool storesWriteAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

class StoresWorkFolder {
public:
    explicit StoresWorkFolder(bool seed = true) : m_previous(QDir::currentPath())
    {
        QDir().mkpath(m_dir.path() + QStringLiteral("/modules/setting"));
        QDir().mkpath(m_dir.path() + QStringLiteral("/modules/i18n"));
        QDir().mkpath(m_dir.path() + QStringLiteral("/modules/macro"));
        if (seed) {
            for (const QString sub : {QStringLiteral("setting"), QStringLiteral("i18n")}) {
                const QString from = storesSourceModules() + QLatin1Char('/') + sub;
                const QStringList names = QDir(from).entryList(QDir::Files);
                for (const QString &name : names)
                    QFile::copy(from + QLatin1Char('/') + name,
                                m_dir.path() + QStringLiteral("/modules/") + sub + QLatin1Char('/') + name);
            }
        }
        QDir::setCurrent(m_dir.path());
    }
    ~StoresWorkFolder() { QDir::setCurrent(m_previous); }

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString file(const QString &relative) const { return m_dir.path() + QLatin1Char('/') + relative; }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Answers the view's dialogs from a script and records them (see UserDialogs).
class ScriptedDialogs {
public:
    ScriptedDialogs()
    {
        m_script = m_dir.filePath(QStringLiteral("dialogs"));
        storesWriteAll(m_script, QByteArray());
        qputenv("Z3_SCRIPTED_DIALOGS", m_script.toLocal8Bit());
    }
    ~ScriptedDialogs() { qunsetenv("Z3_SCRIPTED_DIALOGS"); }
    void answer(const QStringList &lines)
    {
        storesWriteAll(m_script, lines.join(QLatin1Char('\n')).toUtf8());
    }
    QStringList log() const
    {
        const QString text = QString::fromUtf8(storesReadAll(m_script + QStringLiteral(".log")));
        return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    QTemporaryDir m_dir;
    QString m_script;
};
