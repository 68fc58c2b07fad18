#include "ProfileStore.h"

#include "FileReplace.h"

#include <QDebug>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QSaveFile>
#include <QSettings>

ProfileStore::ProfileStore(const QString &settingDir) : m_dir(settingDir) {}

QString ProfileStore::slotPath(int slot) const
{
    if (!isValidSlot(slot))
        return QString();
    return m_dir + QStringLiteral("/p") + QString::number(slot + 1) + QStringLiteral(".bin");
}

QString ProfileStore::defaultPath() const
{
    return m_dir + QStringLiteral("/pD.bin");
}

bool ProfileStore::exportSlot(int slot, const QString &target) const
{
    if (!isValidSlot(slot) || target.isEmpty())
        return false;
    return FileReplace::copyOver(slotPath(slot), target);
}

bool ProfileStore::importSlot(int slot, const QString &source) const
{
    if (!isValidSlot(slot) || source.isEmpty())
        return false;
    QDir().mkpath(m_dir);
    return FileReplace::copyOver(source, slotPath(slot));
}

bool ProfileStore::resetSlot(int slot) const
{
    return importSlot(slot, defaultPath());
}

namespace {

void appendList(QVariantList &out, const QSettings &s, const QString &key)
{
    const QVariant v = s.value(key);
    if (!v.isValid())
        return;
    // Stored lists come back as lists of strings; a single value (a list of
    // one written by another tool) is still one item.
    if (v.canConvert<QStringList>() && v.typeId() != QMetaType::QString) {
        for (const QString &item : v.toStringList())
            out << item;
    } else {
        out << v.toString();
    }
}

} // namespace

QVariantList ProfileStore::loadDefaultProfile(const QString &defaultProfilePath, uchar uiPageId)
{
    QVariantList out;
    QSettings s(defaultProfilePath, QSettings::IniFormat);
    switch (uiPageId) {
    case 0:
        for (int n = 0; n < 16; ++n)
            appendList(out, s, QStringLiteral("keydefine_Z3/") + QString::number(n));
        break;
    case 2:
        appendList(out, s, QStringLiteral("color_Z3/type0"));
        appendList(out, s, QStringLiteral("color_Z3/ledEffect"));
        break;
    case 3:
        out << s.value(QStringLiteral("sensor/reportRate_Z3"), 2).toInt();
        out << s.value(QStringLiteral("sensor/cursorSpeed_Z3"), 5).toInt();
        out << s.value(QStringLiteral("sensor/verticalScrollLines_Z3"), 2).toInt();
        out << s.value(QStringLiteral("sensor/doubleClickSpeed_Z3"), 5).toInt();
        appendList(out, s, QStringLiteral("sensor/dpi_Z3"));
        out << s.value(QStringLiteral("sensor/stage_Z3"), 2).toInt();
        appendList(out, s, QStringLiteral("color_Z3/type1"));
        appendList(out, s, QStringLiteral("color_Z3/type2"));
        break;
    default:
        break;
    }
    return out;
}

bool ProfileSettings::event(QEvent *e)
{
    if (e->type() == QEvent::UpdateRequest)
        return true; // the view's writer stores the values
    return QSettings::event(e);
}

ProfileWriter::ProfileWriter()
{
    m_thread.setMaxThreadCount(1);
    m_thread.setExpiryTimeout(-1);
}

ProfileWriter::~ProfileWriter()
{
    waitForDone();
}

void ProfileWriter::queue(const QString &path, const QMap<QString, QVariant> &values)
{
    m_thread.start([path, values] {
        if (!write(path, values))
            qWarning() << "Could not write" << path;
    });
}

void ProfileWriter::waitForDone()
{
    m_thread.waitForDone();
}

bool ProfileWriter::write(const QString &path, const QMap<QString, QVariant> &values)
{
    // QSettings lays out the INI text in a scratch file beside the target;
    // the text then replaces the target through QSaveFile (write, sync,
    // rename), so the target is never half written.
    const QString scratch = path + QStringLiteral(".new");
    QByteArray text;
    {
        QFile::remove(scratch);
        QSettings out(scratch, QSettings::IniFormat);
        out.clear();
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            out.setValue(it.key(), it.value());
        out.sync();
        QFile in(scratch);
        if (out.status() != QSettings::NoError || !in.open(QIODevice::ReadOnly))
            return false;
        text = in.readAll();
    }
    QFile::remove(scratch);
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly) || target.write(text) != text.size()) {
        target.cancelWriting();
        return false;
    }
    return target.commit();
}
