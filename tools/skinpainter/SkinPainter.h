#pragma once
// SkinPainter draws one complete skin: every image file the scene loads from
// "modules/img/skin<N>/", in one dark look whose accent colour tells the
// skins apart.

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

struct SkinStyle {
    QColor accent;     // glows, highlights, selected states
    QColor accentDeep; // dimmed accent for normal states
    QColor base;       // plates
    QColor baseLight;  // plate edges
    QColor background; // scene background
};

SkinStyle skinStyle(int skinNo);

class SkinPainter {
public:
    explicit SkinPainter(const SkinStyle &style);

    struct Entry {
        QString path; // below the skin folder, e.g. "common/checkbox_0.png"
        QSize size;
        std::function<void(QImage &)> draw;
    };
    const std::vector<Entry> &entries() const { return m_entries; }

    // Paints every entry below folder; returns the failed paths (empty = ok).
    QStringList paintAll(const QString &folder) const;

private:
    void add(const QString &path, QSize size, std::function<void(QImage &)> draw);
    void buildFrame();
    void buildCommon();
    void buildMenus();
    void buildCenter();
    void buildModels();

    SkinStyle m_s;
    std::vector<Entry> m_entries;
};
