// The Qt header behind CHeaderCtrl: keeps each item's format flags and hands owner-drawn items to DrawItem.
#pragma once

#include <QHeaderView>

class CHeaderView : public QHeaderView {
    Q_OBJECT
public:
    explicit CHeaderView(QWidget* parent);

    int SectionFormat(int section) const;
    void SetSectionFormat(int section, int format);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QVector<int> m_formats;
    int m_nPressedSection = -1;
};
