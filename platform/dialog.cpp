#include "platform/dialog.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>

#include "platform/dialog_widget.h"
#include "platform/list_view_widget.h"
#include "platform/text_alignment.h"
#include "res/dialog_template.h"
#include "res/resource.h"

namespace {

QRect PixelRect(const DlgItemTemplate& item) {
    return QRect(DluToPixelsX(item.x), DluToPixelsY(item.y), DluToPixelsX(item.cx), DluToPixelsY(item.cy));
}

UINT MouseFlags(const QMouseEvent* event) {
    UINT flags = 0;
    if (event->buttons() & Qt::LeftButton)
        flags |= 0x0001;
    if (event->buttons() & Qt::RightButton)
        flags |= 0x0002;
    if (event->modifiers() & Qt::ShiftModifier)
        flags |= 0x0004;
    if (event->modifiers() & Qt::ControlModifier)
        flags |= 0x0008;
    return flags;
}

CPoint PointOf(const QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    return CPoint(p.x(), p.y());
}

} // namespace

// ---- CDialogWidget ----

CDialogWidget::CDialogWidget(CDialog* owner, QWidget* parent) : QDialog(parent), m_pOwner(owner) {
    setMouseTracking(true);
}

void CDialogWidget::RunDefault(QEvent* event) {
    if (!event)
        return;
    switch (event->type()) {
    case QEvent::Paint:
        QDialog::paintEvent(static_cast<QPaintEvent*>(event));
        break;
    case QEvent::Timer:
        QDialog::timerEvent(static_cast<QTimerEvent*>(event));
        break;
    case QEvent::MouseMove:
        QDialog::mouseMoveEvent(static_cast<QMouseEvent*>(event));
        break;
    case QEvent::MouseButtonPress:
        QDialog::mousePressEvent(static_cast<QMouseEvent*>(event));
        break;
    default:
        break;
    }
}

void CDialogWidget::reject() {
    if (m_pOwner)
        m_pOwner->OnCancel();
    else
        QDialog::reject();
}

void CDialogWidget::accept() {
    if (m_pOwner)
        m_pOwner->OnOK();
    else
        QDialog::accept();
}

template <class Handler> void CDialogWidget::Dispatch(QEvent* event, const Handler& handler) {
    QEvent* previous = std::exchange(m_pOwner->m_pCurrentEvent, event);
    handler();
    m_pOwner->m_pCurrentEvent = previous;
}

void CDialogWidget::paintEvent(QPaintEvent* event) {
    if (!m_pOwner)
        return QDialog::paintEvent(event);
    Dispatch(event, [this] { m_pOwner->OnPaint(); });
}

void CDialogWidget::timerEvent(QTimerEvent* event) {
    if (!m_pOwner)
        return QDialog::timerEvent(event);
    const std::optional<UINT_PTR> timer = m_pOwner->m_timers.Find(event->timerId());
    if (!timer)
        return QDialog::timerEvent(event);
    Dispatch(event, [&] { m_pOwner->OnTimer(*timer); });
}

void CDialogWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pOwner)
        return QDialog::mouseMoveEvent(event);
    Dispatch(event, [&] { m_pOwner->OnMouseMove(MouseFlags(event), PointOf(event)); });
}

void CDialogWidget::mousePressEvent(QMouseEvent* event) {
    if (!m_pOwner || event->button() != Qt::LeftButton)
        return QDialog::mousePressEvent(event);
    Dispatch(event, [&] { m_pOwner->OnLButtonDown(MouseFlags(event), PointOf(event)); });
}

void CDialogWidget::contextMenuEvent(QContextMenuEvent* event) {
    if (!m_pOwner)
        return QDialog::contextMenuEvent(event);
    // The event comes from the control under the mouse when the control has no menu of its own.
    QWidget* child = childAt(event->pos());
    CWnd* control = child ? m_pOwner->ControlOf(child) : m_pOwner;
    if (!control)
        return QDialog::contextMenuEvent(event);
    const QPoint global = event->globalPos();
    Dispatch(event, [&] { m_pOwner->OnContextMenu(control, CPoint(global.x(), global.y())); });
}

