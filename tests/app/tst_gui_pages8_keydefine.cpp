// The key definition page in the running program against the virtual mouse,
// driven with real clicks and key presses: a media key reaches the mouse's key
// matrix in the device's order and the profile in the page's order; typed keys
// fill the key boxes (backslash, which has no name on the page, still counts);
// taking the last left click away asks first and a refusal leaves the button
// as it was.
#include "Pages8Support.h"

using namespace pages8;

namespace {

QQuickItem *pageItem(Program &p, const char *name)
{
    return p.item(QLatin1String(name), p.item(QStringLiteral("pageKeydefine")));
}

QList<QList<int>> profileEntries(const QString &profile)
{
    QList<QList<int>> out;
    for (int k = 0; k < 16; ++k)
        out.append(iniList(profile, QStringLiteral("keydefine_Z3/%1").arg(k)));
    return out;
}

QByteArray deviceOrder(const QList<QList<int>> &entries)
{
    static const int order[16] = {0, 1, 2, 4, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 14};
    QByteArray out;
    for (int k : order)
        for (int b : entries[k])
            out.append(char(uchar(b)));
    return out;
}

} // namespace

class tst_gui_pages8_keydefine : public QObject {
    Q_OBJECT

private slots:
    // The fire key's mouse drop-down and key box take the same place, in the
    // column of the other fire controls, whichever type is chosen.
    void fireKeyControlsKeepTheirPlace()
    {
        Program p;
        QVERIFY(p.start("logo=0"));
        PAGES7_DO(openPage(p, 0, QStringLiteral("pageKeydefine")));
        PAGES7_DO(chooseRow(p, pageItem(p, "buttonList"), 3));
        PAGES7_DO(chooseRow(p, pageItem(p, "functionMenu"), 5)); // FIRE
        QQuickItem *mouse = pageItem(p, "fireMouseMenu");
        QQuickItem *key = pageItem(p, "fireKey");
        QTRY_VERIFY_WITH_TIMEOUT(mouse->isVisible(), 3000);
        const QPointF place = sceneRect(mouse).topLeft();
        QCOMPARE(place.x(), sceneRect(pageItem(p, "fireSpeed")).x());
        PAGES7_DO(clickCentre(p, pageItem(p, "fireTypeKey")));
        QTRY_VERIFY_WITH_TIMEOUT(key->isVisible() && !mouse->isVisible(), 3000);
        QCOMPARE(sceneRect(key).topLeft(), place);
        PAGES7_DO(clickCentre(p, pageItem(p, "fireTypeMouse")));
        QTRY_VERIFY_WITH_TIMEOUT(mouse->isVisible(), 3000);
        QCOMPARE(sceneRect(mouse).topLeft(), place);
    }

    void mediaKeyReachesTheMouseInDeviceOrder()
    {
        Program p;
        QVERIFY(p.start("logo=0"));
        PAGES7_DO(openPage(p, 0, QStringLiteral("pageKeydefine")));
        QQuickItem *page = p.item(QStringLiteral("pageKeydefine"));
        const QList<QList<int>> before = profileEntries(p.profile());

        // English layout: rows 0..4 are buttons 0..4; row 3 is FORWARD BUTTON.
        PAGES7_DO(chooseRow(p, pageItem(p, "buttonList"), 3));
        QCOMPARE(page->property("selectedId").toInt(), 3);
        PAGES7_DO(chooseRow(p, pageItem(p, "functionMenu"), 2)); // MEDIA
        PAGES7_DO(chooseRow(p, pageItem(p, "mediaMenu"), 4));    // MUTE
        QCOMPARE(pageItem(p, "mediaMenu")->property("currentText").toString(), QStringLiteral("MUTE"));

        const int sentBefore = p.sent().size();
        QVERIFY2(withCode(p.sent(), 0x12).isEmpty(), "nothing goes to the mouse before apply");
        PAGES7_DO(clickCentre(p, pageItem(p, "apply")));
        QList<SentCommand> matrix;
        PAGES7_DO(waitFor(p, sentBefore, 0x12, 1, &matrix, 64));
        QCOMPARE(matrix.size(), 1);
        QCOMPARE(matrix[0].frame[1], uchar(0x01));
        QCOMPARE(matrix[0].frame[2], uchar(0x40));
        QCOMPARE(matrix[0].frame[7], FrameCipher::checksum(matrix[0].frame.data()));

        // The scroll direction is written first (03H), then the matrix.
        const QList<SentCommand> after = p.sentSince(sentBefore);
        QVERIFY(!withCode(after, 0x03).isEmpty());
        QVERIFY(withCode(after, 0x03)[0].line < matrix[0].line);

        QList<QList<int>> expected = before;
        expected[3] = {0x03, 0x00, 0xE2, 0x00};
        const QList<QList<int>> stored = profileEntries(p.profile());
        QCOMPARE(stored, expected);
        const QByteArray block = matrix[0].block.left(64);
        QCOMPARE(block, deviceOrder(expected));
        QCOMPARE(block.mid(16, 4), bytesOf({0x03, 0x00, 0xE2, 0x00}));
        QCOMPARE(block.mid(12, 4), bytesOf({expected[4][0], expected[4][1], expected[4][2], expected[4][3]}));
    }

