// Where the program works: beside a writable copy, in a per-user seeded folder, or read-only.
#include "Files.h"
#include "Unwritable.h"
#include "WorkingFolder.h"

#include <QTemporaryDir>
#include <QtTest>

class tst_working_folder : public QObject {
    Q_OBJECT
private slots:
    void installedCopyIsSeededOnceIntoTheUserFolder()
    {
        QTemporaryDir root;
        const QString share = root.path() + u"/usr/share/z3config/modules"_s;
        for (const char *file :
             {"setting/pD.bin", "macro/Demo.bin", "i18n/lang_031000.ini", "img/skin1/a.png"})
            QVERIFY(writeFile(share + '/' + file, file));
        QVERIFY(QDir().mkpath(root.path() + u"/usr/bin"_s));
        const Unwritable locked({share});
        const QString home = root.path() + u"/home"_s;
        const QString work = WorkingFolder::prepare(root.path() + u"/usr/bin"_s, home).folder;
        QCOMPARE(work, home + u"/z3config"_s);
        // Settings and macros are the user's own, writable copies; assets are found in place.
        const auto at = [&](const char *file) { return work + u"/modules/"_s + file; };
        QVERIFY(writeFile(at("setting/p1.bin"), "mine"));
        QCOMPARE(fileBytes(at("macro/Demo.bin")), "macro/Demo.bin");
        QVERIFY(QFileInfo(at("i18n")).isSymLink());
        QCOMPARE(fileBytes(at("img/skin1/a.png")), "img/skin1/a.png");
        // Seeded once: what the user deleted or changed stays so.
        QVERIFY(QFile::remove(at("macro/Demo.bin")) && writeFile(at("setting/pD.bin"), "changed"));
        QCOMPARE(WorkingFolder::prepare(root.path() + u"/usr/bin"_s, home).folder, work);
        QVERIFY(!QFileInfo::exists(at("macro/Demo.bin")));
        QCOMPARE(fileBytes(at("setting/pD.bin")), "changed");
        QCOMPARE(fileBytes(at("setting/p1.bin")), "mine");
    }

    // Data that cannot be written is worked on in the user's folder, else shown read-only (the whole
    // locked folder in the real program: tst_gui_shell::readOnlyDataIsNotWorkedInPlace).
    void placeFollowsWhatCanBeWritten_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("locked"); // below the data's modules/; "-" nothing
        QTest::addColumn<QString>("home");   // "locked", "relative" or writable
        QTest::addColumn<QString>("place");  // "app", "home" or "data" (read-only)
        const auto row = [](const char *name, bool installed, const char *locked, const char *home,
                            const char *place) {
            QTest::newRow(name) << installed << QString(locked) << QString(home) << QString(place);
        };
        row("writable copy", false, "-", "", "app");
        row("copy, one profile locked", false, "setting/p1.bin", "", "home");
        row("copy, one macro locked", false, "macro/Demo.bin", "", "home");
        row("copy, home locked", false, "", "locked", "data");
        row("installed, home relative", true, "", "relative", "data");
    }
    void placeFollowsWhatCanBeWritten()
    {
        QFETCH(bool, installed);
        QFETCH(QString, locked);
        QFETCH(QString, home);
        QFETCH(QString, place);
        QTemporaryDir root;
        const QString app = root.path() + u"/usr/bin"_s;
        const QString data = installed ? root.path() + u"/usr/share/z3config"_s : app;
        for (const char *file : {"setting/p1.bin", "macro/Demo.bin", "i18n/lang_031000.ini"})
            QVERIFY(writeFile(data + u"/modules/"_s + file, file));
        QVERIFY(QDir().mkpath(app));
        QString dataHome = root.path() + u"/home"_s;
        QVERIFY(QDir().mkpath(dataHome));
        if (home == QLatin1String("relative"))
            dataHome = u"home"_s;
        QStringList lock;
        if (locked != QLatin1String("-"))
            lock << data + u"/modules/"_s + locked;
        if (home == QLatin1String("locked"))
            lock << dataHome;
        const Unwritable unwritable(lock);
        if (!unwritable.holds())
            QSKIP("this file system lets the tests write anywhere");
        const WorkingFolder::Place p = WorkingFolder::prepare(app, dataHome);
        QCOMPARE(p.readOnly, place == QLatin1String("data"));
        QCOMPARE(p.folder, place == QLatin1String("app")    ? app
                           : place == QLatin1String("home") ? dataHome + "/z3config"
                                                            : data);
        if (place == QLatin1String("home")) { // seeded from this copy's own data
            QVERIFY(WorkingFolder::isWritableModules(p.folder));
            QCOMPARE(fileBytes(p.folder + u"/modules/setting/p1.bin"_s), "setting/p1.bin");
            QCOMPARE(fileBytes(p.folder + u"/modules/i18n/lang_031000.ini"_s), "i18n/lang_031000.ini");
        }
    }

    void relativeDataHomeIsIgnored()
    {
        const QByteArray previous = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", "relative/data");
        const QString relative = WorkingFolder::userDataHome();
        qputenv("XDG_DATA_HOME", "/abs/data");
        const QString absolute = WorkingFolder::userDataHome();
        qputenv("XDG_DATA_HOME", previous);
        QCOMPARE(relative, QDir::homePath() + u"/.local/share"_s);
        QCOMPARE(absolute, u"/abs/data"_s);
    }
};

QTEST_GUILESS_MAIN(tst_working_folder)
#include "tst_working_folder.moc"
