// The key definition and macro pages in the running scene on the virtual
// mouse, driven with clicks and with real key presses through the X server
// and the program's own key-event manager: what reaches the mouse's key
// matrix and macro slots, the profile and the macro files.
#include "SceneDriver.h"
#include "hookMgr.h"

#include <QTemporaryFile>

using namespace scenedriver;

namespace {

// Key presses reach the scene as the program's own hook manager reports them.
struct KeyInput {
    hookMgr hooks{false};
    explicit KeyInput(myQQuickView *view)
    {
        hooks.setKeyboardCallback(
            [](uchar code, uchar down, void *v) {
                static_cast<myQQuickView *>(v)->onKeyboardEvent(code, down);
            },
            view);
        hooks.installHooks();
    }
    ~KeyInput() { hooks.removeHooks(); }
    // Types xdotool key names into the focused window.
    static bool type(myQQuickView *view, const QStringList &keys)
    {
        view->window()->activateWindow();
        if (!QTest::qWaitForWindowActive(view->window()))
            return false;
        for (const QString &k : keys)
            if (!Harness::xdotool({QStringLiteral("key"), k}))
                return false;
        return true;
    }
};

} // namespace

class tst_gui_key_and_macro_pages : public QObject {
    Q_OBJECT

    std::unique_ptr<Program> m_program;
    QQuickItem *key(const char *name) const { return m_program->at(QLatin1String(name)); }
    bool choose(const char *list, int row) const { return m_program->choose(QLatin1String(list), row); }

private slots:
    void init()
    {
        m_program = std::make_unique<Program>();
        QVERIFY(m_program->open("logo=0", 0, "pageKeydefine"));
    }
    void cleanup() { m_program.reset(); }

    // The fire key's mouse drop-down and key box take the same place, in the
    // column of the other fire controls, whichever type is chosen.
    void fireKeyControlsKeepTheirPlace()
    {
        QVERIFY(choose("buttonList", 3));
        QVERIFY(choose("functionMenu", 5)); // FIRE
        QQuickItem *mouse = key("fireMouseMenu");
        QTRY_VERIFY_WITH_TIMEOUT(mouse->isVisible(), 3000);
        const QPointF place = sceneRect(mouse).topLeft();
        QCOMPARE(place.x(), sceneRect(key("fireSpeed")).x());
        QVERIFY(click(m_program->scene.view, key("fireTypeKey")));
        QTRY_VERIFY_WITH_TIMEOUT(key("fireKey")->isVisible() && !mouse->isVisible(), 3000);
        QCOMPARE(sceneRect(key("fireKey")).topLeft(), place);
        QVERIFY(click(m_program->scene.view, key("fireTypeMouse")));
        QTRY_VERIFY_WITH_TIMEOUT(mouse->isVisible(), 3000);
        QCOMPARE(sceneRect(mouse).topLeft(), place);
    }

    // A media key, a typed key whose code has no name on the page and a
    // combination reach the mouse's matrix in the device's button order
    // (3 and 4, 14 and 15 swapped), after the scroll direction, and the
    // profile in the page's order.
    void keysChosenAndTypedReachTheMatrixInDeviceOrder()
    {
        Scene &s = m_program->scene;
        KeyInput keys(s.view);
        QVERIFY(choose("buttonList", 3));   // FORWARD BUTTON
        QVERIFY(choose("functionMenu", 2)); // MEDIA
        QVERIFY(choose("mediaMenu", 4));    // MUTE
        QVERIFY(choose("buttonList", 2));   // MIDDLE BUTTON
        QVERIFY(choose("functionMenu", 0)); // KEYBOARD
        QVERIFY(click(s.view, key("keyboardKey")));
        QVERIFY(KeyInput::type(s.view, {QStringLiteral("backslash")}));
        QTRY_VERIFY_WITH_TIMEOUT(!key("keyboardKey")->property("isSelect").toBool(), 5000);
        QCOMPARE(s.at("keyText", key("keyboardKey"))->property("text").toString(),
                 QStringLiteral("KEY【 PRESS ANY 】"));
        QVERIFY(choose("buttonList", 5));   // DPI BUTTON
        QVERIFY(choose("functionMenu", 3)); // COMBO KEY
        QVERIFY(choose("modifierMenu", 1)); // L Ctrl
        QVERIFY(click(s.view, key("comboKey1")));
        QVERIFY(KeyInput::type(s.view, {QStringLiteral("b")}));
        QTRY_COMPARE_WITH_TIMEOUT(s.at("keyText", key("comboKey1"))->property("text").toString(),
                                  QStringLiteral("KEY 【 B 】"), 5000);
        QVERIFY2(!s.codes().contains(0x12), "nothing goes to the mouse before apply");
        s.clear();
        QVERIFY(click(s.view, key("apply")));
        const auto matrix = s.sent(0x12);
        QCOMPARE(matrix.size(), 1);
        QCOMPARE(s.codes().indexOf(0x03), s.codes().indexOf(0x12) - 1);
        QList<QList<int>> entries;
        QByteArray expected;
        for (int k = 0; k < 16; ++k)
            entries.append(iniList(m_program->folder.setting(), QStringLiteral("keydefine_Z3/%1").arg(k)));
        QCOMPARE(entries[2], (QList<int>{0, 0, 0x31, 0}));
        QCOMPARE(entries[3], (QList<int>{3, 0, 0xE2, 0}));
        QCOMPARE(entries[5], (QList<int>{0, 1, 5, 0}));
        for (int k : {0, 1, 2, 4, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 14})
            for (int b : entries[k])
                expected.append(char(b));
        QCOMPARE(s.device->keyMatrix().toHex(), expected.toHex());
    }