    void typedKeysFillTheKeyBoxes()
    {
        if (!KeyInput::available())
            QSKIP("needs an X display and xdotool");
        Program p;
        QVERIFY(p.start("logo=0"));
        KeyInput keys(p);
        PAGES7_DO(openPage(p, 0, QStringLiteral("pageKeydefine")));

        // MIDDLE BUTTON gets the backslash key, whose code has no name on the page.
        PAGES7_DO(chooseRow(p, pageItem(p, "buttonList"), 2));
        PAGES7_DO(chooseRow(p, pageItem(p, "functionMenu"), 0)); // KEYBOARD
        QQuickItem *box = pageItem(p, "keyboardKey");
        PAGES7_DO(clickCentre(p, box));
        QVERIFY(box->property("isSelect").toBool());
        QVERIFY(KeyInput::type(p, {QStringLiteral("backslash")}));
        QTRY_VERIFY_WITH_TIMEOUT(!box->property("isSelect").toBool(), 5000);
        QCOMPARE(p.item(QStringLiteral("keyText"), box)->property("text").toString(),
                 QStringLiteral("KEY【 PRESS ANY 】"));

        // DPI BUTTON gets L Ctrl + B.
        PAGES7_DO(chooseRow(p, pageItem(p, "buttonList"), 5));
        PAGES7_DO(chooseRow(p, pageItem(p, "functionMenu"), 3)); // COMBO KEY
        PAGES7_DO(chooseRow(p, pageItem(p, "modifierMenu"), 1)); // L Ctrl
        QQuickItem *first = pageItem(p, "comboKey1");
        PAGES7_DO(clickCentre(p, first));
        QVERIFY(KeyInput::type(p, {QStringLiteral("b")}));
        QTRY_COMPARE_WITH_TIMEOUT(p.item(QStringLiteral("keyText"), first)->property("text").toString(),
                                  QStringLiteral("KEY 【 B 】"), 5000);

        const int sentBefore = p.sent().size();
        PAGES7_DO(clickCentre(p, pageItem(p, "apply")));
        QList<SentCommand> matrix;
        PAGES7_DO(waitFor(p, sentBefore, 0x12, 1, &matrix, 64));
        QCOMPARE(matrix[0].block.mid(8, 4), bytesOf({0x00, 0x00, 0x31, 0x00}));
        QCOMPARE(matrix[0].block.mid(20, 4), bytesOf({0x00, 0x01, 0x05, 0x00}));
        QCOMPARE(iniList(p.profile(), QStringLiteral("keydefine_Z3/2")), (QList<int>{0, 0, 0x31, 0}));
        QCOMPARE(iniList(p.profile(), QStringLiteral("keydefine_Z3/5")), (QList<int>{0, 1, 5, 0}));
    }

    void takingTheLastLeftClickAsksFirst()
    {
        ScriptedDialogs dialogs({QStringLiteral("cancel")});
        Program p;
        QVERIFY(p.start("logo=0"));
        PAGES7_DO(openPage(p, 0, QStringLiteral("pageKeydefine")));
        QQuickItem *page = p.item(QStringLiteral("pageKeydefine"));
        QQuickItem *functions = pageItem(p, "functionMenu");

        PAGES7_DO(chooseRow(p, pageItem(p, "buttonList"), 0)); // LEFT BUTTON
        QCOMPARE(page->property("selectedId").toInt(), 0);
        QCOMPARE(functions->property("currentText").toString(), QStringLiteral("MOUSE"));
        PAGES7_DO(chooseRow(p, functions, 0)); // KEYBOARD
        QCOMPARE(dialogs.shown().size(), 1);
        QVERIFY(dialogs.shown()[0].startsWith(QStringLiteral("question\t")));
        QCOMPARE(functions->property("currentText").toString(), QStringLiteral("MOUSE"));

        // A second left button: nobody is asked.
        PAGES7_DO(chooseRow(p, pageItem(p, "buttonList"), 1));
        PAGES7_DO(chooseRow(p, pageItem(p, "mouseMenu"), 0)); // LEFT
        PAGES7_DO(chooseRow(p, pageItem(p, "buttonList"), 0));
        PAGES7_DO(chooseRow(p, pageItem(p, "mouseMenu"), 2)); // MIDDLE
        QCOMPARE(dialogs.shown().size(), 1);

        // Button 1 is now the last left click: refused, then confirmed.
        PAGES7_DO(chooseRow(p, pageItem(p, "buttonList"), 1));
        PAGES7_DO(chooseRow(p, pageItem(p, "mouseMenu"), 1)); // RIGHT, refused
        QCOMPARE(dialogs.shown().size(), 2);
        QCOMPARE(pageItem(p, "mouseMenu")->property("currentText").toString(), QStringLiteral("LEFT"));
        dialogs.answer({QStringLiteral("ok")});
        PAGES7_DO(chooseRow(p, pageItem(p, "mouseMenu"), 1)); // RIGHT, confirmed
        QCOMPARE(dialogs.shown().size(), 3);

        const int sentBefore = p.sent().size();
        PAGES7_DO(clickCentre(p, pageItem(p, "apply")));
        QList<SentCommand> matrix;
        PAGES7_DO(waitFor(p, sentBefore, 0x12, 1, &matrix, 64));
        QCOMPARE(matrix[0].block.left(8), bytesOf({0x01, 0x00, 0xF2, 0x00, 0x01, 0x00, 0xF1, 0x00}));
        QCOMPARE(iniList(p.profile(), QStringLiteral("keydefine_Z3/0")), (QList<int>{1, 0, 0xF2, 0}));
    }
};

PAGES7_MAIN(tst_gui_pages8_keydefine)
#include "tst_gui_pages8_keydefine.moc"
