#pragma once
// Drives the real scene in-process: a private copy of the build's modules/ as
// the working folder, the Widget on a virtual mouse started as the program
// starts it, clicks on scene items found by object name, and what reached the
// mouse (the virtual mouse's own record of the frames it received).

#include "Harness.h"
#include "Hid_Thread.h"
#include "Options.h"
#include "VirtualDevice.h"
#include "Widget.h"
#include "myQQuickView.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QQuickItem>
#include <QSettings>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

#include <memory>

namespace scenedriver {

// Searches the visual tree: items made by a Repeater are not QObject children.
inline QQuickItem *findItem(QQuickItem *root, const QString &name)
{
    if (!root || root->objectName() == name)
        return root;
    const auto kids = root->childItems();
    for (QQuickItem *kid : kids)
        if (QQuickItem *hit = findItem(kid, name))
            return hit;
    return nullptr;
}

inline QQuickItem *item(myQQuickView *view, const QString &name)
{
    return findItem(view->rootObject(), name);
}

inline QRectF sceneRect(QQuickItem *it)
{
    return it->mapRectToScene(QRectF(0, 0, it->width(), it->height()));
}

// Clicks a point of an item (its centre by default) once it shows and the
// screen is not locked.
inline bool click(myQQuickView *view, QQuickItem *it, QPointF local = {-1, -1},
                  Qt::MouseButton button = Qt::LeftButton)
{
    if (!it ||
        !QTest::qWaitFor([&] { return view->isEnabled() && it->isVisible() && it->opacity() > 0.5; }, 5000))
        return false;
    const QPointF at = local.x() < 0 ? QPointF(it->width() / 2, it->height() / 2) : local;
    QTest::mouseClick(view, button, Qt::NoModifier, it->mapToScene(at).toPoint());
    return true;
}

inline bool clickItem(myQQuickView *view, const QString &name, Qt::MouseButton button = Qt::LeftButton,
                      QPointF local = {-1, -1})
{
    return click(view, item(view, name), local, button);
}

// The same click made by the X server, as the user's pointer makes it: a part
// of the scene that the window does not show cannot be hit.
inline bool realClick(myQQuickView *view, QQuickItem *it, QPointF local)
{
    const QPoint at = view->mapToGlobal(it->mapToScene(local).toPoint());
    return Harness::xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                             QStringLiteral("click"), QStringLiteral("1")});
}

// Opens a drop-down list, waits until the row has slid fully into view,
// clicks it and waits until the list has closed.
inline bool chooseRow(myQQuickView *view, QQuickItem *list, int row)
{
    if (!click(view, list))
        return false;
    QQuickItem *drop = findItem(list, QStringLiteral("dropArea"));
    QQuickItem *rowItem = nullptr;
    if (!drop || !QTest::qWaitFor(
                     [&] {
                         rowItem = findItem(drop, QStringLiteral("row%1").arg(row));
                         return rowItem && sceneRect(drop).contains(sceneRect(rowItem));
                     },
                     5000)) {
        qWarning() << list->objectName() << "did not open on row" << row;
        return false;
    }
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, sceneRect(rowItem).center().toPoint());
    return QTest::qWaitFor([list] { return !list->property("isOpened").toBool(); }, 3000);
}

inline bool chooseRow(myQQuickView *view, const QString &listName, int row)
{
    QQuickItem *list = item(view, listName);
    return list && chooseRow(view, list, row);
}

// A value of an INI file as integers ("1, 2, 3" or "3"; empty when missing).
inline QList<int> iniList(const QString &file, const QString &key)
{
    const QVariant v = QSettings(file, QSettings::IniFormat).value(key);
    QList<int> out;
    for (const QString &item :
         v.typeId() == QMetaType::QStringList ? v.toStringList() : QStringList{v.toString()})
        if (!item.isEmpty())
            out.append(item.trimmed().toInt());
    return out;
}

// The program's start-up on the virtual mouse, in the current folder.
struct Scene {
    VirtualDevice *device = nullptr; // owned by the widget's link
    std::unique_ptr<Widget> widget;
    myQQuickView *view = nullptr;

    // mouse: the virtual mouse's settings, as Z3_VIRTUAL_DEVICE gives them.
    bool start(const QString &mouse = QString())
    {
        auto backend = makeVirtualDevice(mouse);
        device = static_cast<VirtualDevice *>(backend.get());
        widget = std::make_unique<Widget>(nullptr, std::move(backend));
        widget->checkDevice();
        widget->showNormal();
        view = widget->view();
        if (!view || !view->rootObject())
            return false;
        view->initUI();
        QCoreApplication::postEvent(widget.get(), new runUIEvent(runUIEvent::kTag));
        // The opening sequence ends with the profile menu slid in.
        QQuickItem *pf = item(view, QStringLiteral("pfItem"));
        QQuickItem *up = item(view, QStringLiteral("menuUp"));
        return pf && up &&
               QTest::qWaitFor(
                   [&] { return up->y() == 0 && pf->isVisible() && pf->x() == 1000 - pf->width() - 10; },
                   15000);
    }
    ~Scene()
    {
        // Set commands still on the pool use the link the widget owns.
        QThreadPool::globalInstance()->waitForDone(5000);
        widget.reset();
        QThreadPool::globalInstance()->waitForDone(5000);
    }

