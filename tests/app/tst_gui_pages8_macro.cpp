// The macro page in the running program against the virtual mouse: a macro
// recorded from real key presses, with a delay typed into the delay box, bound
// to a button on the key definition page, lands in a macro slot of the mouse;
// renaming a macro renames its file and a name with a folder in it is refused.
#include "Pages8Support.h"

#include <QQmlProperty>

using namespace pages8;

namespace {

QQuickItem *macroItem(Program &p, const char *name)
{
    return p.item(QLatin1String(name), p.item(QStringLiteral("pageMacro")));
}

QQuickItem *keyItem(Program &p, const char *name)
{
    return p.item(QLatin1String(name), p.item(QStringLiteral("pageKeydefine")));
}

int modelCount(QQuickItem *page, const char *model)
{
    QObject *m = page->property(model).value<QObject *>();
    return m ? m->property("count").toInt() : -1;
}

QStringList macroLines(const QString &file)
{
    QSettings s(file, QSettings::IniFormat);
    QStringList out;
    const int total = s.value(QStringLiteral("config/total"), 0).toInt();
    for (int i = 0; i < total; ++i)
        out.append(s.value(QStringLiteral("macro/%1").arg(i)).toString());
    return out;
}

void clickRow(Program &p, QQuickItem *list, int row, Qt::MouseButton button = Qt::LeftButton)
{
    QQuickItem *r = nullptr;
    QTRY_VERIFY2_WITH_TIMEOUT((r = p.item(QStringLiteral("row%1").arg(row), list)) != nullptr,
                              qPrintable(list->objectName() + QStringLiteral(" row %1").arg(row)), 3000);
    const QPoint at = r->mapToScene(QPointF(20, r->height() / 2)).toPoint();
    QTest::mouseClick(p.view(), button, Qt::NoModifier, at);
}

// Renames file row `row` through the context menu and the list's name editor.
void renameRow(Program &p, int row, const QString &name)
{
    QQuickItem *files = macroItem(p, "macroFiles");
    PAGES7_DO(clickRow(p, files, row, Qt::RightButton));
    QQuickItem *menu = macroItem(p, "macroMenu");
    QTRY_VERIFY_WITH_TIMEOUT(menu->isVisible() && menu->opacity() == 1.0, 3000);
    PAGES7_DO(clickCentre(p, p.item(QStringLiteral("menuEntry2"), menu))); // RENAME
    QQuickItem *input = p.item(QStringLiteral("nameInput"), p.item(QStringLiteral("row%1").arg(row), files));
    QVERIFY(input);
    QTRY_VERIFY_WITH_TIMEOUT(input->hasActiveFocus() && !input->property("selectedText").toString().isEmpty(),
                             3000);
    QTest::keyClicks(p.view(), name);
    QTest::keyClick(p.view(), Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(files->property("editingIndex").toInt(), -1, 3000);
}

} // namespace

class tst_gui_pages8_macro : public QObject {
    Q_OBJECT

private slots:
    // A new macro is scrolled into view when the list is full.
    void newMacroScrollsIntoView()
    {
        Program p;
        QVERIFY(p.start("logo=0"));
        PAGES7_DO(openPage(p, 1, QStringLiteral("pageMacro")));
        QQuickItem *files = macroItem(p, "macroFiles");
        const int had = modelCount(p.item(QStringLiteral("pageMacro")), "md_MacroFile");
        for (int n = 0; n < 12; ++n) {
            PAGES7_DO(clickCentre(p, macroItem(p, "addMacro")));
            QTRY_COMPARE_WITH_TIMEOUT(modelCount(p.item(QStringLiteral("pageMacro")), "md_MacroFile"), had + n + 1, 3000);
            const int current = files->property("currentIndex").toInt();
            QTRY_VERIFY2_WITH_TIMEOUT(p.item(QStringLiteral("row%1").arg(current), files) &&
                                          sceneRect(files).contains(
                                              sceneRect(p.item(QStringLiteral("row%1").arg(current), files))),
                                      qPrintable(QStringLiteral("macro %1 out of view").arg(current)), 3000);
        }
    }

