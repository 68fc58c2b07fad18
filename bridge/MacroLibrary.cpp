#include "MacroLibrary.h"

#include "FileReplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>

MacroLibrary::MacroLibrary(const QString &folder) : m_folder(folder)
{
    if (!m_folder.endsWith(QLatin1Char('/')))
        m_folder += QLatin1Char('/');
}

bool MacroLibrary::isValidName(const QString &name)
{
    if (name.trimmed().isEmpty() || name.contains(QChar(0)))
        return false;
    // Without a separator a name stays inside the folder; "." and ".." are
    // the only names that still mean something else. Dots elsewhere are
    // ordinary text ("Rapid fire...", ".quick").
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return false;
#ifdef Q_OS_WIN
    if (name.contains(QLatin1Char(':')))
        return false;
#endif
    return name != QLatin1String(".") && name != QLatin1String("..");
}

QString MacroLibrary::pathFor(const QString &name) const
{
    if (!isValidName(name))
        return QString();
    return m_folder + name + QStringLiteral(".bin");
}

bool MacroLibrary::exists(const QString &name) const
{
    const QString path = pathFor(name);
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QStringList MacroLibrary::fileNames() const
{
    // Hidden files too: a macro renamed to ".name" must not vanish. A file
    // whose name could not be opened again is left out.
    QStringList names = QDir(m_folder).entryList({QStringLiteral("*.bin")}, QDir::AllEntries | QDir::Hidden,
                                                 QDir::Name | QDir::IgnoreCase);
    names.removeIf([](const QString &file) { return !isValidName(file.chopped(4)); });
    return names;
}

QString MacroLibrary::create() const
{
    if (!QDir().mkpath(m_folder))
        return QString();
    for (int n = 1; n < 1000000; ++n) {
        const QString name = QStringLiteral("Macro. ") + QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
        const QString path = pathFor(name);
        if (QFileInfo::exists(path))
            continue;
        {
            QSettings s(path, QSettings::IniFormat);
            s.setValue(QStringLiteral("config/index"), kUnbound);
            s.setValue(QStringLiteral("config/total"), 0);
            s.setValue(QStringLiteral("config/repeat"), 1);
            s.setValue(QStringLiteral("config/did"), -1);
            s.sync();
            if (s.status() != QSettings::NoError)
                break;
        }
        if (!QFileInfo(path).isFile())
            break;
        return name;
    }
    return QString();
}

QStringList MacroLibrary::load(const QString &name) const
{
    QStringList out;
    if (!exists(name))
        return out;
    const QSettings s(pathFor(name), QSettings::IniFormat);
    const int total = std::clamp(s.value(QStringLiteral("config/total"), 0).toInt(), 0, kMaxLines);
    out.reserve(total);
    for (int i = 0; i < total; ++i) {
        const QVariant v = s.value(QStringLiteral("macro/") + QString::number(i), 0);
        // A line with an unquoted comma would come back as a list.
        out << (v.typeId() == QMetaType::QStringList ? v.toStringList().join(QStringLiteral(", "))
                                                     : v.toString());
    }
    return out;
}

bool MacroLibrary::save(const QString &name, const QStringList &lines) const
{
    if (!exists(name))
        return false;
    QSettings s(pathFor(name), QSettings::IniFormat);
    s.remove(QStringLiteral("macro"));
    s.setValue(QStringLiteral("config/total"), int(lines.size()));
    s.beginGroup(QStringLiteral("macro"));
    for (int i = 0; i < lines.size(); ++i)
        s.setValue(QString::number(i), lines.at(i));
    s.endGroup();
    s.sync();
    return s.status() == QSettings::NoError;
}

int MacroLibrary::boundIndex(const QString &name) const
{
    if (!exists(name))
        return kUnbound;
    const QSettings s(pathFor(name), QSettings::IniFormat);
    return s.value(QStringLiteral("config/index"), kUnbound).toInt();
}

uint MacroLibrary::repeat(const QString &name) const
{
    if (!exists(name))
        return 1;
    const QSettings s(pathFor(name), QSettings::IniFormat);
    return s.value(QStringLiteral("config/repeat"), 1).toUInt();
}

QVariantList MacroLibrary::loadConfig(const QString &name, int currentDid) const
{
    if (!exists(name))
        return {};
    const QSettings s(pathFor(name), QSettings::IniFormat);
    const int did = s.value(QStringLiteral("config/did"), -1).toInt();
    const int repeatCount = s.value(QStringLiteral("config/repeat"), 1).toInt();
    if (did == currentDid)
        return {s.value(QStringLiteral("config/index"), kUnbound).toInt(), repeatCount};
    return {kUnbound, repeatCount};
}

bool MacroLibrary::setConfig(const QString &name, const QVariantList &config, int currentDid) const
{
    if (!exists(name) || config.size() < 2)
        return false;
    QSettings s(pathFor(name), QSettings::IniFormat);
    s.setValue(QStringLiteral("config/index"), config.at(0).toInt());
    s.setValue(QStringLiteral("config/repeat"), config.at(1).toInt());
    s.setValue(QStringLiteral("config/did"), currentDid);
    s.sync();
    return s.status() == QSettings::NoError;
}

bool MacroLibrary::remove(const QString &name) const
{
    if (!exists(name))
        return false;
    return QFile::remove(pathFor(name));
}

bool MacroLibrary::rename(const QString &oldName, const QString &newName) const
{
    if (!exists(oldName) || !isValidName(newName))
        return false;
    // QFile::rename refuses an existing target, so no macro is overwritten.
    return QFile::rename(pathFor(oldName), pathFor(newName));
}

bool MacroLibrary::importFrom(const QString &name, const QString &source) const
{
    if (!exists(name) || source.isEmpty())
        return false;
    return FileReplace::copyOver(source, pathFor(name));
}

bool MacroLibrary::exportTo(const QString &name, const QString &target) const
{
    if (!exists(name) || target.isEmpty())
        return false;
    return FileReplace::copyOver(pathFor(name), target);
}
