// The main screen in a real window on the virtual mouse: profiles, settings, sounds, dialogs, keyboard.
#include "SceneDriver.h"
#include "SoundPlayers.h"

#include <QAccessible>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QQuickWindow>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <functional>

using namespace scenedriver;

namespace {

QString objectPath(QObject *o)
{
    return o->objectName().isEmpty() ? QString(o->metaObject()->className()) : o->objectName();
}

// Usable, shown interactive nodes of the accessibility tree under iface, in tree order.
void interactiveNodes(QAccessibleInterface *iface, QList<QAccessibleInterface *> &out)
{
    static const QList<QAccessible::Role> roles = {
        QAccessible::Button,   QAccessible::CheckBox,     QAccessible::RadioButton, QAccessible::ComboBox,
        QAccessible::Slider,   QAccessible::EditableText, QAccessible::SpinBox,     QAccessible::ButtonMenu,
        QAccessible::MenuItem, QAccessible::PageTab,      QAccessible::List};
    auto *it = iface ? qobject_cast<QQuickItem *>(iface->object()) : nullptr;
    if (!iface || iface->state().invisible || (it && (!it->isEnabled() || !it->isVisible())))
        return;
    if (roles.contains(iface->role()))
        out << iface;
    for (int i = 0; i < iface->childCount(); ++i)
        interactiveNodes(iface->child(i), out);
}

// Share of the pixels along the top and bottom edge of r that differ clearly between two shots.
double edgeChange(const QImage &a, const QImage &b, const QRect &r)
{
    int changed = 0, all = 0;
    for (int x = r.left() + 2; x < r.right() - 1; ++x)
        for (int y : {r.top(), r.bottom()}) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            changed += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                           std::abs(qBlue(p) - qBlue(q)) >
                       60;
            ++all;
        }
    return all ? double(changed) / all : 0;
}

// Whether a widget's text shows on screen: its background (the commonest grey) lies far from
// its text colour, and some pixels are drawn near the text colour.
bool readableOnScreen(QWidget *w, QPalette::ColorRole textRole)
{
    const QPoint at = w->mapToGlobal(QPoint(0, 0));
    const QImage img = w->screen()->grabWindow(0, at.x(), at.y(), w->width(), w->height()).toImage();
    if (img.isNull())
        return false;
    int histogram[256] = {};
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            ++histogram[qGray(img.pixel(x, y))];
    const int text = qGray(w->palette().color(textRole).rgb());
    const int background = int(std::max_element(histogram, histogram + 256) - histogram);
    int nearText = 0;
    for (int g = std::max(0, text - 60); g <= std::min(255, text + 60); ++g)
        nearText += histogram[g];
    return std::abs(background - text) >= 100 && nearText >= 10;
}

// Opens a real file dialog with `open`, checks on screen (for up to 10 s once shown) that its labels
// and lists are readable, closes it. Polled from a timer: the dialog runs its own event loop.
QString unreadableParts(const std::function<bool()> &open)
{
    QString result = u"no file dialog"_s;
    QElapsedTimer clock, shown;
    clock.start();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            if (clock.elapsed() > 20000)
                timer.stop();
            return;
        }
        if (!shown.isValid())
            shown.start();
        QStringList bad;
        for (const char *name :
             {"lookInLabel", "fileNameLabel", "fileTypeLabel", "sidebar", "listView", "treeView"}) {
            QWidget *w = dialog->findChild<QWidget *>(QLatin1String(name));
            const bool label = QByteArray(name).endsWith("Label");
            if (w && w->isVisible() && !readableOnScreen(w, label ? QPalette::WindowText : QPalette::Text))
                bad.append(QLatin1String(name));
        }
        if (bad.isEmpty() || shown.elapsed() > 10000) {
            result = bad.join(' ');
            timer.stop();
            dialog->reject();
        }
    });
    timer.start(50);
    if (!open())
        return u"did not open"_s;
    QTest::qWaitFor([&] { return !timer.isActive(); }, 30000);
    return result;
}

} // namespace

