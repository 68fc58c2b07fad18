// Key and button events from the key-event manager, handed to the scene's
// root functions. Queued, so QML sees them in order from the event loop and
// never inside the input layer.

#include "myQQuickView.h"

void myQQuickView::onKeyboardEvent(uchar usbCode, bool isDown)
{
    invokeRoot("detectKeyboard", {QVariant(isDown), QVariant(int(usbCode))}, Qt::QueuedConnection);
}

void myQQuickView::onMouseEvent(uchar code, bool isDown, int x, int y)
{
    invokeRoot("detectMouse", {QVariant(isDown), QVariant(uint(code)), QVariant(uint(x)), QVariant(uint(y))},
               Qt::QueuedConnection);
}
