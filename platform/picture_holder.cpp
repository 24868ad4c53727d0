#include "platform/picture_holder.h"

#include <QPainter>

#include "platform/dc.h"

BOOL CPictureHolder::CreateFromBitmap(UINT idResource) {
    return CreateFromImage(QImage(QStringLiteral(":/bitmap%1.bmp").arg(idResource)));
}

BOOL CPictureHolder::CreateFromImage(const QImage& image) {
    m_image = image;
    return m_image.isNull() ? FALSE : TRUE;
}

void CPictureHolder::Render(CDC* pDC, const CRect& rcRender, const CRect&) const {
    if (m_image.isNull() || !pDC || !pDC->GetPainter() || !pDC->GetPainter()->isActive())
        return;
    pDC->GetPainter()->drawImage(QRect(rcRender.left, rcRender.top, rcRender.Width(), rcRender.Height()),
                                 m_image);
}