class tst_gui_scene_main : public QObject {
    Q_OBJECT

private slots:
    void switchingProfileLeavesTheMouseHoldingTheNewSlot()
    {
        WorkFolder folder;
        QVERIFY(folder.make());
        // P03 differs from P01 in every setting the mouse holds; its button 5
        // plays the macro of mouse slot 2 (id 3).
        QByteArray type0, matrix;
        QStringList type0Text;
        for (int i = 1; i <= 24; ++i) {
            type0.append(char(i));
            type0Text << QString::number(i);
        }
        QVERIFY(QFile::remove(folder.setting("p3.bin")) &&
                QFile::copy(folder.setting(), folder.setting("p3.bin")));
        const QMap<QString, QVariant> p3{
            {"keydefine_Z3/1", QStringList{"1", "0", "242", "0"}},
            {"keydefine_Z3/5", QStringList{"9", "0", "3", "0"}},
            {"keydefine_Z3/scrollswap", true},
            {"sensor/reportRate_Z3", 8},
            {"sensor/dpi_Z3", QStringList{"250", "750", "1250", "1750", "2500", "3000", "0", "0"}},
            {"sensor/stage_Z3", 5},
            {"color_Z3/type0", type0Text},
            {"color_Z3/type1", QStringList(24, "9")},
            {"color_Z3/ledEffect", QStringList{"2", "3", "5"}}};
        for (auto it = p3.cbegin(); it != p3.cend(); ++it)
            folder.set("p3.bin", it.key(), it.value());
        for (int k : {0, 1, 2, 4, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 14})
            for (int b : iniList(folder.setting("p3.bin"), u"keydefine_Z3/%1"_s.arg(k)))
                matrix.append(char(b));
        Scene scene;
        QVERIFY(scene.start("stages=8,logo=0"));
        const QString macro = scene.view->createMacroIni().toString();
        QVERIFY(scene.view->saveMacroIni(macro, {u"A    [Down]"_s}).toBool());
        scene.view->setMacroIniConfig(macro, {2, 1});
        // The stage (0BH) goes last; the screen stays locked until it is out.
        const auto switchTo = [&](int slot) {
            scene.clear();
            return scene.click(u"profileButton%1"_s.arg(slot)) && scene.sent(0x0B).size() == 1 &&
                   QTest::qWaitFor(
                       [&] { return scene.device->openHandleCount() == 0 && scene.view->isEnabled(); }, 5000);
        };
        VirtualDevice &dev = *scene.device;
        QVERIFY(switchTo(2));
        QCOMPARE(scene.view->currentProfileIndex(), 2);
        QCOMPARE(dev.keyMatrix().toHex(), matrix.toHex());
        QVERIFY(dev.functionOption()[2] & 0x40);
        QCOMPARE(int(dev.reportRate()), 8);
        QCOMPARE(dev.dpiCodes().toHex(), QByteArray("0103050745468080"));
        QCOMPARE(int(dev.dpiStage()), 5);
        QCOMPARE(dev.ledColors(0).toHex(), type0.toHex());
        QCOMPARE(dev.ledColors(1), QByteArray(24, 9));
        QCOMPARE(int(dev.ledEffect()[0]), 3);
        // The macro went up as an upload of its own would send it.
        const QByteArray uploaded = dev.macro(3);
        QVERIFY(uploaded.count('\0') < 128);
        scene.view->ui_13H_SetMacroKey(3, macro);
        QTRY_VERIFY_WITH_TIMEOUT(scene.view->hidThread()->isLinkFree(), 3000);
        QCOMPARE(dev.macro(3), uploaded);

        // Back on P01 the mouse holds P01 again.
        QVERIFY(switchTo(0));
        QCOMPARE(int(dev.reportRate()), 1);
        QCOMPARE(dev.dpiCodes().toHex(), QByteArray("0204060880808080"));
        QVERIFY(!(dev.functionOption()[2] & 0x40));
        QVERIFY(dev.keyMatrix() != matrix);

        // A click on the current slot sends nothing: a marker sent after it is the only frame.
        scene.clear();
        QVERIFY(scene.click("profileButton0"));
        QCoreApplication::processEvents();
        scene.view->hidThread()->hid_07H_SetLEDInstructFunction(0x5A, 0, 0, 0);
        QCOMPARE(scene.sent(0x07).size(), 1);
        QCOMPARE(scene.codes(), QList<uchar>{0x07});
    }