    // A new macro scrolls into view when the list is full.
    void newMacroScrollsIntoView()
    {
        Scene &s = m_program->scene;
        QQuickItem *page = s.openPage(1, "pageMacro");
        QVERIFY(page);
        QQuickItem *files = s.at("macroFiles", page);
        const auto count = [&] {
            return page->property("md_MacroFile").value<QObject *>()->property("count").toInt();
        };
        const int had = count();
        for (int n = 1; n <= 12; ++n) {
            QVERIFY(click(s.view, s.at("addMacro", page)));
            QTRY_COMPARE_WITH_TIMEOUT(count(), had + n, 3000);
            const QString row = QStringLiteral("row%1").arg(files->property("currentIndex").toInt());
            QTRY_VERIFY2_WITH_TIMEOUT(s.at(row, files) &&
                                          sceneRect(files).contains(sceneRect(s.at(row, files))),
                                      qPrintable(row + " out of view"), 3000);
        }
    }

    // A macro recorded from real key presses, with a typed delay, bound to a
    // button, lands in a free slot of the mouse; an edit sends it again.
    void recordedMacroLandsInASlotOfTheMouse()
    {
        Scene &s = m_program->scene;
        KeyInput keys(s.view);
        QQuickItem *page = s.openPage(1, "pageMacro");
        QVERIFY(page);
        const auto at = [&](const char *name) { return s.at(QLatin1String(name), page); };
        const auto actions = [&] {
            return page->property("md_MacroActions").value<QObject *>()->property("count").toInt();
        };
        QVERIFY(click(s.view, at("addMacro")));
        QTRY_COMPARE_WITH_TIMEOUT(page->property("curMacroName").toString(), QStringLiteral("Macro. 001"),
                                  3000);
        const QString file = m_program->folder.path(QStringLiteral("modules/macro/Macro. 001.bin"));
        QVERIFY(click(s.view, at("record")));
        QVERIFY(KeyInput::type(s.view, {QStringLiteral("a")}));
        QTRY_COMPARE_WITH_TIMEOUT(actions(), 2, 5000);
        QVERIFY(click(s.view, at("stop")));
        QCOMPARE(Harness::macroLines(file), (QStringList{"A    [Down]", "A      [Up]"}));

        QQuickItem *release = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT(release = s.at("row1", at("macroActions")), 3000);
        QVERIFY(click(s.view, release, {20, release->height() / 2}));
        QVERIFY(click(s.view, at("delayInput")));
        QTRY_VERIFY_WITH_TIMEOUT(at("delayInput")->hasActiveFocus(), 3000);
        QTest::keyClick(s.view, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(s.view, QStringLiteral("100"));
        QTest::keyClick(s.view, Qt::Key_Return);
        QVERIFY(click(s.view, at("addDelay")));
        QCOMPARE(Harness::macroLines(file), (QStringList{"A    [Down]", "100   [Delay]", "A      [Up]"}));

        // Bound to the DPI button: uploaded to the first free slot (id 1).
        QVERIFY(s.openPage(0, "pageKeydefine"));
        QVERIFY(choose("buttonList", 5));
        QVERIFY(choose("functionMenu", 4)); // MACRO
        s.clear();
        QVERIFY(choose("macroList", 0));
        QCOMPARE(s.sent(0x13).size(), 1);
        QCOMPARE(int(s.sent(0x13)[0].frame[1]), 1);
        QCOMPARE(s.device->macro(1).toHex(), QByteArray("00010a0481040000").leftJustified(256, '0'));
        QCOMPARE(iniList(file, "config/did"), QList<int>{1});
        s.clear();
        QVERIFY(click(s.view, key("apply")));
        QCOMPARE(s.sent(0x12).size(), 1);
        QCOMPARE(s.device->keyMatrix().mid(20, 4).toHex(), QByteArray("09000100"));
        QCOMPARE(iniList(m_program->folder.setting(), "keydefine_Z3/5"), (QList<int>{9, 0, 1, 0}));

        QVERIFY(s.openPage(1, "pageMacro"));
        s.clear();
        QVERIFY(click(s.view, s.at("row1", at("macroActions")), {20, 10}));
        QVERIFY(click(s.view, at("toolDelete")));
        QCOMPARE(s.sent(0x13).size(), 1);
        QCOMPARE(s.device->macro(1).left(8).toHex(), QByteArray("0001010481040000"));
    }
};

PRIVATE_DISPLAY_TEST_MAIN(tst_gui_key_and_macro_pages)
#include "tst_gui_key_and_macro_pages.moc"
