#pragma once
// Support for the sensor and lighting page scenarios. The program runs as it
// does with --virtual-device --wire-log (Z3_VIRTUAL_DEVICE configures the
// virtual mouse) in a real window, from a private copy of the working folder;
// the tests click the scene's items and read what reached the mouse from the
// wire log, unscrambled with the mouse's secrecy code, and what reached the
// profile file.

#include "FrameCipher.h"
#include "Options.h"
#include "SceneDriver.h"
#include "Widget.h"
#include "myQQuickView.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QQuickItem>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>
#include <QtTest>

#include <array>
#include <functional>
#include <memory>

// Runs a helper that may fail a check, and leaves the test function if it did.
#define PAGES7_DO(call)                                                                                      \
    do {                                                                                                     \
        call;                                                                                                \
        if (QTest::currentTestFailed())                                                                      \
            return;                                                                                          \
    } while (0)

// QTEST_MAIN on a private X server.
#define PAGES7_MAIN(TestObject)                                                                              \
    int main(int argc, char **argv)                                                                          \
    {                                                                                                        \
        pages7::PrivateDisplay display;                                                                      \
        QApplication app(argc, argv);                                                                        \
        TestObject tc;                                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }

namespace pages7 {

struct SentCommand {
    std::array<uchar, 8> frame{};
    QByteArray block; // the interrupt OUT reports after the frame, report IDs removed
    int line = 0;     // line of the frame in the log
    uchar code() const { return frame[0]; }
};

inline QByteArray hexBytes(const QString &text)
{
    QByteArray out;
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &p : parts) {
        bool ok = false;
        const uint v = p.toUInt(&ok, 16);
        if (!ok || v > 0xff)
            return {};
        out.append(char(v));
    }
    return out;
}

// Every command frame written to the mouse, in order. A frame line looks like
// "12.031 cmd feature-out 00 3a 91 0c 7d 55 02 e8 10".
inline QList<SentCommand> sentCommands(const QString &log, const char *sixDigitCode = "582604")
{
    std::array<uchar, 8> code{};
    for (int k = 0; k < 6; ++k)
        code[1 + k] = uchar(sixDigitCode[k]);
    QList<SentCommand> out;
    const QStringList lines = log.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList f = lines[i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (f.size() < 4 || f[1] != QLatin1String("cmd"))
            continue;
        const QByteArray bytes = hexBytes(f.mid(3).join(QLatin1Char(' ')));
        if (f[2] == QLatin1String("feature-out") && bytes.size() == 9) {
            SentCommand c;
            for (int k = 0; k < 8; ++k)
                c.frame[k] = uchar(bytes[1 + k]);
            FrameCipher::unscramble(c.frame.data(), code.data());
            c.line = i;
            out.append(c);
        } else if (f[2] == QLatin1String("out") && !out.isEmpty() && bytes.size() > 1) {
            out.last().block.append(bytes.mid(1));
        }
    }
    return out;
}

inline QList<SentCommand> withCode(const QList<SentCommand> &all, uchar code)
{
    QList<SentCommand> out;
    for (const SentCommand &c : all)
        if (c.code() == code)
            out.append(c);
    return out;
}

inline QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(uchar(v)));
    return out;
}

// A list value of an INI file as integers ("1, 2, 3").
inline QList<int> iniList(const QString &file, const QString &key)
{
    QSettings s(file, QSettings::IniFormat);
    QList<int> out;
    const QVariant v = s.value(key);
    const QStringList items = v.toStringList();
    for (const QString &item : items)
        out.append(item.trimmed().toInt());
    return out;
}

inline QString iniText(const QString &file, const QString &key)
{
    QSettings s(file, QSettings::IniFormat);
    return s.value(key).toString();
}

// An X server of this test program's own, started before the application
// object connects: clicks and key focus then cannot be taken by windows of
// other tests running beside it. Without Xvfb the given display is used.
class PrivateDisplay {
public:
    PrivateDisplay()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY") ||
            QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
            return;
        // The server picks a free display number itself (no race with other
        // servers starting) and writes it to its standard output; it ends by
        // itself once its last client has gone, even if this program is killed.
        m_server.start(QStringLiteral("Xvfb"),
                       {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-terminate"),
                        QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                        QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!m_server.waitForStarted(5000))
            return;
        QByteArray number;
        for (int waited = 0; waited < 15000 && !number.endsWith('\n'); waited += 100) {
            if (m_server.state() != QProcess::Running)
                break;
            m_server.waitForReadyRead(100);
            number += m_server.readAllStandardOutput();
        }
        bool ok = false;
        number.trimmed().toInt(&ok);
        if (ok && m_server.state() == QProcess::Running)
            qputenv("DISPLAY", ":" + number.trimmed());
    }
    ~PrivateDisplay()
    {
        if (m_server.state() == QProcess::NotRunning)
            return;
        m_server.terminate();
        if (!m_server.waitForFinished(5000)) {
            m_server.kill();
            m_server.waitForFinished(3000);
        }
    }
    PrivateDisplay(const PrivateDisplay &) = delete;
    PrivateDisplay &operator=(const PrivateDisplay &) = delete;

private:
    QProcess m_server;
};

// Shared with the scene scenarios.
using scenedriver::copyTree;
using scenedriver::findItem;