void CDialogWidget::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (!m_pOwner)
        return;
    m_pOwner->LayOutGrowingControls();
    const UINT type = isMinimized() ? SIZE_MINIMIZED : isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED;
    Dispatch(event, [&] { m_pOwner->OnSize(type, width(), height()); });
}

// ---- DDX ----

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    if (control.IsWindow())
        return;
    CWnd* item = pDX->m_pDlgWnd->GetDlgItem(id);
    if (!item)
        return;
    QWidget* widget = item->GetSafeWidget();
    control.SubclassWidget(widget);
    pDX->m_pDlgWnd->RegisterBoundControl(&control);
}

// ---- CDialog ----

CDialog::CDialog(int templateId, CWnd* parent) : m_nTemplateId(templateId), m_pParentWnd(parent) {
    m_systemMenu.AppendMenu(MF_STRING, SC_CLOSE, QStringLiteral("&Close"));
}

CDialog::~CDialog() {
    if (m_pDialogWidget) {
        m_pDialogWidget->DetachOwner();
        delete m_pDialogWidget;
        m_pDialogWidget = nullptr;
    }
}

void CDialog::BuildFromTemplate() {
    const DialogTemplate* tmpl = FindDialogTemplate(m_nTemplateId);
    QWidget* parentWidget = m_pParentWnd ? m_pParentWnd->GetSafeWidget() : nullptr;
    m_growingControls.clear();
    m_pDialogWidget = new CDialogWidget(this, parentWidget);
    SubclassWidget(m_pDialogWidget);
    QWidget* dlg = m_pDialogWidget;
    dlg->setAttribute(Qt::WA_DeleteOnClose, false);
    dlg->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // The templates are laid out for a narrow 8-point face; a condensed sans keeps the captions inside
    // their controls.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStretch(QFont::Condensed);
    font.setPixelSize(11);
    dlg->setFont(font);
    if (!tmpl)
        return;
    dlg->setWindowTitle(
        QString::fromUtf8(tmpl->caption.data(), static_cast<qsizetype>(tmpl->caption.size())));
    m_templateSize = QSize(DluToPixelsX(tmpl->cx), DluToPixelsY(tmpl->cy));
    if (tmpl->resizable) {
        dlg->setWindowFlags(dlg->windowFlags() | Qt::WindowMinMaxButtonsHint);
        dlg->setMinimumSize(m_templateSize);
        dlg->resize(m_templateSize);
    } else {
        dlg->setFixedSize(m_templateSize);
    }

    std::vector<QWidget*> groups;
    for (const DlgItemTemplate& item : tmpl->items) {
        const QString caption =
            QString::fromUtf8(item.caption.data(), static_cast<qsizetype>(item.caption.size()));
        QWidget* widget = nullptr;
        switch (item.kind) {
        case DlgItemKind::PushButton:
        case DlgItemKind::DefPushButton: {
            auto* button = new QPushButton(caption, dlg);
            button->setAutoDefault(false);
            button->setDefault(item.kind == DlgItemKind::DefPushButton);
            const int id = item.id;
            QObject::connect(button, &QPushButton::clicked, dlg, [this, id] { OnCommand(id); });
            widget = button;
            break;
        }
        case DlgItemKind::CheckBox: {
            auto* box = new QCheckBox(caption, dlg);
            const int id = item.id;
            QObject::connect(box, &QCheckBox::clicked, dlg, [this, id] { OnCommand(id); });
            widget = box;
            break;
        }
        case DlgItemKind::Edit:
            widget = new QLineEdit(dlg);
            break;
        case DlgItemKind::ListView:
            widget = new CListViewWidget(dlg);
            break;
        case DlgItemKind::GroupBox: {
            auto* group = new QGroupBox(caption, dlg);
            // A group box only frames the controls in it: clicks go through to them.
            group->setAttribute(Qt::WA_TransparentForMouseEvents);
            groups.push_back(group);
            widget = group;
            break;
        }
        case DlgItemKind::Picture:
        case DlgItemKind::Icon: {
            auto* label = new QLabel(dlg);
            const QString path = item.kind == DlgItemKind::Picture
                                     ? QStringLiteral(":/bitmap%1.bmp").arg(item.resource)
                                     : QStringLiteral(":/icon%1.png").arg(item.resource);
            const QPixmap pixmap(path);
            label->setPixmap(pixmap);
            widget = label;
            break;
        }
        case DlgItemKind::Text: {
            auto* label = new QLabel(caption, dlg);
            label->setAlignment(
                TextAlignment(item.style & DIS_CENTER, item.style & DIS_RIGHT, item.style & DIS_CENTERIMAGE));
            label->setWordWrap(!(item.style & DIS_CENTERIMAGE));
            widget = label;
            break;
        }
        case DlgItemKind::Progress: {
            auto* bar = new QProgressBar(dlg);
            bar->setTextVisible(false);
            bar->setRange(0, 100);
            bar->setValue(0);
            widget = bar;
            break;
        }
        }
        SetWidgetId(widget, item.id);
        QRect rect = PixelRect(item);
        if (item.kind == DlgItemKind::Picture || item.kind == DlgItemKind::Icon) {
            // A picture control takes the size of its picture.
            const auto* label = static_cast<QLabel*>(widget);
            if (!label->pixmap().isNull())
                rect.setSize(label->pixmap().size());
        }
        widget->setGeometry(rect);
        if (item.style & (DIS_GROW_X | DIS_GROW_Y))
            m_growingControls.push_back(
                {widget, rect, (item.style & DIS_GROW_X) != 0, (item.style & DIS_GROW_Y) != 0});
    }
    for (QWidget* group : groups)
        group->lower();
}

