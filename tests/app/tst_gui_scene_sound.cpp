// The sound switch of the settings panel, driven with real mouse clicks in
// the running scene: OFF stops the background music and silences the
// clicks, ON starts the music again.
#include "Hid_Thread.h"
#include "VirtualDevice.h"
#include "Widget.h"
#include "myQQuickView.h"

#include <QDir>
#include <QDirIterator>
#include <QMediaPlayer>
#include <QQuickItem>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bool copyTree(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString dst = to + src.mid(from.size());
        QDir().mkpath(QFileInfo(dst).absolutePath());
        if (!QFile::copy(src, dst))
            return false;
    }
    return true;
}

// Searches the visual tree: items made by a Repeater are not QObject children.
QQuickItem *findItem(QQuickItem *root, const QString &name)
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

} // namespace

class tst_gui_scene_sound : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_oldCwd;

    // Clicks the centre of a scene item (by object name) with the real mouse path.
    static void clickItem(myQQuickView *view, const char *name, QPointF offset = {-1, -1})
    {
        auto *item = findItem(view->rootObject(), QLatin1String(name));
        QVERIFY2(item, name);
        QTRY_VERIFY_WITH_TIMEOUT(item->isVisible(), 5000);
        const QPointF local = offset.x() < 0 ? QPointF(item->width() / 2, item->height() / 2) : offset;
        const QPoint p = item->mapToScene(local).toPoint();
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, p);
    }

    // Opens a drop-down list with a click, waits until it has slid open, and
    // clicks one of its rows.
    static void chooseRow(myQQuickView *view, const char *listName, int row)
    {
        auto *list = findItem(view->rootObject(), QLatin1String(listName));
        QVERIFY2(list, listName);
        clickItem(view, listName);
        auto *drop = findItem(list, QStringLiteral("dropArea"));
        auto *rowItem = findItem(list, QStringLiteral("row%1").arg(row));
        QVERIFY(drop && rowItem);
        QTRY_VERIFY_WITH_TIMEOUT(drop->height() >= rowItem->y() + rowItem->height(), 5000);
        const QPoint p = rowItem->mapToScene(QPointF(rowItem->width() / 2, rowItem->height() / 2)).toPoint();
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, p);
        QTRY_VERIFY_WITH_TIMEOUT(!list->property("isOpened").toBool(), 3000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString modules = qEnvironmentVariable("Z3_MODULES_DIR");
        QVERIFY2(QFileInfo(modules + QStringLiteral("/img/skin1/background.png")).exists(),
                 "build the z3_skins and z3_data targets first");
        QVERIFY(copyTree(modules, m_dir.filePath(QStringLiteral("modules"))));
        m_oldCwd = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
    }

    void cleanupTestCase() { QDir::setCurrent(m_oldCwd); }

    void soundOffStopsTheMusic()
    {
        Widget w(nullptr, std::make_unique<VirtualDevice>());
        w.checkDevice();
        w.showNormal();
        myQQuickView *view = w.view();
        QVERIFY(view && view->rootObject());
        view->initUI();
        QCoreApplication::postEvent(&w, new runUIEvent(runUIEvent::kTag));

        // The delivered configuration has sound on: start the music as the
        // end of the start-up sound would, and wait for it to play.
        QTRY_VERIFY_WITH_TIMEOUT(view->rootObject()->isVisible(), 5000);
        QVERIFY(view->isAudioEnabled());
        view->playMedia_Index(0);
        QTRY_COMPARE_WITH_TIMEOUT(view->player(0)->playbackState(), QMediaPlayer::PlayingState, 10000);

        // Open the settings panel and choose OFF in the sound list.
        QTRY_VERIFY_WITH_TIMEOUT(findItem(view->rootObject(), QStringLiteral("menuUp"))->y() == 0,
                                 10000);
        clickItem(view, "settingButton");
        auto *content = findItem(view->rootObject(), QStringLiteral("settingPanelContent"));
        QTRY_COMPARE_WITH_TIMEOUT(content->x(), 0.0, 5000);
        chooseRow(view, "soundList", 1);

        QTRY_VERIFY_WITH_TIMEOUT(!view->isAudioEnabled(), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(view->player(0)->playbackState(), QMediaPlayer::StoppedState, 3000);
        QVERIFY(view->player(0)->source().isEmpty());
        // A click sound asked for now plays nothing.
        view->playMedia_Index(4);
        QCOMPARE(view->player(4)->playbackState(), QMediaPlayer::StoppedState);

        // ON again: the music comes back.
        chooseRow(view, "soundList", 0);
        QTRY_VERIFY_WITH_TIMEOUT(view->isAudioEnabled(), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(view->player(0)->playbackState(), QMediaPlayer::PlayingState, 10000);
    }
};

QTEST_MAIN(tst_gui_scene_sound)
#include "tst_gui_scene_sound.moc"