// One run of the program against the virtual mouse.
class Program {
public:
    // prepare: edits the working folder's files before the program starts.
    bool start(const QByteArray &virtualDevice, const std::function<void(const QString &dir)> &prepare = {})
    {
        if (!m_dir.isValid())
            return false;
        const QString modules = qEnvironmentVariable("Z3_MODULES_DIR");
        if (!QFileInfo(modules + QStringLiteral("/img/skin1/background.png")).exists()) {
            qWarning("build the z3_skins and z3_data targets first");
            return false;
        }
        if (!copyTree(modules, m_dir.filePath(QStringLiteral("modules"))))
            return false;
        {
            // Animations off: the scene settles within a few milliseconds.
            // Sound off: loading a click sound can dead-lock GStreamer on the
            // GUI thread now and then, which is not what these tests are about.
            QSettings ap(settingFile(QStringLiteral("apConfig.bin")), QSettings::IniFormat);
            ap.setValue(QStringLiteral("common/3"), 1);
            ap.setValue(QStringLiteral("common/2"), 1);
        }
        if (prepare)
            prepare(m_dir.path());
        m_oldCwd = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        qputenv("Z3_VIRTUAL_DEVICE", virtualDevice);
        Options options;
        options.virtualDevice = true;
        options.wireLog = m_dir.filePath(QStringLiteral("wire.log"));
        m_widget = std::make_unique<Widget>(nullptr, makeBackend(options));
        m_widget->checkDevice();
        m_widget->showNormal();
        myQQuickView *v = view();
        if (!v || !v->rootObject())
            return false;
        v->initUI();
        QCoreApplication::postEvent(m_widget.get(), new runUIEvent(runUIEvent::kTag));
        return true;
    }

    ~Program()
    {
        // Set commands still on the pool use the link the widget owns.
        QThreadPool::globalInstance()->waitForDone(5000);
        m_widget.reset();
        QThreadPool::globalInstance()->waitForDone(5000);
        if (!m_oldCwd.isEmpty())
            QDir::setCurrent(m_oldCwd);
    }

    myQQuickView *view() const { return m_widget ? m_widget->view() : nullptr; }
    QQuickItem *root() const { return view() ? view()->rootObject() : nullptr; }
    QQuickItem *item(const QString &name, QQuickItem *under = nullptr) const
    {
        return findItem(under ? under : root(), name);
    }
    QString settingFile(const QString &name) const
    {
        return m_dir.filePath(QStringLiteral("modules/setting/") + name);
    }
    QString profile() const { return settingFile(QStringLiteral("p1.bin")); }

    QString wireLog() const
    {
        QFile f(m_dir.filePath(QStringLiteral("wire.log")));
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }
    QList<SentCommand> sent() const { return sentCommands(wireLog()); }

    // The commands sent after the first `after` ones.
    QList<SentCommand> sentSince(int after) const { return sent().mid(after); }

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;
    std::unique_ptr<Widget> m_widget;
};

// A mouse click at a point of an item, through the view's real event path.
inline void clickAt(Program &p, QQuickItem *item, QPointF local)
{
    QVERIFY(item);
    const QPoint at = item->mapToScene(local).toPoint();
    QTest::mouseClick(p.view(), Qt::LeftButton, Qt::NoModifier, at);
}

inline void clickCentre(Program &p, QQuickItem *item)
{
    QVERIFY(item);
    clickAt(p, item, QPointF(item->width() / 2, item->height() / 2));
}

inline QRectF sceneRect(QQuickItem *item)
{
    return item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
}

// A click made by the X server at a point of an item, as the user's pointer
// makes it: a part of the scene that the window does not show cannot be hit.
inline void realClick(Program &p, QQuickItem *item, QPointF local)
{
    QVERIFY(item);
    const QPoint at = p.view()->mapToGlobal(item->mapToScene(local).toPoint());
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"),
                               {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                                QStringLiteral("click"), QStringLiteral("1")}),
             0);
}

// Waits for the opening sequence, then opens function page `index` (2 colour,
// 3 sensor) with its menu button and waits until it has slid in.
inline void openPage(Program &p, int index, const QString &pageName)
{
    QVERIFY(p.root());
    QTRY_VERIFY_WITH_TIMEOUT(p.root()->isVisible(), 10000);
    QQuickItem *fn = p.item(QStringLiteral("fnItem"));
    QVERIFY(fn);
    QTRY_COMPARE_WITH_TIMEOUT(fn->x(), 8.0, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(p.view()->isEnabled(), 5000);
    clickCentre(p, p.item(QStringLiteral("fnButton%1").arg(index)));
    QQuickItem *content = p.item(QStringLiteral("pageContent"));
    QVERIFY(content);
    QQuickItem *page = p.item(pageName);
    QVERIFY(page);
    QTRY_VERIFY_WITH_TIMEOUT(page->isVisible() && content->x() == 0.0, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(p.view()->isEnabled(), 5000);
}

// Waits until at least `count` commands with `code` have been sent after the
// first `after` commands, each followed by a block of at least `minBlock`
// bytes (the block goes out after the frame has been answered), and hands
// them out.
inline bool complete(const QList<SentCommand> &hits, int count, int minBlock)
{
    if (hits.size() < count)
        return false;
    for (const SentCommand &c : hits)
        if (c.block.size() < minBlock)
            return false;
    return true;
}

inline void waitFor(Program &p, int after, uchar code, int count, QList<SentCommand> *hits, int minBlock = 0)
{
    QTRY_VERIFY_WITH_TIMEOUT(complete(*hits = withCode(p.sentSince(after), code), count, minBlock), 5000);
}

} // namespace pages7
