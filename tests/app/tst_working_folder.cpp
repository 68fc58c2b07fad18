// Where the program works: beside a build tree or portable copy, or in a
// per-user folder seeded from an installed copy.

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
        QCOMPARE(WorkingFolder::prepare(app, root.path() + QStringLiteral("/home")), app);
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
        const QString work = WorkingFolder::prepare(prefix + QStringLiteral("/bin"), home);
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
        QCOMPARE(WorkingFolder::prepare(prefix + QStringLiteral("/bin"), home), work);
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
        QCOMPARE(WorkingFolder::prepare(app, root.path() + QStringLiteral("/home")), app);
    }
};

QTEST_GUILESS_MAIN(tst_working_folder)
#include "tst_working_folder.moc"