    void rightClickSaveExportsTheSlot()
    {
        WorkFolder folder;
        QVERIFY(folder.make());
        const QString target = folder.path(u"export/P02.pf"_s);
        QDir().mkpath(folder.path(u"export"_s));
        const QString answers = folder.path(u"answers.txt"_s);
        QVERIFY(writeFile(answers, target.toUtf8() + '\n'));
        qputenv("Z3_SCRIPTED_DIALOGS", answers.toUtf8());
        const struct Unset {
            ~Unset() { qunsetenv("Z3_SCRIPTED_DIALOGS"); } // the later tests open real dialogs
        } unset;
        Scene scene;
        QVERIFY(scene.start());
        // Opened at the right end of the slot, the menu leaves its label in view.
        QVERIFY(scene.click("profileButton1", QPointF(90, 15), Qt::RightButton));
        QQuickItem *menu = scene.at("profileMenu");
        QTRY_VERIFY_WITH_TIMEOUT(menu->isVisible(), 3000);
        QQuickItem *label = scene.at("profileButton1")->childItems().value(1);
        QCOMPARE(label->property("text").toString(), u"P02"_s);
        QVERIFY(!menu->mapRectToScene(menu->boundingRect())
                     .intersects(label->mapRectToScene(label->boundingRect())));
        QVERIFY(scene.click("profileMenuEntry1")); // SAVE
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(target), 5000);
        QCOMPARE(fileBytes(target), fileBytes(folder.path(u"modules/setting/p2.bin"_s)));
        // The menu closes; the current slot stays P01.
        QTRY_VERIFY_WITH_TIMEOUT(!menu->isVisible(), 3000);
        QCOMPARE(scene.at("pfItem")->property("currentIndex").toInt(), 0);
    }

    // Every file dialog opened for real draws its labels and lists readably.
    void fileDialogsAreReadable()
    {
        WorkFolder folder;
        QVERIFY(folder.make());
        // The dialogs open in the desktop and pictures folders: give them files.
        for (const char *sub : {"home/Desktop/a.pf", "home/Pictures/a.png"})
            QVERIFY(writeFile(folder.path(QLatin1String(sub)), {}));
        struct Home {
            QByteArray old = qgetenv("HOME");
            ~Home() { qputenv("HOME", old); }
        } restore;
        qputenv("HOME", QFile::encodeName(folder.path(u"home"_s)));
        Scene scene;
        QVERIFY(scene.start());
        // Profile LOAD and SAVE (the macro menu's entries make the same calls) and the background.
        QQuickItem *menu = scene.at("profileMenu");
        const auto check = [&](const char *what, const std::function<bool()> &open) {
            const QString bad = unreadableParts(open);
            QVERIFY2(bad.isEmpty(), qPrintable(QLatin1String(what) + ": " + bad));
            QTRY_VERIFY_WITH_TIMEOUT(scene.view->isEnabled() && !menu->isVisible(), 5000);
        };
        for (int entry : {0, 1})
            check(entry ? "profile SAVE" : "profile LOAD", [&] {
                if (!scene.click("profileButton0", {-1, -1}, Qt::RightButton) ||
                    !QTest::qWaitFor([menu] { return menu->isVisible() && menu->opacity() == 1.0; }, 3000))
                    return false;
                QQuickItem *e = scene.at(u"profileMenuEntry%1"_s.arg(entry));
                QTest::mouseClick(scene.view, Qt::LeftButton, {}, sceneRect(e).center().toPoint());
                return true;
            });
        QVERIFY(scene.openSettings());
        check("background picture", [&] { return scene.click("backgroundToggle"); });
    }

    // The settings panel shows what is in use: the palette fields follow the selected entry and a
    // field left unedited changes nothing; exactly one text-size box is checked whatever the order
    // of clicks and after DEFAULT; skin 2 changes the artwork.
    void settingsPanelShowsWhatIsInUse()
    {
        Program p;
        QVERIFY(p.open());
        Scene &scene = p.scene;
        QVERIFY(scene.openSettings());
        QQuickItem *page = scene.at("pageGlobalsetting");
        const auto fields = [&] {
            QList<int> out;
            for (const char *f : {"inputR", "inputG", "inputB"})
                out.append(findItem(page, QLatin1String(f))->property("text").toInt());
            return out;
        };
        const auto swatch = [&](int k) {
            QQuickItem *e = findItem(page, u"paletteEntry%1"_s.arg(k));
            return QColor(scene.shot().pixel(e->mapToScene(QPointF(11, 11)).toPoint()));
        };
        QVERIFY(scene.click("paletteEntry0"));
        const QColor b = swatch(1);
        for (const char *field : {"inputG", "inputR"}) {
            QVERIFY(scene.click(field) && scene.click("pageGlobalsetting", QPointF(5, 5)));
            QVERIFY(scene.click("paletteEntry1"));
            QCOMPARE(fields(), (QList<int>{b.red(), b.green(), b.blue()}));
            QCOMPARE(swatch(1), b);
        }

        // Each step: the box clicked (none: DEFAULT) and the size then in use.
        const QList<std::pair<const char *, int>> steps = {{"sizeNormal", 11}, {"sizeLarger", 12},
                                                           {"sizeLarger", 12}, {"sizeNormal", 11},
                                                           {"sizeLarger", 12}, {"settingResetButton", 11}};
        for (const auto &[box, size] : steps) {
            QVERIFY(scene.click(box));
            QTRY_COMPARE_WITH_TIMEOUT(scene.view->rootObject()->property("globalSetting_size").toInt(), size,
                                      3000);
            QVERIFY2(scene.at("sizeNormal")->property("isSelect").toBool() == (size == 11) &&
                         scene.at("sizeLarger")->property("isSelect").toBool() == (size == 12),
                     box);
        }

        // Another language relabels the panel at once.
        QQuickItem *sound = findItem(findItem(page, u"soundList"_s), u"boxText"_s);
        const QString on = sound->property("text").toString();
        QVERIFY(chooseRow(scene.view, "languageList", (page->property("languageIndex").toInt() + 1) % 3));
        QTRY_VERIFY_WITH_TIMEOUT(!sound->property("text").toString().isEmpty() && sound->property("text") != on, 3000);

        QVERIFY(chooseRow(scene.view, "skinList", 1));
        QCOMPARE(scene.view->rootObject()->property("skin_No").toInt(), 2);
        QVERIFY(scene.click("settingButton"));
        QTRY_VERIFY_WITH_TIMEOUT(!scene.at("settingPanel")->isVisible(), 5000);
        QQuickItem *button = scene.at("profileButton0");
        const auto colour = [&] {
            return scene.shot().pixel(button->mapToScene(QPointF(8, button->height() / 2)).toPoint());
        };
        const auto orange = [&](QRgb c) {
            return qRed(c) > 150 && qRed(c) > qGreen(c) + 40 && qGreen(c) > qBlue(c) + 30;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(orange(colour()), qPrintable(QColor(colour()).name()), 5000);
    }

    // The settings panel's sound switch, clicked: OFF stops the music, ON restarts it.
    void soundSwitchStopsAndRestartsTheMusic()
    {
        WorkFolder folder;
        QVERIFY(folder.make());
        Scene scene;
        QVERIFY(scene.start());
        SoundPlayers *sounds = scene.view->sounds();
        scene.view->playMedia_Index(0); // as the end of the start-up chime does
        QTRY_COMPARE_WITH_TIMEOUT(sounds->state(0).playback, QMediaPlayer::PlayingState, 10000);
        QVERIFY(scene.openSettings());
        for (int row : {1, 0}) {
            QVERIFY(chooseRow(scene.view, u"soundList"_s, row));
            QTRY_COMPARE_WITH_TIMEOUT(scene.view->isAudioEnabled(), row == 0, 3000);
            QTRY_COMPARE_WITH_TIMEOUT(sounds->state(0).source.isEmpty(), row == 1, 10000);
            QTRY_COMPARE_WITH_TIMEOUT(sounds->state(0).playback == QMediaPlayer::PlayingState, row == 0, 10000);
        }
    }

    // The fire key's mouse drop-down and key box take the same place, in the column of the other
    // fire controls, whichever type is chosen.
    void fireKeyControlsKeepTheirPlace()
    {
        Program p;
        QVERIFY(p.open("logo=0", 0, "pageKeydefine"));
        QVERIFY(p.choose("buttonList", 3));
        QVERIFY(p.choose("functionMenu", 5)); // FIRE
        QQuickItem *mouse = p.at("fireMouseMenu");
        QTRY_VERIFY_WITH_TIMEOUT(mouse->isVisible(), 3000);
        const QPointF place = sceneRect(mouse).topLeft();
        QCOMPARE(place.x(), sceneRect(p.at("fireSpeed")).x());
        QVERIFY(p.click("fireTypeKey"));
        QTRY_VERIFY_WITH_TIMEOUT(p.at("fireKey")->isVisible() && !mouse->isVisible(), 3000);
        QCOMPARE(sceneRect(p.at("fireKey")).topLeft(), place);
        QVERIFY(p.click("fireTypeMouse"));
        QTRY_VERIFY_WITH_TIMEOUT(mouse->isVisible(), 3000);
        QCOMPARE(sceneRect(mouse).topLeft(), place);
    }

    // A new macro scrolls into view when the list is full; its menu renames it in place.
    void newMacroScrollsIntoViewAndIsRenamedInPlace()
    {
        Program p;
        QVERIFY(p.open("logo=0", 1, "pageMacro"));
        QQuickItem *files = p.at("macroFiles");
        const auto count = [&] {
            return p.page->property("md_MacroFile").value<QObject *>()->property("count").toInt();
        };
        const int had = count();
        for (int n = 1; n <= 12; ++n) {
            QVERIFY(p.click("addMacro"));
            QTRY_COMPARE_WITH_TIMEOUT(count(), had + n, 3000);
            QQuickItem *row = nullptr;
            const int index = files->property("currentIndex").toInt();
            QTRY_VERIFY2_WITH_TIMEOUT((row = p.scene.at(u"row%1"_s.arg(index), files)) &&
                                          sceneRect(files).contains(sceneRect(row)),
                                      qPrintable(u"row %1 out of view"_s.arg(index)), 3000);
        }
        QQuickItem *row = p.scene.at(u"row%1"_s.arg(files->property("currentIndex").toInt()), files);
        const QString old = p.folder.path(u"modules/macro/"_s + findItem(row, u"nameInput"_s)->property("text").toString());
        QVERIFY(QFileInfo::exists(old + u".bin"_s));
        QVERIFY(click(p.scene.view, row, {-1, -1}, Qt::RightButton) && p.click("menuEntry2")); // RENAME
        QTRY_VERIFY_WITH_TIMEOUT(findItem(row, u"nameInput"_s)->hasActiveFocus(), 3000);
        QTest::keyClicks(p.scene.view, u"Boss"_s); // over the whole name, selected
        QTest::keyClick(p.scene.view, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(p.folder.path(u"modules/macro/Boss.bin"_s)), 3000);
        QVERIFY(!QFileInfo::exists(old + u".bin"_s));
    }

    // Every control of the menus, the four pages and the settings page has a name and a role,
    // and Tab visits each in reading order with a focus mark drawn around it.
    void keyboardAndScreenReaderReachEveryControl()
    {
        Program p;
        QVERIFY(p.open());
        Scene &scene = p.scene;
        QQuickWindow *window = scene.view->quickWindow();
        scene.widget->activateWindow();
        scene.view->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY_WITH_TIMEOUT(scene.view->hasFocus(), 5000);
        const QStringList regions = {"pageContainer", "settingPanel", "fnItem",
                                     "pfItem",        "menuUp",       "menuDown"};
        auto regionOf = [&](QQuickItem *it) {
            for (; it; it = it->parentItem())
                if (regions.contains(it->objectName()))
                    return it->objectName();
            return QString();
        };
        auto check = [&](const QString &what) {
            QList<QAccessibleInterface *> nodes;
            interactiveNodes(QAccessible::queryAccessibleInterface(scene.view), nodes);
            QSet<QObject *> named;
            for (QAccessibleInterface *n : nodes) {
                QVERIFY2(!n->text(QAccessible::Name).trimmed().isEmpty(),
                         qPrintable(what + ": no name on " + n->object()->metaObject()->className() + " at " +
                                    QString::number(n->rect().x()) + "," + QString::number(n->rect().y())));
                named << n->object();
            }
            // Tab until focus comes round again: every stop is named, marked and, within its
            // region, after the previous stop in reading order (never back up and to the left).
            QSet<QObject *> stops;
            QList<std::tuple<QString, QRect, QString>> cycle;
            QImage before = scene.shot();
            for (int i = 0; i < 200; ++i) {
                QTest::keyClick(scene.view, Qt::Key_Tab);
                QQuickItem *at = window->activeFocusItem();
                QVERIFY2(at && at != window->contentItem(), qPrintable(what + ": Tab gives no focus"));
                if (stops.contains(at))
                    break;
                stops << at;
                const QString where = objectPath(at);
                QVERIFY2(named.contains(at), qPrintable(what + ": Tab stop without name or role: " + where));
                const QRect r = at->mapRectToScene(QRectF(0, 0, at->width(), at->height())).toRect();
                const QImage now = scene.shot();
                QVERIFY2(edgeChange(before, now, r) > 0.5, qPrintable(what + ": no focus mark on " + where));
                before = now;
                cycle.append({regionOf(at), r, where});
            }
            // The walk may start inside a region: begin it at a region's start.
            for (int k = 0; k < cycle.size() && std::get<0>(cycle[0]) == std::get<0>(cycle.back()); ++k)
                cycle.move(0, cycle.size() - 1);
            for (int k = 1; k < cycle.size(); ++k) {
                const auto &[region, r, where] = cycle[k];
                const QRect p = std::get<1>(cycle[k - 1]);
                const bool sameRow = std::abs(r.center().y() - p.center().y()) < 6;
                QVERIFY2(region != std::get<0>(cycle[k - 1]) ||
                             (sameRow ? r.x() > p.x() : (r.y() > p.y() || r.x() >= p.right())),
                         qPrintable(what + ": out of reading order: " + where));
            }
            // Every named control of the window is a Tab stop.
            for (QObject *o : std::as_const(named))
                QVERIFY2(stops.contains(o), qPrintable(what + ": Tab skips " + objectPath(o)));
        };
        check(u"menus"_s);
        QQuickItem *container = scene.at("pageContainer"), *content = scene.at("pageContent");
        for (int page = 0; page < 4 && !QTest::currentTestFailed(); ++page) {
            QVERIFY(scene.click(u"fnButton%1"_s.arg(page)));
            QTRY_VERIFY_WITH_TIMEOUT(container->property("curID").toInt() == page && content->x() == 0, 5000);
            check(u"page %1"_s.arg(page));
        }
        if (!QTest::currentTestFailed()) {
            QVERIFY(scene.openSettings());
            check(u"settings"_s);
        }
    }
};

PRIVATE_DISPLAY_TEST_MAIN(tst_gui_scene_main)
#include "tst_gui_scene_main.moc"
