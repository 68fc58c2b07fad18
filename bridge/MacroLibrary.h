#pragma once
// The user's macros: one INI file per macro, "<folder>/<name>.bin", holding
// "config/total", "config/index" (device macro slot, -1 unbound),
// "config/repeat", "config/did" (device the slot belongs to) and the action
// lines "macro/0".."macro/<total-1>". Also import/export of ".mc" copies.
//
// Names come from the scene and from the user's rename text: a name that
// could reach outside the folder (a path separator, or exactly "." or "..")
// is refused and changes nothing. Any other name, dots included, is usable,
// and every usable name is listed, hidden ones too.

#include <QString>
#include <QStringList>
#include <QVariantList>

class MacroLibrary {
public:
    // A damaged "config/total" must not make a load run for ever or fill memory.
    static constexpr int kMaxLines = 10000;
    static constexpr int kUnbound = -1;

    explicit MacroLibrary(const QString &folder = QStringLiteral("./modules/macro/"));

    static bool isValidName(const QString &name);
    // Path of a macro's file; empty for a refused name.
    QString pathFor(const QString &name) const;
    bool exists(const QString &name) const;

    // "*.bin" file names of usable names, hidden ones too, in name order
    // ignoring case.
    QStringList fileNames() const;
    // Creates the next free "Macro. NNN" (the folder too when missing); empty
    // when no file could be written.
    QString create() const;
    QStringList load(const QString &name) const;
    // Replaces the action lines; false when the macro does not exist or the
    // file cannot be written.
    bool save(const QString &name, const QStringList &lines) const;
    // "config/index" (default -1) regardless of the device.
    int boundIndex(const QString &name) const;
    // "config/repeat" (default 1), as stored, unsigned.
    uint repeat(const QString &name) const;
    // [index, repeat]; index -1 when bound for another device; empty when the
    // macro does not exist.
    QVariantList loadConfig(const QString &name, int currentDid) const;
    bool setConfig(const QString &name, const QVariantList &config, int currentDid) const;
    bool remove(const QString &name) const;
    // Never overwrites an existing macro.
    bool rename(const QString &oldName, const QString &newName) const;
    // Copies `source` over an existing macro atomically.
    bool importFrom(const QString &name, const QString &source) const;
    // Copies an existing macro to `target` atomically.
    bool exportTo(const QString &name, const QString &target) const;

    QString folder() const { return m_folder; }

private:
    QString m_folder;
};
