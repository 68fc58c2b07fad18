#pragma once
// Ui_Controler turns the top-level Widget into the frameless, translucent
// host window, creates the view as its child, and gives the scene its window
// controls ("ui_Ctl"): dragging, closing and the timed busy lock.

#include <QObject>
#include <QPointer>

class QWidget;
class myQQuickView;
class Hid_Thread;

class Ui_Controler : public QObject {
    Q_OBJECT
public:
    explicit Ui_Controler(QObject *parent = nullptr);
    ~Ui_Controler() override;

    // Builds the window and the view; hid is published to QML as "hid".
    void setupUi(QWidget *hostWindow, Hid_Thread *hid = nullptr);
    myQQuickView *view() const { return m_view; }
    QWidget *hostWindow() const { return m_host; }

public slots:
    void onMinimize();
    void onXChanged(int x);
    void onYChanged(int y);
    void setBusy(int busyTime);
    void setBusy();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void retranslateUi(QWidget *hostWindow);
    bool movedByCompositor(int delta);

    QPointer<QWidget> m_host;
    myQQuickView *m_view = nullptr;
    bool m_compositorMoving = false;
};
