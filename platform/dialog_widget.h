// The Qt window behind a CDialog: forwards its events to the dialog's handlers.
#pragma once

#include <QDialog>

class CDialog;

class CDialogWidget : public QDialog {
    Q_OBJECT
public:
    CDialogWidget(CDialog* owner, QWidget* parent);
    void DetachOwner() { m_pOwner = nullptr; }

    // Runs Qt's own handling of the event being handled by the dialog.
    void RunDefault(QEvent* event);

    void reject() override;
    void accept() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Runs the owner's handler with event as the dialog's current one, which Default hands back to Qt.
    template <class Handler> void Dispatch(QEvent* event, const Handler& handler);

    CDialog* m_pOwner;
};
