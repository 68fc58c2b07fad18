// The keyboard settings slots of the view against the virtual keyboard: what
// the profile keeps, what goes on the wire, and what only the profile answers.

#include "bridges_ViewRig.h"

#include <QApplication>
#include <QTest>

namespace {

QVariantList counting(int n, int seed)
{
    QVariantList list;
    for (int i = 0; i < n; ++i)
        list.append((seed + i * 3) & 0xFF);
    return list;
}

QByteArray bytesOf(const QVariantList &list)
{
    QByteArray out;
    for (const QVariant &v : list)
        out.append(char(uchar(v.toInt())));
    return out;
}

} // namespace

class KeyboardBridgeTest : public QObject {
    Q_OBJECT
private slots:
    void settingsAreStoredAndSent()
    {
        BridgesViewRig rig(BridgesViewRig::Link::VirtualKeyboard);
        myQQuickView &view = *rig.view;
        const QVariantList matrix = counting(512, 4);
        QVariantList picture = counting(512, 1);
        picture[0] = 0x1FE; // low 8 bits go to the device
        view.ui_08H_SetLEDType(2, 5, 3, 7, 1, 0);
        view.ui_0DH_SetKeyMatrix(matrix);
        view.ui_12H_SetUserPicture(2, 1, picture);
        view.ui_0EH_SetKeyOnOff(bridgesList({1, 2, 3, 0x104}));
        view.ui_14H_SetColor(3, 10, 200, 30);
        view.ui_12H_SetUserPicture(3, 0xFF, counting(512, 9)); // kept, not sent
        QVERIFY(rig.waitFrames(5));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(rig.dev->received().at(0).frame.data()), 7),
                 bridgesBytes({0x08, 2, 5, 3, 7, 1, 0}));
        QCOMPARE(rig.dev->keyMatrix(), bytesOf(matrix)); // no reordering, last 8 bytes too
        QCOMPARE(bridgesInts(rig.stored("keydefine/125")), bridgesInts(matrix.mid(500, 4)));
        QVERIFY(!rig.isStored("keydefine/126") && !rig.isStored("keydefine_Z3/0"));
        QCOMPARE(rig.dev->userPicture(2), bytesOf(picture));
        QCOMPARE(rig.dev->keyOnOff(), bridgesBytes({1, 2, 3, 4}) + QByteArray(17, '\0'));
        QCOMPARE(bridgesInts(rig.stored("color/3")), QList<int>({10, 200, 30}));
        QVERIFY(rig.waitIdle());
        const auto &frames = rig.dev->received();
        QCOMPARE(std::count_if(frames.cbegin(), frames.cend(), [](const auto &r) { return r.frame[0] == 0x12; }), 1);

        // The colour, the LED look and the pictures are answered from the profile only.
        rig.dev->clearReceived();
        QCOMPARE(bridgesInts(view.ui_94H_GetColor(3)), QList<int>({10, 200, 30}));
        QCOMPARE(bridgesInts(view.ui_88H_GetLEDType()), QList<int>({5, 3, 7, 1, 0}));
        QCOMPARE(bytesOf(view.ui_92H_GetUserPicture(3)), bytesOf(counting(512, 9)));
        QVERIFY(view.ui_92H_GetUserPicture(4).isEmpty());
        QVERIFY(rig.dev->received().isEmpty());
        QCOMPARE(bytesOf(view.ui_8DH_GetKeyMatrix()), bytesOf(matrix));
    }

    void keydefineFollowsTheCurrentDevice()
    {
        BridgesViewRig rig(BridgesViewRig::Link::VirtualKeyboard);
        rig.view->ui_0DH_SetKeyMatrix(counting(512, 0));
        rig.view->ui_12H_SetKeyMatrix(counting(64, 100));
        QVERIFY(rig.waitIdle());
        QCOMPARE(bridgesInts(rig.view->getKeydefine(QVariant(5))), bridgesInts(counting(64, 100).mid(20, 4)));
        rig.hid.swichCurDevice(0);
        QVERIFY(rig.waitIdle());
        QCOMPARE(bridgesInts(rig.view->getKeydefine(QVariant(QStringLiteral("125")))),
                 bridgesInts(counting(512, 0).mid(500, 4)));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    KeyboardBridgeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_keyboardbridge.moc"
