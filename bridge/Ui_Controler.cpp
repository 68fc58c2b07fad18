#include "Ui_Controler.h"

#include "Hid_Thread.h"
#include "myQQuickView.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QQmlContext>
#include <QQuickItem>
#include <QSettings>
#include <QUrl>
#include <QVariant>
#include <QWidget>
#include <QWindow>

Ui_Controler::Ui_Controler(QObject *parent) : QObject(parent) {}

Ui_Controler::~Ui_Controler() = default;

void Ui_Controler::setupUi(QWidget *hostWindow, Hid_Thread *hid)
{
    m_host = hostWindow;
    if (hostWindow->objectName().isEmpty())
        hostWindow->setObjectName(QStringLiteral("Widget"));
    hostWindow->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    hostWindow->setWindowOpacity(1.0);
    hostWindow->setAttribute(Qt::WA_TranslucentBackground, true);
    // Only the window and the scene are see-through: an unscoped rule would
    // cascade into every dialog parented to them and leave it unreadable.
    hostWindow->setStyleSheet(QStringLiteral("#%1, #ui_View { background: transparent; }").arg(hostWindow->objectName()));

    m_view = new myQQuickView(hostWindow);
    m_view->setObjectName(QStringLiteral("ui_View"));
    // A QQuickWidget is translucent only with both of these.
    m_view->setClearColor(Qt::transparent);
    m_view->setAttribute(Qt::WA_AlwaysStackOnTop, true);
    m_view->setSource(QUrl(QStringLiteral("qrc:modules/qml/main.qml")));
    m_view->installEventFilter(this);

    // Set after loading: the scene makes no call through them while it is
    // created (its root starts invisible; its first call comes from initUI).
    QQmlContext *context = m_view->rootContext();
    context->setContextProperty(QStringLiteral("ui_View"), m_view);
    context->setContextProperty(QStringLiteral("hid"), hid);
    context->setContextProperty(QStringLiteral("ui_Ctl"), this);

    // The view takes the root item's size (its default resize mode).
    QSize size = m_view->size();
    if (QQuickItem *root = m_view->rootObject())
        size = QSize(int(root->width()), int(root->height()));
    if (size.isValid() && !size.isEmpty()) {
        m_view->resize(size);
        hostWindow->resize(size);
    }
    retranslateUi(hostWindow);
}

void Ui_Controler::retranslateUi(QWidget *hostWindow)
{
    QSettings apConfig(QStringLiteral("./modules/setting/apConfig.bin"), QSettings::IniFormat);
    hostWindow->setWindowTitle(apConfig.value(QStringLiteral("common/name"), QString()).toString());
}

void Ui_Controler::onMinimize()
{
    if (m_host)
        m_host->close();
}

void Ui_Controler::onXChanged(int x)
{
    if (m_host && !movedByCompositor(x))
        m_host->move(m_host->x() + x, m_host->y());
}

void Ui_Controler::onYChanged(int y)
{
    if (m_host && !movedByCompositor(y))
        m_host->move(m_host->x(), m_host->y() + y);
}

// A Wayland window cannot place itself: the first step of a drag hands the
// window to the compositor, which moves it with the pointer until the button
// is let go. Later steps of the same drag have nothing more to do.
bool Ui_Controler::movedByCompositor(int delta)
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return false;
    if (!m_compositorMoving && delta != 0) {
        QWindow *window = m_host->windowHandle();
        m_compositorMoving = window && window->startSystemMove();
    }
    return true;
}

bool Ui_Controler::eventFilter(QObject *watched, QEvent *event)
{
    // A new press starts a new drag.
    if (watched == m_view && event->type() == QEvent::MouseButtonPress)
        m_compositorMoving = false;
    return QObject::eventFilter(watched, event);
}

void Ui_Controler::setBusy(int busyTime)
{
    if (m_view)
        m_view->invokeRoot("setProtectUI", {QVariant(busyTime)}, Qt::DirectConnection);
}

void Ui_Controler::setBusy()
{
    setBusy(0);
}
