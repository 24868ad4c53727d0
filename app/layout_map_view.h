// The picture of the Layout Map window: the layout strip of the table's rows and, with a trace, the
// access plot, zoomed with the wheel; a click on a bar reports its file.
#pragma once

#include <cstdint>
#include <functional>

#include <QWidget>

#include "plot/trace_picture.h"

class CLayoutMapView : public QWidget {
public:
    explicit CLayoutMapView(QWidget* parent = nullptr);

    CTracePicture& Picture() { return m_picture; }
    // Called with the listing index of a file whose bar is clicked.
    void SetOnFileClicked(std::function<void(std::uint32_t)> onFileClicked) {
        m_onFileClicked = std::move(onFileClicked);
    }

    // Zooms around the block under x: steps above 0 in (each to 4/5 of the span), below 0 out.
    void Zoom(int x, int steps);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    CTracePicture m_picture;
    std::function<void(std::uint32_t)> m_onFileClicked;
};
