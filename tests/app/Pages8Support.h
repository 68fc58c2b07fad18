#pragma once
// Support for the key definition and macro page scenarios: the program on the
// virtual mouse in a real window on an X server of its own (Pages7Support.h,
// PAGES7_MAIN), plus choosing rows of the page's drop-down lists with real
// clicks, real key presses through the X server (xdotool) and the program's
// key-event manager, and answers for the program's dialogs
// (Z3_SCRIPTED_DIALOGS).

#include "Pages7Support.h"
#include "hookMgr.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace pages8 {

using namespace pages7;

// Opens a drop-down list (DropdownList or FileListButton) by clicking its box,
// waits until `row` has slid fully into view, clicks it and waits until the
// list has closed.
inline void chooseRow(Program &p, QQuickItem *list, int row)
{
    QVERIFY(list);
    QTRY_VERIFY_WITH_TIMEOUT(list->isVisible(), 3000);
    QVERIFY2(!list->property("isOpened").toBool(), qPrintable(list->objectName()));
    clickAt(p, list, QPointF(list->width() / 2, list->height() / 2));
    QTRY_VERIFY_WITH_TIMEOUT(list->property("isOpened").toBool(), 3000);
    QQuickItem *drop = p.item(QStringLiteral("dropArea"), list);
    QVERIFY(drop);
    QQuickItem *rowItem = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((rowItem = p.item(QStringLiteral("row%1").arg(row), drop)) != nullptr, 3000);
    QTRY_VERIFY_WITH_TIMEOUT(sceneRect(drop).contains(sceneRect(rowItem)), 5000);
    clickCentre(p, rowItem);
    QTRY_VERIFY_WITH_TIMEOUT(!list->property("isOpened").toBool(), 3000);
}

// Key presses reach the scene as the program's own hook manager reports them.
class KeyInput {
public:
    explicit KeyInput(Program &p) : m_hooks(false)
    {
        m_hooks.setKeyboardCallback(&KeyInput::onKey, p.view());
        m_hooks.installHooks();
    }
    ~KeyInput() { m_hooks.removeHooks(); }

    static bool available()
    {
        return QGuiApplication::platformName() == QLatin1String("xcb") &&
               !QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty();
    }

    // Types keys (xdotool key names) into the program's focused window.
    static bool type(Program &p, const QStringList &keys)
    {
        QWidget *window = p.view()->window();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window))
            return false;
        for (const QString &k : keys)
            if (QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), k}) != 0)
                return false;
        return true;
    }

private:
    static void onKey(uchar usbCode, uchar isDown, void *view)
    {
        static_cast<myQQuickView *>(view)->onKeyboardEvent(usbCode, isDown != 0);
    }
    hookMgr m_hooks;
};

// Answers the program's dialogs from a script file, one answer per line;
// every dialog shown is logged to the file name + ".log".
class ScriptedDialogs {
public:
    explicit ScriptedDialogs(const QStringList &answers)
    {
        m_file.setAutoRemove(true);
        if (m_file.open()) {
            m_file.write(answers.join(QLatin1Char('\n')).toUtf8());
            m_file.flush();
        }
        qputenv("Z3_SCRIPTED_DIALOGS", m_file.fileName().toLocal8Bit());
    }
    ~ScriptedDialogs()
    {
        qunsetenv("Z3_SCRIPTED_DIALOGS");
        QFile::remove(m_file.fileName() + QStringLiteral(".log"));
    }
    void answer(const QStringList &answers)
    {
        QFile f(m_file.fileName());
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(answers.join(QLatin1Char('\n')).toUtf8());
    }
    // The dialogs shown so far, one "<kind>\t<title>\t<text>" line each.
    QStringList shown() const
    {
        QFile f(m_file.fileName() + QStringLiteral(".log"));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    QTemporaryFile m_file;
};

} // namespace pages8
