#include "platform/header_ctrl.h"

#include <QAbstractItemModel>

#include "base/display_text.h"
#include "platform/header_view.h"

CHeaderView* CHeaderCtrl::HeaderView() const {
    return qobject_cast<CHeaderView*>(GetSafeWidget());
}

int CHeaderCtrl::GetItemCount() const {
    CHeaderView* view = HeaderView();
    return view ? view->count() : -1;
}

BOOL CHeaderCtrl::GetItem(int index, HDITEM* item) const {
    CHeaderView* view = HeaderView();
    if (!view || !item || index < 0 || index >= view->count())
        return FALSE;
    if (item->mask & HDI_WIDTH)
        item->cxy = view->sectionSize(index);
    if (item->mask & HDI_FORMAT)
        item->fmt = view->SectionFormat(index);
    if (item->mask & HDI_TEXT) {
        const QByteArray title =
            view->model() ? view->model()->headerData(index, Qt::Horizontal, Qt::UserRole).toByteArray()
                          : QByteArray();
        item->text.assign(title.constData(), static_cast<std::size_t>(title.size()));
    }
    return TRUE;
}

BOOL CHeaderCtrl::SetItem(int index, const HDITEM& item) {
    CHeaderView* view = HeaderView();
    if (!view || index < 0 || index >= view->count())
        return FALSE;
    if (item.mask & HDI_WIDTH)
        view->resizeSection(index, std::max(0, item.cxy));
    if (item.mask & HDI_FORMAT) {
        view->SetSectionFormat(index, item.fmt);
        view->viewport()->update();
    }
    if ((item.mask & HDI_TEXT) && view->model())
        view->model()->setHeaderData(index, Qt::Horizontal,
                                     QByteArray(item.text.data(), static_cast<qsizetype>(item.text.size())),
                                     Qt::UserRole);
    return TRUE;
}

void CHeaderCtrl::DrawItem(DRAWITEMSTRUCT*) {}
