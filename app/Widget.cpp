#include "Widget.h"

#include "AppConfigDeviceConfig.h"
#include "NoticeChannel.h"
#include "Ui_Controler.h"
#include "UserDialogs.h"
#include "myQQuickView.h"

#include <QCloseEvent>
#include <QCoreApplication>

Widget::Widget(QWidget *parent, std::unique_ptr<HidBackend> backend) : QWidget(parent)
{
    timer.setSingleShot(true);
    timer.setInterval(kDeviceCheckDelayMs);
    connect(&timer, &QTimer::timeout, this, &Widget::checkDevice);

    if (backend)
        hid.setBackend(std::move(backend));
    m_deviceConfig = std::make_unique<AppConfigDeviceConfig>();
    hid.setDeviceConfig(m_deviceConfig.get());
    hid.setHandshakeFailedHandler([this](const QString &name) { onHandshakeFailed(name); });

    ui = new Ui_Controler();
    ui->setupUi(this, &hid);
    ui->view()->setHidThread(&hid);
}

Widget::~Widget()
{
    hid.stopWatch();
    ui->deleteLater();
    // The view is a child and goes with the QWidget base; the link (a member)
    // goes before it, so the view must not reach it any more.
    if (myQQuickView *v = view())
        v->setHidThread(nullptr);
}

myQQuickView *Widget::view() const
{
    return ui ? ui->view() : nullptr;
}

QString Widget::missingDeviceText(const QString &productName, bool accessDenied)
{
    const QString name =
        productName.trimmed().isEmpty() ? QString::fromLatin1(kFallbackProductName) : productName;
    QString text = QStringLiteral("Can not detect %1 !").arg(name);
    if (accessDenied)
        text += QStringLiteral("\nThe mouse was found, but access to it was denied. Install the udev rule "
                               "70-z3config.rules into /etc/udev/rules.d (or /usr/lib/udev/rules.d), "
                               "then unplug the mouse and plug it in again.");
    return text;
}

bool Widget::startUp()
{
    checkDevice();
    if (!deviceReady)
        return false;
    showNormal();
    view()->initUI();
    // Posted after the queued "initUI", so "run" is requested only after it.
    QCoreApplication::postEvent(this, new runUIEvent(runUIEvent::kTag));
    if (demoMode)
        NoticeChannel::sendNotice(windowTitle(), QStringLiteral("===== Demo Mode ====="));
    return true;
}

void Widget::checkDevice()
{
    hid.runDeviceCheck();
    if (myQQuickView *v = view())
        v->syncFW();
    emit deviceChecked();
}

void Widget::onDeviceChange()
{
    timer.start();
}

void Widget::onHandshakeFailed(const QString &productName)
{
    // A product list without an entry for this device names no product.
    const bool listed = m_deviceConfig && m_deviceConfig->productNames().size() > int(hid.currentDevice());
    UserDialogs::warning(windowTitle(),
                         missingDeviceText(listed ? productName : QString(), hid.accessDenied()));
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void Widget::customEvent(QEvent *e)
{
    // Anyone may post a plain QEvent of type 1000; only ours carries the tag.
    if (e->type() != QEvent::User)
        return;
    const auto *run = dynamic_cast<const runUIEvent *>(e);
    if (run && run->tag == runUIEvent::kTag) {
        if (myQQuickView *v = view())
            v->runUI();
    }
}

void Widget::closeEvent(QCloseEvent *e)
{
    QWidget::closeEvent(e);
    if (e->isAccepted())
        emit closed();
}
