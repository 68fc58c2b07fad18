#include "SkinPainter.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

SkinStyle skinStyle(int skinNo)
{
    SkinStyle s;
    if (skinNo == 2) {
        s.accent = QColor(255, 140, 26);
        s.accentDeep = QColor(150, 78, 20);
        s.base = QColor(30, 24, 22);
        s.baseLight = QColor(70, 56, 48);
        s.background = QColor(16, 12, 11);
    } else {
        s.accent = QColor(0, 229, 255);
        s.accentDeep = QColor(0, 110, 130);
        s.base = QColor(20, 27, 34);
        s.baseLight = QColor(48, 62, 76);
        s.background = QColor(9, 12, 17);
    }
    return s;
}

namespace {

QColor withAlpha(QColor c, int a)
{
    c.setAlpha(a);
    return c;
}

// A rectangle with the top-left and bottom-right corners cut off: the
// angular outline every plate of the skin shares.
QPainterPath chamfer(const QRectF &r, qreal c)
{
    c = qMin(c, qMin(r.width(), r.height()) / 2.0);
    QPainterPath p;
    p.moveTo(r.left() + c, r.top());
    p.lineTo(r.right(), r.top());
    p.lineTo(r.right(), r.bottom() - c);
    p.lineTo(r.right() - c, r.bottom());
    p.lineTo(r.left(), r.bottom());
    p.lineTo(r.left(), r.top() + c);
    p.closeSubpath();
    return p;
}

void glowStroke(QPainter &p, const QPainterPath &path, const QColor &c, qreal width, bool glow)
{
    if (glow) {
        for (int i = 3; i >= 1; --i) {
            p.setPen(
                QPen(withAlpha(c, 40 / i + 10), width + 2.0 * i, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPath(path);
        }
    }
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(path);
}

QPainter *begin(QImage &img)
{
    img.fill(Qt::transparent);
    auto *p = new QPainter(&img);
    p->setRenderHint(QPainter::Antialiasing);
    p->setRenderHint(QPainter::TextAntialiasing);
    return p;
}

// A control plate: dark gradient body, thin accent edge; `hot` is the
// highlighted state with a brighter edge and a soft inner glow.
void plate(QPainter &p, const QRectF &r, const SkinStyle &s, bool hot, qreal cut = 5, bool fillAccent = false)
{
    const QPainterPath path = chamfer(r, cut);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    if (fillAccent) {
        g.setColorAt(0, withAlpha(s.accent, hot ? 230 : 150));
        g.setColorAt(1, withAlpha(s.accentDeep, hot ? 230 : 150));
    } else {
        g.setColorAt(0, hot ? s.baseLight : s.base.lighter(125));
        g.setColorAt(1, s.base.darker(130));
    }
    p.fillPath(path, g);
    if (hot && !fillAccent) {
        QLinearGradient inner(r.topLeft(), r.bottomLeft());
        inner.setColorAt(0, withAlpha(s.accent, 60));
        inner.setColorAt(1, withAlpha(s.accent, 0));
        p.fillPath(path, inner);
    }
    glowStroke(p, path.translated(0, 0), hot ? s.accent : s.accentDeep, 1.0, false);
}

QPen iconPen(const QColor &c, qreal w = 2.0)
{
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawGear(QPainter &p, const QPointF &c, qreal r, const QColor &col)
{
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal a0 = (i - 0.5) * M_PI / teeth, a1 = (i + 0.5) * M_PI / teeth;
        const qreal rr = (i % 2 == 0) ? r : r * 0.78;
        const QPointF q0 = c + QPointF(qCos(a0), qSin(a0)) * rr;
        const QPointF q1 = c + QPointF(qCos(a1), qSin(a1)) * rr;
        if (i == 0)
            gear.moveTo(q0);
        else
            gear.lineTo(q0);
        gear.lineTo(q1);
    }
    gear.closeSubpath();
    p.setPen(iconPen(col, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(gear);
    p.drawEllipse(c, r * 0.35, r * 0.35);
}

void drawPower(QPainter &p, const QPointF &c, qreal r, const QColor &col)
{
    p.setPen(iconPen(col, 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 120 * 16, 300 * 16);
    p.drawLine(c + QPointF(0, -r - 1), c + QPointF(0, -r * 0.1));
}

// Top view of the Z3 mouse, used for the two product pictures.
QPainterPath mouseBody(const QRectF &r)
{
    QPainterPath b;
    const qreal l = r.left(), t = r.top(), w = r.width(), h = r.height();
    b.moveTo(l + w * 0.5, t);
    b.cubicTo(l + w * 0.92, t, l + w, t + h * 0.22, l + w * 0.97, t + h * 0.45);
    b.cubicTo(l + w * 0.95, t + h * 0.7, l + w * 0.9, t + h, l + w * 0.5, t + h);
    b.cubicTo(l + w * 0.1, t + h, l + w * 0.05, t + h * 0.7, l + w * 0.03, t + h * 0.45);
    b.cubicTo(l, t + h * 0.22, l + w * 0.08, t, l + w * 0.5, t);
    b.closeSubpath();
    return b;
}

void drawMouse(QPainter &p, const QRectF &r, const SkinStyle &s, bool lit)
{
    const QPainterPath body = mouseBody(r);
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, s.base.lighter(150));
    g.setColorAt(0.5, s.base.lighter(110));
    g.setColorAt(1, s.base.darker(140));
    p.fillPath(body, g);
    if (lit) {
        // Light zones: the wheel, the logo and the side strips.
        QRadialGradient logo(r.center() + QPointF(0, r.height() * 0.22), r.width() * 0.3);
        logo.setColorAt(0, withAlpha(s.accent, 200));
        logo.setColorAt(1, withAlpha(s.accent, 0));
        p.fillPath(body, logo);
    }
    glowStroke(p, body, lit ? s.accent : s.accentDeep, 1.5, lit);
    // Button split and buttons line.
    const qreal cx = r.center().x();
    p.setPen(iconPen(s.baseLight.lighter(150), 1.2));
    p.drawLine(QPointF(cx, r.top() + 2), QPointF(cx, r.top() + r.height() * 0.38));
    QPainterPath split;
    split.moveTo(r.left() + r.width() * 0.04, r.top() + r.height() * 0.4);
    split.quadTo(QPointF(cx, r.top() + r.height() * 0.46),
                 QPointF(r.right() - r.width() * 0.04, r.top() + r.height() * 0.4));
    p.drawPath(split);
    // Wheel.
    const QRectF wheel(cx - 5, r.top() + r.height() * 0.1, 10, r.height() * 0.17);
    p.setBrush(lit ? s.accent : s.baseLight);
    p.setPen(iconPen(s.accent, 1.0));
    p.drawRoundedRect(wheel, 4, 4);
    // DPI buttons behind the wheel.
    p.setBrush(s.baseLight);
    p.drawRoundedRect(QRectF(cx - 3, r.top() + r.height() * 0.3, 6, 5), 1.5, 1.5);
    // Side buttons.
    p.setBrush(s.baseLight.lighter(120));
    p.setPen(iconPen(s.accentDeep, 1.0));
    p.drawRoundedRect(QRectF(r.left() + 1, r.top() + r.height() * 0.42, 5, 14), 2, 2);
    p.drawRoundedRect(QRectF(r.left() + 1, r.top() + r.height() * 0.52, 5, 14), 2, 2);
    // Logo.
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(14);
    p.setFont(f);
    p.setPen(lit ? QColor(255, 255, 255) : s.accent);
    p.drawText(QRectF(r.left(), r.top() + r.height() * 0.62, r.width(), 20), Qt::AlignCenter,
               QStringLiteral("Z3"));
    if (lit) {
        p.setPen(QPen(withAlpha(s.accent, 220), 3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath strip;
        strip.moveTo(r.left() + r.width() * 0.12, r.top() + r.height() * 0.8);
        strip.quadTo(QPointF(cx, r.bottom() + 2),
                     QPointF(r.right() - r.width() * 0.12, r.top() + r.height() * 0.8));
        p.drawPath(strip);
    }
}

} // namespace

SkinPainter::SkinPainter(const SkinStyle &style) : m_s(style)
{
    buildFrame();
    buildCommon();
    buildMenus();
    buildCenter();
    buildModels();
}

void SkinPainter::add(const QString &path, QSize size, std::function<void(QImage &)> draw)
{
    m_entries.push_back({path, size, std::move(draw)});
}

QStringList SkinPainter::paintAll(const QString &folder) const
{
    QStringList failed;
    for (const Entry &e : m_entries) {
        QImage img(e.size, QImage::Format_ARGB32_Premultiplied);
        e.draw(img);
        const QString file = QDir(folder).filePath(e.path);
        QDir().mkpath(QFileInfo(file).absolutePath());
        if (!img.save(file, "PNG"))
            failed << e.path;
    }
    return failed;
}

void SkinPainter::buildFrame()
{
    const SkinStyle s = m_s;
    add(QStringLiteral("background.png"), {1000, 600}, [s](QImage &img) {
        QPainter *p = begin(img);
        QRadialGradient g(QPointF(500, 260), 700);
        g.setColorAt(0, s.background.lighter(260));
        g.setColorAt(0.55, s.background.lighter(130));
        g.setColorAt(1, s.background);
        p->fillRect(img.rect(), g);
        // Faint hexagon mesh.
        p->setPen(QPen(withAlpha(s.accent, 14), 1));
        const qreal hr = 18, hw = hr * qSqrt(3.0);
        for (int row = 0; row < 600 / (hr * 1.5) + 2; ++row) {
            for (int col = 0; col < 1000 / hw + 2; ++col) {
                const QPointF c(col * hw + (row % 2 ? hw / 2 : 0), row * hr * 1.5);
                QPolygonF hex;
                for (int k = 0; k < 6; ++k)
                    hex << c + QPointF(qCos(M_PI / 6 + k * M_PI / 3), qSin(M_PI / 6 + k * M_PI / 3)) * hr;
                p->drawPolygon(hex);
            }
        }
        // Diagonal light streaks.
        for (int i = 0; i < 3; ++i) {
            QLinearGradient streak(QPointF(0, 0), QPointF(1000, 600));
            streak.setColorAt(0, withAlpha(s.accent, 0));
            streak.setColorAt(0.5, withAlpha(s.accent, 22 - i * 6));
            streak.setColorAt(1, withAlpha(s.accent, 0));
            p->setPen(QPen(QBrush(streak), 2 + i * 2));
            p->drawLine(QPointF(300 + i * 140, 600), QPointF(700 + i * 140, 0));
        }
        delete p;
    });
    add(QStringLiteral("frame/frameBackground.png"), {1000, 600}, [s](QImage &img) {
        QPainter *p = begin(img);
        const QPainterPath outer = chamfer(QRectF(1.5, 1.5, 997, 597), 28);
        glowStroke(*p, outer, s.accentDeep, 1.5, false);
        // Top bar and bottom bar shading.
        QLinearGradient top(0, 0, 0, 60);
        top.setColorAt(0, withAlpha(s.base.darker(150), 230));
        top.setColorAt(1, withAlpha(s.base.darker(150), 0));
        p->fillRect(QRectF(3, 3, 994, 60), top);
        QLinearGradient bottom(0, 540, 0, 600);
        bottom.setColorAt(0, withAlpha(s.base.darker(150), 0));
        bottom.setColorAt(1, withAlpha(s.base.darker(150), 230));
        p->fillRect(QRectF(3, 540, 994, 57), bottom);
        delete p;
    });
    add(QStringLiteral("frame/decoration1.png"), {1000, 600}, [s](QImage &img) {
        QPainter *p = begin(img);
        // Corner brackets.
        QPainterPath br;
        br.moveTo(8, 70);
        br.lineTo(8, 36);
        br.lineTo(36, 8);
        br.lineTo(200, 8);
        br.moveTo(992, 530);
        br.lineTo(992, 564);
        br.lineTo(964, 592);
        br.lineTo(800, 592);
        glowStroke(*p, br, s.accent, 2.0, true);
        // Tick marks along the top edge.
        p->setPen(QPen(withAlpha(s.accent, 120), 1));
        for (int x = 220; x < 780; x += 8)
            p->drawLine(x, 6, x, (x % 40 == 0) ? 14 : 10);
        delete p;
    });
    add(QStringLiteral("frame/decoration2.png"), {1000, 600}, [s](QImage &img) {
        QPainter *p = begin(img);
        // Side rails with small lit segments.
        for (int i = 0; i < 12; ++i) {
            const QColor c = withAlpha(s.accent, i % 3 == 0 ? 200 : 70);
            p->fillRect(QRectF(3, 120 + i * 30, 3, 18), c);
            p->fillRect(QRectF(994, 120 + i * 30, 3, 18), c);
        }
        QLinearGradient line(0, 0, 1000, 0);
        line.setColorAt(0, withAlpha(s.accent, 0));
        line.setColorAt(0.5, withAlpha(s.accent, 160));
        line.setColorAt(1, withAlpha(s.accent, 0));
        p->fillRect(QRectF(100, 52, 800, 1), line);
        p->fillRect(QRectF(100, 546, 800, 1), line);
        delete p;
    });
    for (int hot = 0; hot < 2; ++hot) {
        add(QStringLiteral("frame/web_%1.png").arg(hot), {150, 44}, [s, hot](QImage &img) {
            QPainter *p = begin(img);
            QFont f(QStringLiteral("DejaVu Sans"));
            f.setBold(true);
            f.setItalic(true);
            f.setPixelSize(30);
            QPainterPath text;
            text.addText(QPointF(6, 33), f, QStringLiteral("Z3"));
            QFont small(QStringLiteral("DejaVu Sans"));
            small.setBold(true);
            small.setPixelSize(11);
            small.setLetterSpacing(QFont::AbsoluteSpacing, 2.5);
            if (hot)
                glowStroke(*p, text, s.accent, 1.0, true);
            p->fillPath(text, hot ? QColor(255, 255, 255) : s.accent);
            p->setPen(hot ? s.accent : QColor(200, 200, 200));
            p->setFont(small);
            p->drawText(QRectF(56, 10, 94, 14), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("GAMING"));
            p->drawText(QRectF(56, 24, 94, 14), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("MOUSE"));
            p->setPen(QPen(hot ? s.accent : s.accentDeep, 2));
            p->drawLine(QPointF(50, 8), QPointF(44, 38));
            delete p;
        });
    }
}

void SkinPainter::buildCommon()
{
    const SkinStyle s = m_s;
    auto box = [this, s](const QString &name, QSize size, bool hot, qreal cut, bool accent) {
        add(QStringLiteral("common/") + name, size, [s, hot, cut, accent](QImage &img) {
            QPainter *p = begin(img);
            plate(*p, QRectF(0.5, 0.5, img.width() - 1, img.height() - 1), s, hot, cut, accent);
            delete p;
        });
    };
    // Sliders: a box and its segments (seven of 21 px overlapping by one
    // give 141 px; eleven of 27 px two apart give 317, drawn scaled to 309).
    box(QStringLiteral("slider_BASE.png"), {141, 23}, false, 4, false);
    box(QStringLiteral("slider_FILLER_0.png"), {21, 23}, false, 3, false);
    box(QStringLiteral("slider_FILLER_1.png"), {21, 23}, true, 3, true);
    box(QStringLiteral("slider_11_BASE.png"), {309, 23}, false, 4, false);
    box(QStringLiteral("slider_11_FILLER_0.png"), {27, 23}, false, 3, false);
    box(QStringLiteral("slider_11_FILLER_1.png"), {27, 23}, true, 3, true);
    box(QStringLiteral("btnGroup_4_BASE.png"), {311, 26}, false, 6, false);
    box(QStringLiteral("btnGroup_8_BASE.png"), {311, 50}, false, 8, false);
    box(QStringLiteral("btnGroup_FILLER_0.png"), {74, 18}, false, 3, false);
    box(QStringLiteral("btnGroup_FILLER_1.png"), {74, 18}, true, 3, true);
    box(QStringLiteral("btnGroup2_FILLER_0.png"), {46, 16}, false, 3, false);
    box(QStringLiteral("btnGroup2_FILLER_1.png"), {46, 16}, true, 3, true);
    box(QStringLiteral("btnFileListFrame.png"), {141, 23}, false, 4, false);
    box(QStringLiteral("btnFrame.png"), {74, 23}, false, 4, false);
    box(QStringLiteral("draw_inputValue.png"), {44, 22}, false, 3, false);
    box(QStringLiteral("fram_2btn.png"), {230, 40}, false, 8, false);

    add(QStringLiteral("common/filelist_BASE.png"), {141, 220}, [s](QImage &img) {
        QPainter *p = begin(img);
        plate(*p, QRectF(0.5, 0.5, 140, 219), s, false, 8);
        p->setPen(QPen(withAlpha(s.accent, 25), 1));
        for (int y = 24; y < 219; y += 22)
            p->drawLine(6, y, 134, y);
        delete p;
    });
    add(QStringLiteral("common/draw_line.png"), {400, 2}, [s](QImage &img) {
        QPainter *p = begin(img);
        QLinearGradient g(0, 0, 400, 0);
        g.setColorAt(0, withAlpha(s.accent, 220));
        g.setColorAt(0.7, withAlpha(s.accent, 80));
        g.setColorAt(1, withAlpha(s.accent, 0));
        p->fillRect(img.rect(), g);
        delete p;
    });
    add(QStringLiteral("common/draw_paletteIndex.png"), {22, 22}, [s](QImage &img) {
        QPainter *p = begin(img);
        glowStroke(*p, chamfer(QRectF(2, 2, 18, 18), 4), s.accent, 2.0, true);
        delete p;
    });
    add(QStringLiteral("common/draw_palette.png"), {24, 200}, [s](QImage &img) {
        QPainter *p = begin(img);
        glowStroke(*p, chamfer(QRectF(1, 1, 22, 198), 5), s.accentDeep, 1.5, false);
        delete p;
    });
    for (int on = 0; on < 2; ++on) {
        add(QStringLiteral("common/checkbox_%1.png").arg(on), {15, 15}, [s, on](QImage &img) {
            QPainter *p = begin(img);
            plate(*p, QRectF(0.5, 0.5, 14, 14), s, on, 3);
            if (on) {
                p->setPen(iconPen(s.accent, 2.0));
                p->drawLine(QPointF(3.5, 7.5), QPointF(6.5, 10.5));
                p->drawLine(QPointF(6.5, 10.5), QPointF(11.5, 4));
            }
            delete p;
        });
    }

    // Reset and apply: square plates with their icon; the scene puts the
    // label beside them where it needs one.
    using IconFn = std::function<void(QPainter &, const QPointF &, const QColor &)>;
    auto squareButton = [this, s](const QString &name, IconFn icon) {
        for (int hot = 0; hot < 2; ++hot) {
            add(QStringLiteral("common/%1_%2.png").arg(name).arg(hot), {40, 40}, [s, hot, icon](QImage &img) {
                QPainter *p = begin(img);
                plate(*p, QRectF(0.5, 0.5, 39, 39), s, hot, 8);
                p->translate(20, 20);
                p->scale(1.5, 1.5);
                icon(*p, QPointF(0, 0), hot ? QColor(255, 255, 255) : s.accent);
                delete p;
            });
        }
    };
    squareButton(QStringLiteral("reset"), [](QPainter &p, const QPointF &c, const QColor &col) {
        p.setPen(iconPen(col, 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(c.x() - 6, c.y() - 6, 12, 12), 60 * 16, 280 * 16);
        p.setBrush(col);
        p.drawPolygon(QPolygonF() << c + QPointF(3, -8) << c + QPointF(7, -4) << c + QPointF(2, -3));
    });
    squareButton(QStringLiteral("apply"), [](QPainter &p, const QPointF &c, const QColor &col) {
        p.setPen(iconPen(col, 2.2));
        p.drawLine(c + QPointF(-6, 0), c + QPointF(-2, 5));
        p.drawLine(c + QPointF(-2, 5), c + QPointF(6, -5));
    });

    // Square icon buttons.
    auto iconButton = [this, s](const QString &name, IconFn icon) {
        for (int hot = 0; hot < 2; ++hot) {
            add(QStringLiteral("common/%1_%2.png").arg(name).arg(hot), {28, 28}, [s, hot, icon](QImage &img) {
                QPainter *p = begin(img);
                plate(*p, QRectF(0.5, 0.5, 27, 27), s, hot, 5);
                icon(*p, QPointF(14, 14), hot ? QColor(255, 255, 255) : s.accent);
                delete p;
            });
        }
    };
    iconButton(QStringLiteral("add"), [](QPainter &p, const QPointF &c, const QColor &col) {
        p.setPen(iconPen(col, 2.2));
        p.drawLine(c + QPointF(-6, 0), c + QPointF(6, 0));
        p.drawLine(c + QPointF(0, -6), c + QPointF(0, 6));
    });
    iconButton(QStringLiteral("delete"), [](QPainter &p, const QPointF &c, const QColor &col) {
        p.setPen(iconPen(col, 2.2));
        p.drawLine(c + QPointF(-6, 0), c + QPointF(6, 0));
    });
    iconButton(QStringLiteral("record"), [](QPainter &p, const QPointF &c, const QColor &) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(235, 40, 50));
        p.drawEllipse(c, 6, 6);
    });
    iconButton(QStringLiteral("stop"), [](QPainter &p, const QPointF &c, const QColor &col) {
        p.setPen(Qt::NoPen);
        p.setBrush(col);
        p.drawRect(QRectF(c.x() - 5, c.y() - 5, 10, 10));
    });
    iconButton(QStringLiteral("solid-delete"), [](QPainter &p, const QPointF &c, const QColor &col) {
        p.setPen(iconPen(col, 2.2));
        p.drawLine(c + QPointF(-5, -5), c + QPointF(5, 5));
        p.drawLine(c + QPointF(5, -5), c + QPointF(-5, 5));
    });
    iconButton(QStringLiteral("solid-cut"), [](QPainter &p, const QPointF &c, const QColor &col) {
        p.setPen(iconPen(col, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c + QPointF(-4, 5), 2.8, 2.8);
        p.drawEllipse(c + QPointF(4, 5), 2.8, 2.8);
        p.drawLine(c + QPointF(-2.5, 3), c + QPointF(4, -7));
        p.drawLine(c + QPointF(2.5, 3), c + QPointF(-4, -7));
    });
    iconButton(QStringLiteral("solid-paste"), [](QPainter &p, const QPointF &c, const QColor &col) {
        p.setPen(iconPen(col, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(c.x() - 6, c.y() - 5, 12, 13), 1.5, 1.5);
        p.setBrush(col);
        p.drawRect(QRectF(c.x() - 3, c.y() - 8, 6, 4));
    });
    iconButton(QStringLiteral("solid-copy"), [](QPainter &p, const QPointF &c, const QColor &col) {
        p.setPen(iconPen(col, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(c.x() - 7, c.y() - 7, 9, 11));
        p.drawRect(QRectF(c.x() - 2, c.y() - 3, 9, 11));
    });
}

void SkinPainter::buildMenus()
{
    const SkinStyle s = m_s;
    add(QStringLiteral("list_up/listUpContainer.png"), {1000, 48}, [s](QImage &img) {
        QPainter *p = begin(img);
        QPainterPath bar;
        bar.moveTo(0, 0);
        bar.lineTo(1000, 0);
        bar.lineTo(1000, 40);
        bar.lineTo(760, 40);
        bar.lineTo(752, 47);
        bar.lineTo(248, 47);
        bar.lineTo(240, 40);
        bar.lineTo(0, 40);
        bar.closeSubpath();
        QLinearGradient g(0, 0, 0, 48);
        g.setColorAt(0, withAlpha(s.base.lighter(120), 235));
        g.setColorAt(1, withAlpha(s.base.darker(140), 235));
        p->fillPath(bar, g);
        QPainterPath edge;
        edge.moveTo(0, 40);
        edge.lineTo(240, 40);
        edge.lineTo(248, 47);
        edge.lineTo(752, 47);
        edge.lineTo(760, 40);
        edge.lineTo(1000, 40);
        glowStroke(*p, edge, s.accent, 1.2, true);
        delete p;
    });
    add(QStringLiteral("list_dn/listDnContainer.png"), {1000, 56}, [s](QImage &img) {
        QPainter *p = begin(img);
        QPainterPath bar;
        bar.moveTo(0, 10);
        bar.lineTo(300, 10);
        bar.lineTo(310, 0);
        bar.lineTo(690, 0);
        bar.lineTo(700, 10);
        bar.lineTo(1000, 10);
        bar.lineTo(1000, 56);
        bar.lineTo(0, 56);
        bar.closeSubpath();
        QLinearGradient g(0, 0, 0, 56);
        g.setColorAt(0, withAlpha(s.base.darker(140), 235));
        g.setColorAt(1, withAlpha(s.base.lighter(110), 235));
        p->fillPath(bar, g);
        QPainterPath edge;
        edge.moveTo(0, 10);
        edge.lineTo(300, 10);
        edge.lineTo(310, 0.5);
        edge.lineTo(690, 0.5);
        edge.lineTo(700, 10);
        edge.lineTo(1000, 10);
        glowStroke(*p, edge, s.accent, 1.2, true);
        delete p;
    });
    for (int hot = 0; hot < 2; ++hot) {
        add(QStringLiteral("list_up/applicationSetting_%1.png").arg(hot), {32, 32}, [s, hot](QImage &img) {
            QPainter *p = begin(img);
            plate(*p, QRectF(0.5, 0.5, 31, 31), s, hot, 6);
            drawGear(*p, QPointF(16, 16), 9, hot ? QColor(255, 255, 255) : s.accent);
            delete p;
        });
        add(QStringLiteral("list_up/applicationMinimize_%1.png").arg(hot), {32, 32}, [s, hot](QImage &img) {
            QPainter *p = begin(img);
            plate(*p, QRectF(0.5, 0.5, 31, 31), s, hot, 6);
            drawPower(*p, QPointF(16, 17), 8, hot ? QColor(255, 90, 90) : s.accent);
            delete p;
        });
        add(QStringLiteral("list_pf/profileFW_%1.png").arg(hot), {96, 30}, [s, hot](QImage &img) {
            QPainter *p = begin(img);
            plate(*p, QRectF(0.5, 0.5, 95, 29), s, hot, 7, hot);
            p->fillRect(QRectF(4, 8, 3, 14), hot ? QColor(255, 255, 255) : s.accentDeep);
            delete p;
        });
        add(QStringLiteral("list_fn/listFnBtn_%1.png").arg(hot), {150, 66}, [s, hot](QImage &img) {
            QPainter *p = begin(img);
            plate(*p, QRectF(0.5, 0.5, 149, 65), s, hot, 12);
            if (hot) {
                p->fillRect(QRectF(0, 14, 4, 38), s.accent);
            }
            delete p;
        });
    }
    add(QStringLiteral("list_pf/listPfContainer.png"), {116, 380}, [s](QImage &img) {
        QPainter *p = begin(img);
        const QPainterPath path = chamfer(QRectF(0.5, 0.5, 115, 379), 14);
        p->fillPath(path, withAlpha(s.base.darker(130), 200));
        glowStroke(*p, path, s.accentDeep, 1.2, false);
        p->fillRect(QRectF(20, 2, 76, 2), s.accent);
        delete p;
    });

    using IconFn = std::function<void(QPainter &, const QColor &)>;
    auto fnIcon = [this, s](const QString &name, IconFn icon) {
        for (int hot = 0; hot < 2; ++hot) {
            add(QStringLiteral("list_fn/%1_%2.png").arg(name).arg(hot), {40, 40},
                [s, hot, icon](QImage &img) {
                    QPainter *p = begin(img);
                    // Normal icons are grey with a touch of the accent.
                    const QColor idle((170 * 3 + s.accent.red()) / 4, (170 * 3 + s.accent.green()) / 4,
                                      (170 * 3 + s.accent.blue()) / 4);
                    icon(*p, hot ? s.accent : idle);
                    delete p;
                });
        }
    };
    fnIcon(QStringLiteral("fnKeydefine"), [](QPainter &p, const QColor &col) {
        // A mouse outline with its left button filled.
        p.setPen(iconPen(col, 2.0));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(10, 4, 20, 32), 10, 10);
        p.drawLine(QPointF(20, 4), QPointF(20, 16));
        p.drawLine(QPointF(10, 16), QPointF(30, 16));
        QPainterPath left;
        left.moveTo(20, 5);
        left.lineTo(20, 15);
        left.lineTo(11, 15);
        left.quadTo(11, 5, 20, 5);
        p.fillPath(left, col);
    });
    fnIcon(QStringLiteral("fnMacro"), [](QPainter &p, const QColor &col) {
        p.setPen(iconPen(col, 2.0));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(4, 9, 32, 22), 3, 3);
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(9 + i * 7, 15), QPointF(11 + i * 7, 15));
        p.drawLine(QPointF(11, 25), QPointF(29, 25));
    });
    fnIcon(QStringLiteral("fnColor"), [](QPainter &p, const QColor &col) {
        p.setPen(iconPen(col, 1.8));
        p.setBrush(withAlpha(col, 60));
        p.drawEllipse(QPointF(15, 15), 9, 9);
        p.drawEllipse(QPointF(25, 15), 9, 9);
        p.drawEllipse(QPointF(20, 24), 9, 9);
    });
    fnIcon(QStringLiteral("fnSensor"), [](QPainter &p, const QColor &col) {
        p.setPen(iconPen(col, 2.0));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(20, 20), 12, 12);
        p.drawEllipse(QPointF(20, 20), 4, 4);
        p.drawLine(QPointF(20, 3), QPointF(20, 11));
        p.drawLine(QPointF(20, 29), QPointF(20, 37));
        p.drawLine(QPointF(3, 20), QPointF(11, 20));
        p.drawLine(QPointF(29, 20), QPointF(37, 20));
    });
}

void SkinPainter::buildCenter()
{
    const SkinStyle s = m_s;
    auto panel = [this, s](const QString &name, QSize size, int header) {
        add(QStringLiteral("list_center/") + name, size, [s, header](QImage &img) {
            QPainter *p = begin(img);
            const QRectF r(0.5, 0.5, img.width() - 1, img.height() - 1);
            const QPainterPath path = chamfer(r, 22);
            QLinearGradient g(r.topLeft(), r.bottomRight());
            g.setColorAt(0, withAlpha(s.base.lighter(115), 242));
            g.setColorAt(1, withAlpha(s.base.darker(150), 242));
            p->fillPath(path, g);
            glowStroke(*p, path, s.accentDeep, 1.2, false);
            // Header strip and a corner accent.
            QLinearGradient h(0, 0, img.width(), 0);
            h.setColorAt(0, withAlpha(s.accent, 160));
            h.setColorAt(1, withAlpha(s.accent, 0));
            p->fillRect(QRectF(24, header, img.width() * 0.6, 2), h);
            QPainterPath corner;
            corner.moveTo(0.5, 60);
            corner.lineTo(0.5, 22);
            corner.lineTo(22, 0.5);
            corner.lineTo(90, 0.5);
            glowStroke(*p, corner, s.accent, 2.0, true);
            delete p;
        });
    };
    panel(QStringLiteral("globalsettingBackground.png"), {420, 500}, 34);
    panel(QStringLiteral("fnColorBackground.png"), {700, 470}, 34);
    panel(QStringLiteral("fnKeydefineBackground.png"), {700, 470}, 34);
    panel(QStringLiteral("fnMacroBackground.png"), {700, 470}, 34);
    panel(QStringLiteral("fnCommonBackground.png"), {700, 470}, 34);
}

void SkinPainter::buildModels()
{
    const SkinStyle s = m_s;
    add(QStringLiteral("model_ms/model_Z3_Color.png"), {102, 191}, [s](QImage &img) {
        QPainter *p = begin(img);
        drawMouse(*p, QRectF(6, 4, 90, 182), s, true);
        delete p;
    });
    add(QStringLiteral("model_ms/model_Z3_KeyDefine.png"), {102, 191}, [s](QImage &img) {
        QPainter *p = begin(img);
        drawMouse(*p, QRectF(6, 4, 90, 182), s, false);
        delete p;
    });
}
