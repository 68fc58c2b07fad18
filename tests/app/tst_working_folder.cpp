// Where the program works: beside a build tree or writable portable copy, in
// a per-user folder seeded from a read-only or installed copy, or read-only
// from its data when nothing can be written.

#include "Unwritable.h"
#include "WorkingFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void makeReadOnly(const QString &dir)
{
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
}

} // namespace

class tst_working_folder : public QObject {
    Q_OBJECT
private slots:
    void portableCopyWorksBesideTheProgram()
    {
        QTemporaryDir root;
        const QString app = root.path() + QStringLiteral("/portable");
        QVERIFY(writeFile(app + QStringLiteral("/modules/setting/p1.bin"), "[a]\n"));
        const WorkingFolder::Place place = WorkingFolder::prepare(app, root.path() + QStringLiteral("/home"));
        QCOMPARE(place.folder, app);
        QVERIFY(!place.readOnly);
        QVERIFY(!QFileInfo::exists(root.path() + QStringLiteral("/home/z3config")));
    }

    void installedCopyIsSeededOnceIntoTheUserFolder()
    {
        QTemporaryDir root;
        const QString prefix = root.path() + QStringLiteral("/usr");
        const QString share = prefix + QStringLiteral("/share/z3config/modules");
        QVERIFY(writeFile(share + QStringLiteral("/setting/apConfigD.bin"), "[common]\nname=Z3\n"));
        QVERIFY(writeFile(share + QStringLiteral("/setting/pD.bin"), "[sensor]\n"));
        QVERIFY(writeFile(share + QStringLiteral("/macro/Demo.bin"), "[macro]\n"));
        QVERIFY(writeFile(share + QStringLiteral("/i18n/lang_031000.ini"), "[msg]\n"));
        QVERIFY(writeFile(share + QStringLiteral("/media/01.wav"), "RIFF"));
        QVERIFY(QDir().mkpath(share + QStringLiteral("/img/skin1")));
        QVERIFY(QDir().mkpath(prefix + QStringLiteral("/bin")));
        for (const char *d : {"setting", "macro", "i18n", "media", "img"})
            makeReadOnly(share + QLatin1Char('/') + QLatin1String(d));
        makeReadOnly(share);

        const QString home = root.path() + QStringLiteral("/home");
        const QString work = WorkingFolder::prepare(prefix + QStringLiteral("/bin"), home).folder;
        QCOMPARE(work, home + QStringLiteral("/z3config"));
        const QString modules = work + QStringLiteral("/modules");
        // Settings and macros are the user's own, writable copies.
        QCOMPARE(readFile(modules + QStringLiteral("/setting/pD.bin")), QByteArray("[sensor]\n"));
        QVERIFY(QFileInfo(modules + QStringLiteral("/setting")).isWritable());
        QVERIFY(QFileInfo(modules + QStringLiteral("/setting/pD.bin")).isWritable());
        QVERIFY(writeFile(modules + QStringLiteral("/setting/p1.bin"), "[mine]\n"));
        QCOMPARE(readFile(modules + QStringLiteral("/macro/Demo.bin")), QByteArray("[macro]\n"));
        // Assets are found in place.
        QVERIFY(QFileInfo(modules + QStringLiteral("/i18n")).isSymLink());
        QCOMPARE(readFile(modules + QStringLiteral("/i18n/lang_031000.ini")), QByteArray("[msg]\n"));
        QVERIFY(QFileInfo(modules + QStringLiteral("/img/skin1")).isDir());

        // Seeded once: what the user deleted or changed stays so.
        QVERIFY(QFile::remove(modules + QStringLiteral("/macro/Demo.bin")));
        QVERIFY(writeFile(modules + QStringLiteral("/setting/pD.bin"), "[changed]\n"));
        QCOMPARE(WorkingFolder::prepare(prefix + QStringLiteral("/bin"), home).folder, work);
        QVERIFY(!QFileInfo::exists(modules + QStringLiteral("/macro/Demo.bin")));
        QCOMPARE(readFile(modules + QStringLiteral("/setting/pD.bin")), QByteArray("[changed]\n"));
        QCOMPARE(readFile(modules + QStringLiteral("/setting/p1.bin")), QByteArray("[mine]\n"));

        for (const char *d : {"setting", "macro", "i18n", "media", "img", ""})
            QFile::setPermissions(share + QLatin1Char('/') + QLatin1String(d),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void withoutAnyDataItStaysBesideTheProgram()
    {
        QTemporaryDir root;
        const QString app = root.path() + QStringLiteral("/bin");
        QVERIFY(QDir().mkpath(app));
        QCOMPARE(WorkingFolder::prepare(app, root.path() + QStringLiteral("/home")).folder, app);
    }

    // A copy whose data cannot be written (unpacked by root, read-only
    // media, files of mode 0444) is worked on in the user's own folder;
    // with no writable place at all, the data is shown read-only.
    void readOnlyDataIsNeverWorkedInPlace_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("locked"); // below the data's modules/
        QTest::addColumn<QString>("home");   // "locked", "relative" or writable
        QTest::newRow("copy, modules locked") << false << "" << "";
        QTest::newRow("copy, one profile locked") << false << "setting/p1.bin" << "";
        QTest::newRow("copy, one macro locked") << false << "macro/Demo.bin" << "";
        QTest::newRow("copy, home locked") << false << "" << "locked";
        QTest::newRow("installed, home locked") << true << "" << "locked";
        QTest::newRow("installed, home relative") << true << "" << "relative";
    }

    void readOnlyDataIsNeverWorkedInPlace()
    {
        QFETCH(bool, installed);
        QFETCH(QString, locked);
        QFETCH(QString, home);
        QTemporaryDir root;
        const QString app = root.path() + QStringLiteral("/usr/bin");
        const QString data =
            installed ? root.path() + QStringLiteral("/usr/share/z3config") : app;
        QVERIFY(writeFile(data + QStringLiteral("/modules/setting/p1.bin"), "[sensor]\n"));
        QVERIFY(writeFile(data + QStringLiteral("/modules/macro/Demo.bin"), "[macro]\n"));
        QVERIFY(writeFile(data + QStringLiteral("/modules/i18n/lang_031000.ini"), "[msg]\n"));
        QVERIFY(QDir().mkpath(app));
        QString dataHome = root.path() + QStringLiteral("/home");
        QVERIFY(QDir().mkpath(dataHome));
        if (home == QLatin1String("relative"))
            dataHome = QStringLiteral("home");
        QStringList lock{data + QStringLiteral("/modules/") + locked};
        if (home == QLatin1String("locked"))
            lock << dataHome;
        const Unwritable unwritable(lock);
        if (!unwritable.holds())
            QSKIP("this file system lets the tests write anywhere");

        const WorkingFolder::Place place = WorkingFolder::prepare(app, dataHome);
        if (home.isEmpty()) {
            QCOMPARE(place.folder, dataHome + QStringLiteral("/z3config"));
            QVERIFY(!place.readOnly);
            QVERIFY(WorkingFolder::isWritableModules(place.folder));
            // Seeded from this copy's own data.
            QCOMPARE(readFile(place.folder + QStringLiteral("/modules/setting/p1.bin")),
                     QByteArray("[sensor]\n"));
            QCOMPARE(readFile(place.folder + QStringLiteral("/modules/i18n/lang_031000.ini")),
                     QByteArray("[msg]\n"));
        } else {
            // The data itself, so the window still shows its artwork and texts.
            QCOMPARE(place.folder, data);
            QVERIFY(place.readOnly);
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
        QCOMPARE(relative, QDir::homePath() + QStringLiteral("/.local/share"));
        QCOMPARE(absolute, QStringLiteral("/abs/data"));
    }
};

QTEST_GUILESS_MAIN(tst_working_folder)
#include "tst_working_folder.moc"
