#include "myQQuickView.h"

#include "Hid_Thread.h"
#include "ProfileStore.h"

#include <QMetaObject>
#include <QTimer>
#include <QQuickItem>
#include <QtDebug>

myQQuickView::myQQuickView(QWidget *parent) : QQuickWidget(parent)
{
    buildKeyNameTable();
    createSoundPlayers();
    openStores();
}

myQQuickView::~myQQuickView()
{
    // Nothing written may be lost at exit.
    flushProfiles();
    for (QSettings *profile : std::as_const(m_profiles))
        delete profile;
    m_profiles.clear();
    delete m_apConfig;
    m_apConfig = nullptr;
}

void myQQuickView::openStores()
{
    m_apConfig = new QSettings(QStringLiteral("./modules/setting/apConfig.bin"), QSettings::IniFormat);
    m_writer = std::make_unique<ProfileWriter>();
    for (int i = 1; i <= 10; ++i)
        m_profiles.append(
            new ProfileSettings(QStringLiteral("./modules/setting/p%1.bin").arg(i), QSettings::IniFormat));
}

bool myQQuickView::invokeRoot(const char *function, const QVariantList &args, Qt::ConnectionType type)
{
    QQuickItem *root = rootObject();
    if (!root)
        return false;
    // QML functions take QVariant arguments; the root functions have at most four.
    const auto arg = [&args](int i) { return Q_ARG(QVariant, args.at(i)); };
    switch (args.size()) {
    case 0:
        return QMetaObject::invokeMethod(root, function, type);
    case 1:
        return QMetaObject::invokeMethod(root, function, type, arg(0));
    case 2:
        return QMetaObject::invokeMethod(root, function, type, arg(0), arg(1));
    case 3:
        return QMetaObject::invokeMethod(root, function, type, arg(0), arg(1), arg(2));
    case 4:
        return QMetaObject::invokeMethod(root, function, type, arg(0), arg(1), arg(2), arg(3));
    default:
        qWarning("invokeRoot: too many arguments for %s", function);
        return false;
    }
}

// ---- current profile ---------------------------------------------------------

QSettings *myQQuickView::currentProfile() const
{
    return m_profiles.value(m_currentProfile, nullptr);
}

namespace {

bool isListValue(const QVariant &value)
{
    const int id = value.metaType().id();
    if (id == QMetaType::QVariantList || id == QMetaType::QStringList || id == QMetaType::QByteArrayList)
        return true;
    // Sequences of other element types (QList<int>, a JS array) convert too.
    return id >= QMetaType::User && value.canConvert<QVariantList>();
}

QString itemText(const QVariant &item)
{
    switch (item.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Long:
    case QMetaType::ULong:
        return QString::number(item.toLongLong());
    case QMetaType::Bool:
        return item.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Double:
    case QMetaType::Float: {
        // QML numbers arrive as doubles; whole ones are written as integers.
        const double d = item.toDouble();
        if (d == double(qint64(d)))
            return QString::number(qint64(d));
        return QString::number(d);
    }
    default:
        return item.toString();
    }
}

} // namespace

void myQQuickView::profileWrite(const QString &key, const QVariant &value)
{
    QSettings *profile = currentProfile();
    if (!profile)
        return;
    if (isListValue(value)) {
        // Qt's INI writer keeps the plain list form only for string lists.
        QStringList texts;
        const QVariantList items = value.toList();
        texts.reserve(items.size());
        for (const QVariant &item : items)
            texts.append(itemText(item));
        profile->setValue(key, texts);
    } else {
        profile->setValue(key, value);
    }
    // One batch per pass of the event loop: an apply writes up to 126 keys.
    if (m_unwritten.isEmpty())
        QTimer::singleShot(0, this, &myQQuickView::queueProfileWrites);
    if (!m_unwritten.contains(profile))
        m_unwritten.append(profile);
}

void myQQuickView::queueProfileWrites()
{
    for (QSettings *profile : std::as_const(m_unwritten)) {
        if (!m_profiles.contains(profile))
            continue; // replaced by an import or reset, which wrote it
        QMap<QString, QVariant> values;
        const QStringList keys = profile->allKeys();
        for (const QString &key : keys)
            values.insert(key, profile->value(key));
        m_writer->queue(profile->fileName(), values);
    }
    m_unwritten.clear();
}

void myQQuickView::flushProfiles()
{
    if (m_writer)
        m_writer->waitForDone();
    // The stores hold every value; writing them here also covers batches
    // not queued yet.
    for (QSettings *profile : std::as_const(m_profiles)) {
        if (!profile)
            continue;
        profile->sync();
        if (profile->status() != QSettings::NoError)
            qWarning() << "Could not write" << profile->fileName();
    }
    m_unwritten.clear();
}

QVariant myQQuickView::profileValue(const QString &key, const QVariant &defaultValue) const
{
    QSettings *profile = currentProfile();
    return profile ? profile->value(key, defaultValue) : defaultValue;
}

QVariantList myQQuickView::profileList(const QString &key) const
{
    QSettings *profile = currentProfile();
    if (!profile)
        return {};
    const QVariant value = profile->value(key);
    if (!value.isValid())
        return {};
    // A one-item list is written as a plain value and comes back as text.
    if (value.metaType().id() == QMetaType::QString) {
        const QString text = value.toString();
        return text.isEmpty() ? QVariantList() : QVariantList{text};
    }
    QVariantList items;
    const QStringList texts = value.toStringList();
    items.reserve(texts.size());
    for (const QString &t : texts)
        items.append(t);
    return items;
}

// ---- host window and UI control -------------------------------------------------

void myQQuickView::initUI()
{
    invokeRoot("initUI", {}, Qt::QueuedConnection);
}

void myQQuickView::runUI()
{
    invokeRoot("run", {}, Qt::QueuedConnection);
}

void myQQuickView::setEnableAudio(bool isEnable)
{
    m_soundEnabled = isEnable;
}

void myQQuickView::syncFW()
{
    // Only the keyboard (row 0) carries user pictures.
    if (!m_hid || m_hid->currentDevice() != 0)
        return;
    uchar buffer[Hid_Thread::kPayloadSize] = {};
    for (uchar p = 0; p < 5; ++p) {
        m_hid->hid_92H_GetUserPicture(p, buffer);
        QStringList bytes;
        bytes.reserve(Hid_Thread::kPayloadSize);
        for (uchar b : buffer)
            bytes.append(QString::number(b));
        profileWrite(QStringLiteral("userPicture/") + QString::number(p), bytes);
    }
}
