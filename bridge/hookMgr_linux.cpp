#include "hookMgr.h"

#include "KeyTables.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#ifdef Z3_HAVE_X11
#include <QtGui/qguiapplication_platform.h>
#endif

// Linux: an application-wide event filter. Keys and buttons are seen while
// one of the program's windows has focus; we never read /dev/input, so
// nothing is logged system-wide.

namespace {
// X11 (xcb) and Wayland hand out the evdev code + 8 as the native scan code.
constexpr quint32 kXkbKeycodeOffset = 8;
constexpr uchar kCodeLeft = 0xF0;
constexpr uchar kCodeRight = 0xF1;
constexpr uchar kCodeMiddle = 0xF2;

uchar buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return kCodeLeft;
    case Qt::RightButton:
        return kCodeRight;
    case Qt::MiddleButton:
        return kCodeMiddle;
    default:
        return 0; // side buttons are not reported
    }
}

void askForPressOnlyRepeats(); // at the end: Xlib's macros clash with Qt's names
} // namespace

bool hookMgr::installHooks()
{
    if (m_installed)
        removeHooks();
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return false;
    app->installEventFilter(this);
    askForPressOnlyRepeats();
    // A key let go while another program has the focus is never seen here.
    if (qGuiApp)
        connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state != Qt::ApplicationActive)
                releaseAllKeys();
        });
    m_installed = true;
    return true;
}

void hookMgr::removeHooks()
{
    if (m_installed) {
        if (QCoreApplication *app = QCoreApplication::instance())
            app->removeEventFilter(this);
        if (qGuiApp)
            disconnect(qGuiApp, &QGuiApplication::applicationStateChanged, this, nullptr);
    }
    m_installed = false;
}

bool hookMgr::eventFilter(QObject *watched, QEvent *event)
{
    // Each window-system event reaches its window once as a spontaneous event;
    // the copies Qt forwards to widgets (and QQuickWidget to its scene) are not
    // spontaneous, so they are not counted twice.
    if (!event->spontaneous() || !watched->isWindowType())
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto *key = static_cast<QKeyEvent *>(event);
        // X11 repeats a held key as release + press pairs; the key stays down.
        if (key->isAutoRepeat())
            break;
        const quint32 native = key->nativeScanCode();
        quint16 scan = 0;
        bool extended = false;
        if (native > kXkbKeycodeOffset && KeyTables::evdevToScan(native - kXkbKeycodeOffset, scan, extended))
            handleKey(scan, extended, event->type() == QEvent::KeyPress,
                      key->modifiers().testFlag(Qt::AltModifier));
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        // The press that makes a double click is not a new down (the system
        // reports down, up, up for a double click).
        if (event->type() == QEvent::MouseButtonPress &&
            mouse->flags().testFlag(Qt::MouseEventCreatedDoubleClick))
            break;
        const QPoint global = mouse->globalPosition().toPoint();
        handleMouseButton(buttonCode(mouse->button()), event->type() == QEvent::MouseButtonPress, global.x(),
                          global.y());
        break;
    }
    default:
        break;
    }
    return false; // never swallow input
}

#ifdef Z3_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace {
// An X server repeats a held key as release + press pairs, and a pair that is
// split across two reads of the connection (a busy program) is not marked as a
// repeat. Asked for it, XKB sends repeats as presses only, which the change
// filter drops, so holding a key gives one down and one up. Wayland
// compositors send no repeats; the toolkit's own are marked.
void askForPressOnlyRepeats()
{
#ifdef Z3_HAVE_X11
    if (auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        if (Display *display = x11->display()) {
            Bool supported = False;
            XkbSetDetectableAutoRepeat(display, True, &supported);
        }
    }
#endif
}
} // namespace
