// Profile slots on disk: export, import and reset as whole-file copies that
// never lose the old file, the background writer's atomic rewrite, the page
// defaults read from the default profile, and the view's import/reset
// swapping the current slot's store.

#include "ProfileStore.h"
#include "myQQuickView.h"
#include "stores_WorkFolder.h"

#include <QCoreApplication>
#include <QTest>

class TestProfileStore : public QObject {
    Q_OBJECT

private slots:
    void copiesReplaceWholeSlotFilesOrKeepTheOldOne()
    {
        StoresWorkFolder work;
        const ProfileStore store;
        for (int slot = 0; slot < ProfileStore::kSlotCount; ++slot) // a wrong slot shows
            QVERIFY(storesWriteAll(store.slotPath(slot), "[s]\nn=" + QByteArray::number(slot) + "\n"));
        const QString target = work.file(QStringLiteral("exported.pf"));
        QVERIFY(storesWriteAll(target, "old export"));
        QVERIFY(store.exportSlot(9, target));
        QCOMPARE(storesReadAll(target), QByteArray("[s]\nn=9\n"));
        QVERIFY(storesWriteAll(target, "[s]\nn=imported\n"));
        QVERIFY(store.importSlot(3, target));
        QCOMPARE(storesReadAll(work.file(QStringLiteral("modules/setting/p4.bin"))), QByteArray("[s]\nn=imported\n"));
        // A reset is an exact copy of the default, keys of the other device included.
        const QByteArray defaults = storesReadAll(store.defaultPath()) + "\n[color]\nledType=1, 2, 3, 4, 5\n";
        QVERIFY(storesWriteAll(store.defaultPath(), defaults));
        QVERIFY(store.resetSlot(3));
        QCOMPARE(storesReadAll(store.slotPath(3)), defaults);
        QCOMPARE(storesReadAll(store.slotPath(2)), QByteArray("[s]\nn=2\n"));

        // Failures keep every file as it was.
        QVERIFY(!store.importSlot(0, work.file(QStringLiteral("missing.pf"))));
        QVERIFY(!store.exportSlot(0, work.file(QStringLiteral("no/such/folder/x.pf"))));
        QVERIFY(QFile::remove(store.defaultPath()) && QFile::remove(store.slotPath(4)));
        QVERIFY(!store.resetSlot(0));
        QVERIFY(!store.exportSlot(4, target));
        for (int slot : {-1, 10})
            QVERIFY(!store.importSlot(slot, target) && !store.resetSlot(slot) && !store.exportSlot(slot, target));
        QCOMPARE(storesReadAll(store.slotPath(0)), QByteArray("[s]\nn=0\n"));
        QCOMPARE(storesReadAll(target), QByteArray("[s]\nn=imported\n"));
        QCOMPARE(QDir(work.file(QStringLiteral("modules/setting"))).entryList(QDir::Files).size(), 11);
        QVERIFY(!QFileInfo::exists(work.file(QStringLiteral("no"))));
    }

    void writerRewritesTheWholeFile()
    {
        StoresWorkFolder work(false);
        const QString path = work.file(QStringLiteral("p1.bin"));
        QVERIFY(storesWriteAll(path, "[old]\ngone=1\n"));
        QMap<QString, QVariant> values{{QStringLiteral("sensor/stage_Z3"), 6},
                                       {QStringLiteral("keydefine_Z3/3"), QVariantList{1, 0, 0xF2, 0}}};
        QVERIFY(ProfileWriter::write(path, values));
        QCOMPARE(storesReadAll(path), QByteArray("[keydefine_Z3]\n3=1, 0, 242, 0\n\n[sensor]\nstage_Z3=6\n"));
        QCOMPARE(QDir(work.path()).entryList(QDir::Files), QStringList{QStringLiteral("p1.bin")});
        // A folder that cannot exist (a file stands in its way) is reported.
        QVERIFY(!ProfileWriter::write(path + QStringLiteral("/p2.bin"), values));
        QCOMPARE(QDir(work.path()).entryList(QDir::Files), QStringList{QStringLiteral("p1.bin")});
    }

    void defaultsPerPage()
    {
        StoresWorkFolder work(false);
        const QString pd = work.file(QStringLiteral("pd.bin"));
        QCOMPARE(ProfileStore::loadDefaultProfile(pd, 3), (QVariantList{2, 5, 2, 5, 2})); // no file: integers only
        QVERIFY(ProfileStore::loadDefaultProfile(pd, 0).isEmpty());
        QVERIFY(!QFileInfo::exists(pd)); // reading never creates the default profile
        QByteArray text = "[color_Z3]\nledEffect=9, 3, 6\ntype0=1, 2\ntype1=31\ntype2=7\n"
                          "[sensor]\ndpi_Z3=250, 500\nstage_Z3=4\n[keydefine_Z3]\n";
        for (int n = 0; n < 16; ++n) // a missing list (7) contributes nothing
            text += n == 7 ? QByteArray() : QStringLiteral("%1=%1, 0, %2, 0\n").arg(n).arg(100 + n).toLatin1();
        QVERIFY(storesWriteAll(pd, text));
        const QVariantList keys = ProfileStore::loadDefaultProfile(pd, 0);
        QCOMPARE(keys.size(), 60);
        QCOMPARE(keys.at(4 * 6 + 2).toString(), QStringLiteral("106"));
        QCOMPARE(keys.at(4 * 7 + 2).toString(), QStringLiteral("108")); // 8 follows 6 directly
        QCOMPARE(ProfileStore::loadDefaultProfile(pd, 2), (QVariantList{"1", "2", "9", "3", "6"}));
        QCOMPARE(ProfileStore::loadDefaultProfile(pd, 3), (QVariantList{2, 5, 2, 5, "250", "500", 4, "31", "7"}));
        QVERIFY(ProfileStore::loadDefaultProfile(pd, 1).isEmpty());
    }

    void viewImportAndResetSwapTheCurrentStore()
    {
        StoresWorkFolder work;
        ScriptedDialogs dialogs;
        myQQuickView view;
        const QString p1 = work.file(QStringLiteral("modules/setting/p1.bin"));
        QVERIFY(storesWriteAll(work.file(QStringLiteral("in.pf")), "[sensor]\nstage_Z3=6\n"));
        dialogs.answer({work.file(QStringLiteral("in.pf"))});
        view.loadProfile(0);
        QCOMPARE(view.profileValue(QStringLiteral("sensor/stage_Z3")).toInt(), 6);
        QVERIFY(!view.profileValue(QStringLiteral("color_Z3/type0")).isValid()); // nothing of the old slot
        // The released store does not write its old view back.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        view.profileWrite(QStringLiteral("sensor/reportRate_Z3"), 4);
        view.flushProfiles();
        const QByteArray written = storesReadAll(p1);
        QCOMPARE(written, QByteArray("[sensor]\nreportRate_Z3=4\nstage_Z3=6\n"));

        // A failed import or reset keeps the store and the file.
        QSettings *store = view.currentProfile();
        dialogs.answer({work.file(QStringLiteral("vanished.pf"))});
        view.loadProfile(0);
        QVERIFY(QFile::remove(work.file(QStringLiteral("modules/setting/pD.bin"))));
        view.resetProfile(0);
        QCOMPARE(view.currentProfile(), store);
        QCOMPARE(view.profileValue(QStringLiteral("sensor/stage_Z3")).toInt(), 6);
        QCOMPARE(storesReadAll(p1), written);
    }
};

QTEST_MAIN(TestProfileStore)
#include "tst_profilestore.moc"
