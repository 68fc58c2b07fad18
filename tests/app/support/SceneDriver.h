#pragma once
// Drives the real scene in-process for the scene scenarios: a fresh working
// folder copied from the build's modules/, the Widget on the virtual mouse
// started as the program starts it, and real mouse clicks on scene items
// found by object name.

#include "Hid_Thread.h"
#include "VirtualDevice.h"
#include "Widget.h"
#include "myQQuickView.h"

#include <QDir>
#include <QDirIterator>
#include <QQuickItem>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace scenedriver {

inline bool copyTree(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString dst = to + src.mid(from.size());
        QDir().mkpath(QFileInfo(dst).absolutePath());
        QFile::remove(dst);
        if (!QFile::copy(src, dst))
            return false;
    }
    return true;
}

// Searches the visual tree: items made by a Repeater are not QObject children.
inline QQuickItem *findItem(QQuickItem *root, const QString &name)
{
    if (!root)
        return nullptr;
    if (root->objectName() == name)
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

// Clicks a point of a scene item (its centre by default) once it shows.
inline bool clickItem(myQQuickView *view, const QString &name, Qt::MouseButton button = Qt::LeftButton,
                      QPointF local = {-1, -1})
{
    QQuickItem *it = item(view, name);
    if (!it)
        return false;
    // Wait out a busy lock and any fade-in.
    if (!QTest::qWaitFor([it, view] { return view->isEnabled() && it->isVisible() && it->opacity() > 0.5; },
                         5000))
        return false;
    const QPointF at = local.x() < 0 ? QPointF(it->width() / 2, it->height() / 2) : local;
    QTest::mouseClick(view, button, Qt::NoModifier, it->mapToScene(at).toPoint());
    return true;
}

// Opens a drop-down list, waits until it has slid open, clicks a row.
inline bool chooseRow(myQQuickView *view, const QString &listName, int row)
{
    QQuickItem *list = item(view, listName);
    if (!list || !clickItem(view, listName)) {
        qWarning() << "cannot click" << listName;
        return false;
    }
    QQuickItem *drop = findItem(list, QStringLiteral("dropArea"));
    QQuickItem *rowItem = findItem(list, QStringLiteral("row%1").arg(row));
    if (!drop || !rowItem) {
        qWarning() << "no row" << row << "in" << listName;
        return false;
    }
    // Fully open: the rows no longer slide.
    QQuickItem *rows = rowItem->parentItem();
    if (!QTest::qWaitFor([&] { return drop->height() >= rows->height() && rows->y() == 0; }, 5000)) {
        qWarning() << listName << "did not open:" << drop->height();
        return false;
    }
    const QPoint p = rowItem->mapToScene(QPointF(rowItem->width() / 2, rowItem->height() / 2)).toPoint();
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, p);
    if (!QTest::qWaitFor([list] { return !list->property("isOpened").toBool(); }, 3000)) {
        qWarning() << listName << "did not close after the click at" << p;
        return false;
    }
    return true;
}

// The program's start-up on the virtual mouse, in the current folder.
struct Scene {
    VirtualDevice *device = nullptr; // owned by the widget's link
    std::unique_ptr<Widget> widget;
    myQQuickView *view = nullptr;

    bool start()
    {
        auto dev = std::make_unique<VirtualDevice>();
        device = dev.get();
        widget = std::make_unique<Widget>(nullptr, std::move(dev));
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

    // Opens the settings panel and waits until it has slid in.
    bool openSettings()
    {
        QQuickItem *content = item(view, QStringLiteral("settingPanelContent"));
        return content && clickItem(view, QStringLiteral("settingButton")) &&
               QTest::qWaitFor([content] { return content->x() == 0; }, 5000);
    }

    QImage shot() const { return view->grabFramebuffer(); }
};

// A working folder for one scenario: a copy of the build's modules/.
struct WorkFolder {
    QTemporaryDir dir;
    QString oldCwd;

    // fastAnimations: the stored configuration switches animations off so a
    // scenario does not wait for the opening sequence.
    bool make(bool fastAnimations = true)
    {
        const QString modules = qEnvironmentVariable("Z3_MODULES_DIR");
        if (!dir.isValid() || !QFileInfo::exists(modules + QStringLiteral("/img/skin2/background.png")))
            return false;
        if (!copyTree(modules, dir.filePath(QStringLiteral("modules"))))
            return false;
        if (fastAnimations) {
            QSettings cfg(dir.filePath(QStringLiteral("modules/setting/apConfig.bin")), QSettings::IniFormat);
            cfg.setValue(QStringLiteral("common/3"), 1);
        }
        oldCwd = QDir::currentPath();
        return QDir::setCurrent(dir.path());
    }
    ~WorkFolder()
    {
        if (!oldCwd.isEmpty())
            QDir::setCurrent(oldCwd);
    }
    QString path(const QString &rel) const { return dir.filePath(rel); }
};

} // namespace scenedriver