BOOL CDialog::CreateModeless() {
    if (m_pDialogWidget)
        return FALSE;
    BuildFromTemplate();
    m_pDialogWidget->show();
    OnInitDialog();
    AddMenuShortcuts(m_systemMenu, TRUE);
    return TRUE;
}

INT_PTR CDialog::DoModal() {
    if (!m_pDialogWidget)
        BuildFromTemplate();
    OnInitDialog();
    AddMenuShortcuts(m_systemMenu, TRUE);
    const int result = m_pDialogWidget->exec();
    DestroyWindow();
    return result;
}

void CDialog::DestroyWindow() {
    if (!m_pDialogWidget)
        return;
    m_timers.KillAll(m_pDialogWidget);
    OnDestroy();
    for (CWnd* control : m_boundControls) {
        control->OnDestroy();
        control->Detach();
    }
    m_boundControls.clear();
    CDialogWidget* widget = m_pDialogWidget;
    m_pDialogWidget = nullptr;
    Detach();
    widget->DetachOwner();
    delete widget;
}

void CDialog::EndDialog(int result) {
    if (m_pDialogWidget)
        m_pDialogWidget->done(result);
}

BOOL CDialog::OnInitDialog() {
    CDataExchange dx(this);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCommand(int id) {
    if (id == IDOK) {
        OnOK();
        return TRUE;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

void CDialog::OnPaint() {
    Default();
}
void CDialog::OnTimer(UINT_PTR) {
    Default();
}
void CDialog::OnMouseMove(UINT, CPoint) {
    Default();
}
void CDialog::OnLButtonDown(UINT, CPoint) {
    Default();
}

void CDialog::OnSysCommand(UINT nID, LPARAM) {
    if ((nID & 0xFFF0) == SC_CLOSE)
        OnCancel();
}

void CDialog::OnSize(UINT, int, int) {}

void CDialog::OnDestroy() {}

void CDialog::LayOutGrowingControls() {
    if (!m_pDialogWidget)
        return;
    const int dx = std::max(0, m_pDialogWidget->width() - m_templateSize.width());
    const int dy = std::max(0, m_pDialogWidget->height() - m_templateSize.height());
    for (const GrowingControl& control : m_growingControls) {
        QRect rect = control.rect;
        if (control.growX)
            rect.setWidth(rect.width() + dx);
        if (control.growY)
            rect.setHeight(rect.height() + dy);
        control.widget->setGeometry(rect);
    }
}

QByteArray CDialog::GetWindowGeometry() const {
    return m_pDialogWidget ? m_pDialogWidget->saveGeometry() : QByteArray();
}

BOOL CDialog::SetWindowGeometry(const QByteArray& record) {
    if (!m_pDialogWidget || record.isEmpty() || !m_pDialogWidget->restoreGeometry(record))
        return FALSE;
    // The controls follow at once, not only when the window shows.
    LayOutGrowingControls();
    return TRUE;
}

UINT_PTR CDialog::SetTimer(UINT_PTR nIDEvent, UINT nElapse) {
    if (!m_pDialogWidget)
        return 0;
    return m_timers.Set(m_pDialogWidget, nIDEvent, nElapse);
}

BOOL CDialog::KillTimer(UINT_PTR nIDEvent) {
    if (!m_pDialogWidget)
        return FALSE;
    return m_timers.Kill(m_pDialogWidget, nIDEvent);
}

CMenu* CDialog::GetSystemMenu(BOOL) {
    return &m_systemMenu;
}

void CDialog::ShowSystemMenu(const QPoint& globalPos) {
    QMenu menu(m_pDialogWidget);
    for (const CMenu::Entry& entry : m_systemMenu.Entries()) {
        if (entry.flags & MF_SEPARATOR) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(CMenu::EntryLabel(entry.text));
        const QString shortcut = CMenu::EntryShortcut(entry.text);
        if (!shortcut.isEmpty())
            action->setShortcut(QKeySequence(shortcut));
        const UINT id = entry.id;
        QObject::connect(action, &QAction::triggered, m_pDialogWidget, [this, id] { OnSysCommand(id, 0); });
    }
    menu.exec(globalPos);
}

void CDialog::OnContextMenu(CWnd* pWnd, CPoint point) {
    if (pWnd == this)
        ShowSystemMenu(QPoint(point.x, point.y));
}

CWnd* CDialog::ControlOf(QWidget* child) const {
    for (QWidget* widget = child; widget && widget != m_pDialogWidget; widget = widget->parentWidget()) {
        if (CWnd* bound = CWnd::FromWidget(widget))
            return bound;
        if (const int id = CWnd::WidgetId(widget); id > 0)
            return GetDlgItem(id);
    }
    return nullptr;
}

void CDialog::AddMenuShortcuts(const CMenu& menu, BOOL bSysCommand) {
    if (!m_pDialogWidget)
        return;
    for (const CMenu::Entry& entry : menu.Entries()) {
        const QString shortcut = CMenu::EntryShortcut(entry.text);
        if ((entry.flags & MF_SEPARATOR) || shortcut.isEmpty())
            continue;
        auto* action = new QAction(CMenu::EntryLabel(entry.text), m_pDialogWidget);
        action->setShortcut(QKeySequence(shortcut));
        action->setShortcutContext(Qt::WindowShortcut);
        const UINT id = entry.id;
        QObject::connect(action, &QAction::triggered, m_pDialogWidget, [this, id, bSysCommand] {
            if (bSysCommand)
                OnSysCommand(id, 0);
            else
                OnCommand(static_cast<int>(id));
        });
        m_pDialogWidget->addAction(action);
    }
}

void CDialog::Default() {
    if (m_pDialogWidget)
        m_pDialogWidget->RunDefault(m_pCurrentEvent);
}

BOOL CDialog::IsIconic() const {
    return m_pDialogWidget && m_pDialogWidget->isMinimized() ? TRUE : FALSE;
}

void CDialog::CenterWindow() {
    if (!m_pDialogWidget)
        return;
    QWidget* owner = m_pDialogWidget->parentWidget();
    QRect area = owner
                     ? owner->frameGeometry()
                     : (m_pDialogWidget->screen() ? m_pDialogWidget->screen()->availableGeometry() : QRect());
    if (area.isEmpty())
        return;
    QRect frame = m_pDialogWidget->frameGeometry();
    frame.moveCenter(area.center());
    m_pDialogWidget->move(frame.topLeft());
}

void CDialog::SetIcon(const QString& resourcePath) {
    if (m_pDialogWidget)
        m_pDialogWidget->setWindowIcon(QIcon(resourcePath));
}

void CDialog::RegisterBoundControl(CWnd* control) {
    m_boundControls.push_back(control);
}
