#include "platform/wnd.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "platform/message_box.h"

namespace {

const char* const kIdProperty = "quarrowCtrlId";
// The bound object lives on the widget itself, so it goes with the widget.
const char* const kBoundProperty = "quarrowBoundWnd";

} // namespace

CWnd::CWnd() = default;

CWnd::~CWnd() {
    Detach();
}

void CWnd::SubclassWidget(QWidget* widget) {
    Detach();
    m_pWidget = widget;
    if (widget)
        widget->setProperty(kBoundProperty, QVariant::fromValue(reinterpret_cast<quintptr>(this)));
    PreSubclassWindow();
}

void CWnd::Detach() {
    if (m_pWidget && FromWidget(m_pWidget) == this)
        m_pWidget->setProperty(kBoundProperty, QVariant());
    m_pWidget = nullptr;
    m_tempChildren.clear();
}

CWnd* CWnd::FromWidget(QWidget* widget) {
    if (!widget)
        return nullptr;
    const QVariant value = widget->property(kBoundProperty);
    return value.isValid() ? reinterpret_cast<CWnd*>(value.value<quintptr>()) : nullptr;
}

void CWnd::SetWidgetId(QWidget* widget, int id) {
    widget->setProperty(kIdProperty, id);
}

int CWnd::WidgetId(const QWidget* widget) {
    const QVariant value = widget->property(kIdProperty);
    return value.isValid() ? value.toInt() : -1;
}

int CWnd::GetDlgCtrlID() const {
    return m_pWidget ? WidgetId(m_pWidget) : 0;
}

CWnd* CWnd::GetDlgItem(int id) const {
    if (!m_pWidget)
        return nullptr;
    QWidget* child = nullptr;
    for (QWidget* candidate : m_pWidget->findChildren<QWidget*>()) {
        if (WidgetId(candidate) == id) {
            child = candidate;
            break;
        }
    }
    if (!child)
        return nullptr;
    if (CWnd* bound = FromWidget(child))
        return bound;
    auto& temp = m_tempChildren[id];
    if (!temp || temp->GetSafeWidget() != child) {
        temp = std::make_unique<CWnd>();
        temp->m_pWidget = child;
    }
    return temp.get();
}

BOOL CWnd::EnableWindow(BOOL enable) {
    if (!m_pWidget)
        return FALSE;
    const bool wasDisabled = !m_pWidget->isEnabled();
    m_pWidget->setEnabled(enable != FALSE);
    return wasDisabled ? TRUE : FALSE;
}

BOOL CWnd::IsWindowEnabled() const {
    return m_pWidget && m_pWidget->isEnabled() ? TRUE : FALSE;
}

void CWnd::SetWindowText(const QString& text) {
    if (!m_pWidget)
        return;
    if (auto* edit = qobject_cast<QLineEdit*>(m_pWidget))
        edit->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(m_pWidget))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(m_pWidget))
        label->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(m_pWidget))
        group->setTitle(text);
    else
        m_pWidget->setWindowTitle(text);
}

QString CWnd::GetWindowText() const {
    if (!m_pWidget)
        return {};
    if (auto* edit = qobject_cast<QLineEdit*>(m_pWidget))
        return edit->text();
    if (auto* button = qobject_cast<QAbstractButton*>(m_pWidget))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(m_pWidget))
        return label->text();
    if (auto* group = qobject_cast<QGroupBox*>(m_pWidget))
        return group->title();
    return m_pWidget->windowTitle();
}

void CWnd::ShowWindow(bool show) {
    if (m_pWidget)
        m_pWidget->setVisible(show);
}

CRect CWnd::GetClientRect() const {
    if (!m_pWidget)
        return {};
    return CRect(0, 0, m_pWidget->width(), m_pWidget->height());
}

CRect CWnd::GetWindowRect() const {
    if (!m_pWidget)
        return {};
    const QPoint topLeft = m_pWidget->mapToGlobal(QPoint(0, 0));
    return CRect(topLeft.x(), topLeft.y(), topLeft.x() + m_pWidget->width(),
                 topLeft.y() + m_pWidget->height());
}

void CWnd::MoveWindow(const CRect& rect) {
    if (m_pWidget)
        m_pWidget->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
}

void CWnd::Invalidate() {
    if (m_pWidget)
        m_pWidget->update();
}

void CWnd::InvalidateRect(const CRect& rect) {
    if (m_pWidget)
        m_pWidget->update(rect.left, rect.top, rect.Width(), rect.Height());
}

void CWnd::UpdateWindow() {
    // Qt coalesces updates; handing the pending paint events over now is the closest equivalent.
    if (m_pWidget)
        m_pWidget->repaint(m_pWidget->rect());
}

void CWnd::RedrawWindow(const CRect* rect) {
    if (!m_pWidget)
        return;
    if (rect)
        m_pWidget->repaint(rect->left, rect->top, rect->Width(), rect->Height());
    else
        m_pWidget->repaint();
}

int CWnd::MessageBox(const QString& text, const QString& caption, UINT type) {
    MessageBoxRequest request;
    request.owner = m_pWidget;
    request.text = text;
    request.caption = caption;
    request.type = type;
    return ShowMessageBox(request);
}