    void recordedMacroLandsInASlotOfTheMouse()
    {
        if (!KeyInput::available())
            QSKIP("needs an X display and xdotool");
        Program p;
        QVERIFY(p.start("logo=0"));
        KeyInput keys(p);
        PAGES7_DO(openPage(p, 1, QStringLiteral("pageMacro")));
        QQuickItem *page = p.item(QStringLiteral("pageMacro"));

        PAGES7_DO(clickCentre(p, macroItem(p, "addMacro")));
        QTRY_COMPARE_WITH_TIMEOUT(page->property("curMacroName").toString(), QStringLiteral("Macro. 001"),
                                  3000);
        const QString file = p.settingFile(QStringLiteral("../macro/Macro. 001.bin"));
        QVERIFY(QFileInfo::exists(file));

        PAGES7_DO(clickCentre(p, macroItem(p, "record")));
        QVERIFY(page->property("isRecordStart").toBool());
        QVERIFY(KeyInput::type(p, {QStringLiteral("a")}));
        QTRY_COMPARE_WITH_TIMEOUT(modelCount(page, "md_MacroActions"), 2, 5000);
        PAGES7_DO(clickCentre(p, macroItem(p, "stop")));
        QVERIFY(!page->property("isRecordStart").toBool());
        QCOMPARE(macroLines(file),
                 (QStringList{QStringLiteral("A    [Down]"), QStringLiteral("A      [Up]")}));

        // A 100 ms delay before the release.
        PAGES7_DO(clickRow(p, macroItem(p, "macroActions"), 1));
        QQuickItem *delay = macroItem(p, "delayInput");
        PAGES7_DO(clickCentre(p, delay));
        QTRY_VERIFY_WITH_TIMEOUT(delay->hasActiveFocus(), 3000);
        QTest::keyClick(p.view(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(p.view(), QStringLiteral("100"));
        QTest::keyClick(p.view(), Qt::Key_Return);
        QCOMPARE(page->property("delayValue").toInt(), 100);
        PAGES7_DO(clickCentre(p, macroItem(p, "addDelay")));
        QCOMPARE(macroLines(file),
                 (QStringList{QStringLiteral("A    [Down]"), QStringLiteral("100   [Delay]"),
                              QStringLiteral("A      [Up]")}));

        // Bind it to the DPI button (row 5) on the key definition page.
        PAGES7_DO(openPage(p, 0, QStringLiteral("pageKeydefine")));
        PAGES7_DO(chooseRow(p, keyItem(p, "buttonList"), 5));
        PAGES7_DO(chooseRow(p, keyItem(p, "functionMenu"), 4)); // MACRO
        int before = p.sent().size();
        PAGES7_DO(chooseRow(p, keyItem(p, "macroList"), 0));
        QList<SentCommand> upload;
        PAGES7_DO(waitFor(p, before, 0x13, 1, &upload, 128));
        QCOMPARE(upload.size(), 1);
        QCOMPARE(upload[0].frame[1], uchar(1)); // the first free slot, macro id 1
        QCOMPARE(upload[0].frame[2], uchar(0x80));
        QByteArray expected = bytesOf({0x00, 0x01, 0x0A, 0x04, 0x81, 0x04, 0x00, 0x00});
        expected.append(QByteArray(120, '\0'));
        QCOMPARE(upload[0].block.left(128), expected);
        QCOMPARE(iniText(file, QStringLiteral("config/index")), QStringLiteral("0"));
        QCOMPARE(iniText(file, QStringLiteral("config/repeat")), QStringLiteral("1"));
        QCOMPARE(iniText(file, QStringLiteral("config/did")), QStringLiteral("1"));

        // Apply puts the macro entry at the button's place.
        before = p.sent().size();
        PAGES7_DO(clickCentre(p, keyItem(p, "apply")));
        QList<SentCommand> matrix;
        PAGES7_DO(waitFor(p, before, 0x12, 1, &matrix, 64));
        QCOMPARE(matrix[0].block.mid(20, 4), bytesOf({0x09, 0x00, 0x01, 0x00}));
        QCOMPARE(iniList(p.profile(), QStringLiteral("keydefine_Z3/5")), (QList<int>{9, 0, 1, 0}));

        // Editing the bound macro sends it to its slot again, with the new repeat header.
        PAGES7_DO(openPage(p, 1, QStringLiteral("pageMacro")));
        QCOMPARE(page->property("curMacroName").toString(), QStringLiteral("Macro. 001"));
        before = p.sent().size();
        PAGES7_DO(clickRow(p, macroItem(p, "macroActions"), 1));
        PAGES7_DO(clickCentre(p, macroItem(p, "toolDelete")));
        PAGES7_DO(waitFor(p, before, 0x13, 1, &upload, 128));
        QCOMPARE(upload[0].frame[1], uchar(1));
        QCOMPARE(upload[0].block.left(8), bytesOf({0x00, 0x01, 0x01, 0x04, 0x81, 0x04, 0x00, 0x00}));
    }

    void renameAndRefuseANameWithAFolder()
    {
        Program p;
        QVERIFY(p.start("logo=0"));
        PAGES7_DO(openPage(p, 1, QStringLiteral("pageMacro")));
        QQuickItem *page = p.item(QStringLiteral("pageMacro"));
        PAGES7_DO(clickCentre(p, macroItem(p, "addMacro")));
        QTRY_COMPARE_WITH_TIMEOUT(page->property("curMacroName").toString(), QStringLiteral("Macro. 001"),
                                  3000);
        const QString folder = p.settingFile(QStringLiteral("../macro/"));

        PAGES7_DO(renameRow(p, 0, QStringLiteral("Burst")));
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("Burst.bin")));
        QVERIFY(!QFileInfo::exists(folder + QStringLiteral("Macro. 001.bin")));
        QCOMPARE(page->property("curMacroName").toString(), QStringLiteral("Burst"));

        PAGES7_DO(renameRow(p, 0, QStringLiteral("../Escaped")));
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("Burst.bin")));
        QVERIFY(!QFileInfo::exists(folder + QStringLiteral("../Escaped.bin")));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("Burst.bin")});
        QCOMPARE(modelCount(page, "md_MacroFile"), 1);
        QCOMPARE(QQmlProperty::read(macroItem(p, "macroFiles"), QStringLiteral("currentIndex")).toInt(), 0);
        QCOMPARE(page->property("curMacroName").toString(), QStringLiteral("Burst"));
    }
};

PAGES7_MAIN(tst_gui_pages8_macro)
#include "tst_gui_pages8_macro.moc"
