#pragma once
// Drives the real scene in-process on the virtual mouse and reads what reached the mouse.

#include "Harness.h"
#include "Hid_Thread.h"
#include "Options.h"
#include "VirtualDevice.h"
#include "Widget.h"
#include "myQQuickView.h"

#include <QDir>
#include <QQuickItem>
#include <QSettings>
#include <QThreadPool>
#include <QtTest>

#include <memory>

namespace scenedriver {

// Searches the visual tree: items made by a Repeater are not QObject children.
inline QQuickItem *findItem(QQuickItem *root, const QString &name)
{
    if (!root || root->objectName() == name)
        return root;
    for (QQuickItem *kid : root->childItems())
        if (QQuickItem *hit = findItem(kid, name))
            return hit;
    return nullptr;
}

inline QRectF sceneRect(QQuickItem *it)
{
    return it->mapRectToScene(QRectF(0, 0, it->width(), it->height()));
}

// Clicks a point of an item (its centre by default) once it shows and the screen is not locked.
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

// Opens a drop-down list, clicks the row once it has slid fully into view, waits until the list closes.
inline bool chooseRow(myQQuickView *view, QQuickItem *list, int row)
{
    QQuickItem *drop = list ? findItem(list, u"dropArea"_s) : nullptr;
    QQuickItem *rowItem = nullptr;
    if (!drop || !click(view, list) ||
        !QTest::qWaitFor(
            [&] {
                rowItem = findItem(drop, u"row%1"_s.arg(row));
                return rowItem && sceneRect(drop).contains(sceneRect(rowItem));
            },
            5000))
        return false;
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, sceneRect(rowItem).center().toPoint());
    return QTest::qWaitFor([list] { return !list->property("isOpened").toBool(); }, 3000);
}

inline bool chooseRow(myQQuickView *view, const QString &listName, int row)
{
    return chooseRow(view, findItem(view->rootObject(), listName), row);
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
        QQuickItem *pf = at(u"pfItem"_s), *up = at(u"menuUp"_s);
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
    bool click(const QString &name, QPointF local = {-1, -1}, Qt::MouseButton button = Qt::LeftButton) const
    {
        return scenedriver::click(view, at(name), local, button);
    }
    // Clicks a menu button and waits until `panel` has slid in with `shows` visible: that item, else null.
    QQuickItem *open(const QString &button, const QString &panel, const QString &shows)
    {
        QQuickItem *content = at(panel), *it = nullptr;
        const auto in = [&] {
            return content->x() == 0 && view->isEnabled() && (it = at(shows)) && it->isVisible();
        };
        return content && click(button) && QTest::qWaitFor(in, 5000) ? it : nullptr;
    }
    bool openSettings() { return open("settingButton", "settingPanelContent", "settingPanelContent"); }
    // Function page `index`: 0 keys, 1 macros, 2 lighting, 3 sensor.
    QQuickItem *openPage(int index, const QString &name)
    {
        return open(u"fnButton%1"_s.arg(index), "pageContent", name);
    }

    QImage shot() const { return view->grabFramebuffer(); }

    // The frames with `code` the mouse received since clear(), once `count` of them have
    // arrived and the link is free again (so a block that follows a frame has arrived too).
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

// A working folder for one scenario: a copy of the build's modules/, animations off
// (no wait for the opening sequence), sound off when quiet. The current folder while it lives.
struct WorkFolder {
    QTemporaryDir dir;
    QString oldCwd;

    bool make(bool quiet = false)
    {
        if (!dir.isValid() ||
            !QFileInfo::exists(qEnvironmentVariable("Z3_MODULES_DIR") + u"/img/skin2/background.png"_s) ||
            !Harness::copyData(dir.path()))
            return false;
        set("apConfig.bin", "common/3", 1);
        if (quiet)
            set("apConfig.bin", "common/2", 1);
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
    QString setting(const QString &file = u"p1.bin"_s) const { return path(u"modules/setting/"_s + file); }
    void set(const QString &file, const QString &key, const QVariant &value) const
    {
        QSettings(setting(file), QSettings::IniFormat).setValue(key, value);
    }
};

// One scenario: a quiet working folder whose current profile gets `stored` (a null value
// removes the profile file), the scene on `mouse` and, when index >= 0, that page opened.
struct Program {
    WorkFolder folder;
    Scene scene;
    QQuickItem *page = nullptr;

    bool open(const QString &mouse = QString(), int index = -1, const QString &pageName = QString(),
              const QMap<QString, QVariant> &stored = {})
    {
        if (!folder.make(true))
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
    QList<int> stored(const QString &key, const QString &file = u"p1.bin"_s) const
    {
        return iniList(folder.setting(file), key);
    }
};

} // namespace scenedriver
