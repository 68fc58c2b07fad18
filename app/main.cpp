// z3config: configuration tool for the Z3 gaming mouse.

#include "DeviceMonitor.h"
#include "NoticeChannel.h"
#include "Options.h"
#include "SignalQuit.h"
#include "UserDialogs.h"
#include "Widget.h"
#include "WorkingFolder.h"
#include "hookMgr.h"
#include "myQQuickView.h"

#include <QApplication>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QThreadPool>
#include <QTimer>

#include <cstdio>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

void keyboardCallback(uchar usbCode, uchar isDown, void *userData)
{
    if (auto *w = static_cast<Widget *>(userData); w && w->view())
        w->view()->onKeyboardEvent(usbCode, isDown != 0);
}

void mouseCallback(uchar code, uchar isDown, int x, int y, void *userData)
{
    if (auto *w = static_cast<Widget *>(userData); w && w->view())
        w->view()->onMouseEvent(code, isDown != 0, x, y);
}

// The scene is flat 2D artwork: the software scene graph starts faster and
// needs a fraction of the memory of OpenGL on llvmpipe (bench/startup).
// QT_QUICK_BACKEND or QSG_RHI_BACKEND (e.g. "opengl") still choose when set.
void chooseSceneGraphBackend()
{
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND") && qEnvironmentVariableIsEmpty("QSG_RHI_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef __GLIBC__
    // Images of 128 KiB and more get pages of their own, given back as soon
    // as they are freed; otherwise glibc raises this bound after the first
    // free and the decoded copies made while the scene is built stay in the
    // heap (about 1 MiB less at the peak).
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("z3config"));
    QCoreApplication::setApplicationVersion(QStringLiteral(Z3_VERSION));
    const Options options = parseOptions(app);
    // Transfers come in short bursts; a pool thread left without work ends
    // after a second instead of idling for Qt's default thirty.
    QThreadPool::globalInstance()->setExpiryTimeout(1000);
    chooseSceneGraphBackend();

    // "./modules/..." resolves against the program's own working folder from
    // here on, wherever it was started.
    const WorkingFolder::Place place = WorkingFolder::enter();

    SignalQuit signalQuit;
    int result = 0;
    {
        Widget w(nullptr, makeBackend(options));
        QObject::connect(&w, &Widget::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);

        hookMgr hooks(false);
        hooks.setKeyboardCallback(keyboardCallback, &w);
        hooks.setMouseCallback(mouseCallback, &w);
        hooks.installHooks();

        NoticeChannel notices;
        notices.setHandler([&w](const QString &text) { UserDialogs::warning(w.windowTitle(), text); });
        notices.listen(w.windowTitle());

        DeviceMonitor monitor;
        QObject::connect(&monitor, &DeviceMonitor::deviceChanged, &w, &Widget::onDeviceChange);

        // Said once, over the window, so nobody changes settings in vain.
        if (w.startUp() && place.readOnly)
            QTimer::singleShot(0, &w, [&w] {
                UserDialogs::warning(w.windowTitle(),
                                     QStringLiteral("The program's files cannot be written here and no folder "
                                                    "of your own could be made: changes will not be kept."));
            });

        // A signal that came during a start-up box must still end the program.
        if (!signalQuit.requested())
            result = app.exec();
        hooks.removeHooks();
    }
    return result;
}