    QQuickItem *at(const QString &name, QQuickItem *under = nullptr) const
    {
        return findItem(under ? under : view->rootObject(), name);
    }

    // Opens the settings panel and waits until it has slid in.
    bool openSettings()
    {
        QQuickItem *content = item(view, QStringLiteral("settingPanelContent"));
        return content && clickItem(view, QStringLiteral("settingButton")) &&
               QTest::qWaitFor([content] { return content->x() == 0; }, 5000);
    }

    // Opens function page `index` (0 keys, 1 macros, 2 lighting, 3 sensor)
    // with its menu button; the page once it has slid in, else null.
    QQuickItem *openPage(int index, const QString &name)
    {
        QQuickItem *content = item(view, QStringLiteral("pageContent"));
        if (!clickItem(view, QStringLiteral("fnButton%1").arg(index)))
            return nullptr;
        QQuickItem *page = nullptr;
        QTest::qWaitFor(
            [&] {
                page = item(view, name);
                return page && page->isVisible() && content->x() == 0.0 && view->isEnabled();
            },
            5000);
        return page;
    }

    QImage shot() const { return view->grabFramebuffer(); }

    // The command frames the mouse received with `code` since the last
    // clear(), once `count` of them have arrived and the link is free again
    // (a block that follows a frame has then arrived too).
    QList<VirtualDevice::Received> sent(uchar code, int count = 1) const
    {
        QList<VirtualDevice::Received> hits;
        QTest::qWaitFor(
            [&] {
                hits.clear();
                for (const auto &r : device->received())
                    if (r.frame[0] == code)
                        hits.append(r);
                return hits.size() >= count && view->hidThread()->isLinkFree();
            },
            10000);
        return hits;
    }
    QList<uchar> codes() const
    {
        QList<uchar> out;
        for (const auto &r : device->received())
            out.append(r.frame[0]);
        return out;
    }
    void clear() const { device->clearReceived(); }
};

// A working folder for one scenario: a copy of the build's modules/.
struct WorkFolder {
    QTemporaryDir dir;
    QString oldCwd;

    // fastAnimations: the stored configuration switches animations off so a
    // scenario does not wait for the opening sequence; quiet: sound off.
    bool make(bool fastAnimations = true, bool quiet = false)
    {
        const QString modules = qEnvironmentVariable("Z3_MODULES_DIR");
        if (!dir.isValid() || !QFileInfo::exists(modules + QStringLiteral("/img/skin2/background.png")))
            return false;
        QDirIterator it(modules, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString src = it.next();
            const QString dst = dir.filePath(QStringLiteral("modules") + src.mid(modules.size()));
            QDir().mkpath(QFileInfo(dst).absolutePath());
            if (!QFile::copy(src, dst))
                return false;
        }
        if (fastAnimations)
            set(QStringLiteral("apConfig.bin"), QStringLiteral("common/3"), 1);
        if (quiet)
            set(QStringLiteral("apConfig.bin"), QStringLiteral("common/2"), 1);
        oldCwd = QDir::currentPath();
        return QDir::setCurrent(dir.path());
    }
    ~WorkFolder()
    {
        if (!oldCwd.isEmpty())
            QDir::setCurrent(oldCwd);
    }
    QString path(const QString &rel) const { return dir.filePath(rel); }
    // A file of modules/setting/ (the current profile by default).
    QString setting(const QString &file = QStringLiteral("p1.bin")) const
    {
        return dir.filePath(QStringLiteral("modules/setting/") + file);
    }
    void set(const QString &file, const QString &key, const QVariant &value) const
    {
        QSettings(setting(file), QSettings::IniFormat).setValue(key, value);
    }
};

// One scenario: a fresh working folder (animations and sound off) whose
// current profile gets `stored` (a null value removes the profile file), the
// scene on `mouse` and, when index >= 0, that function page opened.
struct Program {
    WorkFolder folder;
    Scene scene;
    QQuickItem *page = nullptr;

    bool open(const QString &mouse, int index = -1, const QString &pageName = QString(),
              const QMap<QString, QVariant> &stored = {})
    {
        if (!folder.make(true, true))
            return false;
        for (auto it = stored.cbegin(); it != stored.cend(); ++it)
            it.value().isNull() ? void(QFile::remove(folder.setting()))
                                : folder.set("p1.bin", it.key(), it.value());
        return scene.start(mouse) && (index < 0 || (page = scene.openPage(index, pageName)));
    }
    // An item of the open page.
    QQuickItem *at(const QString &name) const { return scene.at(name, page); }
    bool click(const QString &name, QPointF local = {-1, -1}) const
    {
        return scenedriver::click(scene.view, at(name), local);
    }
    bool choose(const QString &list, int row) const { return chooseRow(scene.view, at(list), row); }
    QList<int> stored(const QString &key, const QString &file = QStringLiteral("p1.bin")) const
    {
        return iniList(folder.setting(file), key);
    }
};

} // namespace scenedriver
