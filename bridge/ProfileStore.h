#pragma once
// The ten numbered profile files ("p1.bin" .. "p10.bin" for slots 0..9) and
// the read-only default profile "pD.bin" of one settings folder: export,
// import and reset of whole slots, and the page defaults of the default
// profile. Files only; the view keeps the open QSettings objects.

#include <QMap>
#include <QSettings>
#include <QString>
#include <QThreadPool>
#include <QVariantList>

class ProfileStore {
public:
    static constexpr int kSlotCount = 10;

    explicit ProfileStore(const QString &settingDir = QStringLiteral("./modules/setting"));

    static bool isValidSlot(int slot) { return slot >= 0 && slot < kSlotCount; }
    QString slotPath(int slot) const; // empty for a slot out of range
    QString defaultPath() const;

    // Each replaces its target atomically; on failure the target is kept as
    // it was and the result is false.
    bool exportSlot(int slot, const QString &target) const;
    bool importSlot(int slot, const QString &source) const;
    bool resetSlot(int slot) const;

    // The defaults of one page read from a default profile file:
    // 0 key definition (the 16 "keydefine_Z3/" lists end to end), 2 colour
    // (palette and effect), 3 sensor (45 items with complete lists), any
    // other page an empty list.
    static QVariantList loadDefaultProfile(const QString &defaultProfilePath, uchar uiPageId);

private:
    QString m_dir;
};

// A profile's settings object for the GUI thread: it keeps every value in
// memory and leaves writing the file to a ProfileWriter (QSettings would
// otherwise write it on the GUI thread at the next pass of the event loop).
// sync() still writes at once, for the moments that need the file now.
class ProfileSettings : public QSettings {
public:
    using QSettings::QSettings;

protected:
    bool event(QEvent *e) override;
};

// Writes whole profile files on one thread of its own, in the order asked:
// each batch is every key of one file as it stood, and replaces the file in
// one atomic step with one sync, so a crash leaves the old or the new file.
class ProfileWriter {
public:
    ProfileWriter();
    ~ProfileWriter(); // waits for the queued batches

    void queue(const QString &path, const QMap<QString, QVariant> &values);
    void waitForDone();
    // The same replacement on the calling thread; false when it failed (the
    // old file is kept).
    static bool write(const QString &path, const QMap<QString, QVariant> &values);

private:
    QThreadPool m_thread;
};
