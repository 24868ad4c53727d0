// A picture that can be drawn stretched into any rectangle of a device context.
#pragma once

#include <QImage>

#include "base/afx_types.h"

class CDC;

class CPictureHolder {
public:
    CPictureHolder() = default;
    CPictureHolder(const CPictureHolder&) = delete;
    CPictureHolder& operator=(const CPictureHolder&) = delete;

    // Loads bitmap resource `idResource` (":/bitmap<ID>.bmp"); FALSE, and an empty picture, when there is no
    // such resource or it cannot be read.
    BOOL CreateFromBitmap(UINT idResource);
    // Holds a copy of an image already in memory; FALSE for a null image.
    BOOL CreateFromImage(const QImage& image);

    BOOL IsEmpty() const { return m_image.isNull() ? TRUE : FALSE; }

    // Draws the whole picture stretched to fill rcRender. rcWBounds only matters for scalable (metafile)
    // pictures, which this holder never holds.
    void Render(CDC* pDC, const CRect& rcRender, const CRect& rcWBounds) const;

private:
    QImage m_image;
};
