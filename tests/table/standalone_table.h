// A report table in a window of its own, shown offscreen, with helpers to fill it, read it in display order
// and click its header the way a user does.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTableView>

#include "table/column_list_ctrl.h"

// Mouse events on the header's viewport at a point inside section nColumn.
inline QPoint HeaderPointOf(QHeaderView* header, int nColumn) {
    return QPoint(header->sectionViewportPosition(nColumn) + header->sectionSize(nColumn) / 2,
                  header->height() / 2);
}

inline void SendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

inline void PressHeader(QHeaderView* header, int nColumn) {
    SendMouse(header->viewport(), QEvent::MouseButtonPress, HeaderPointOf(header, nColumn), Qt::LeftButton);
}

inline void ReleaseHeader(QHeaderView* header, int nColumn) {
    SendMouse(header->viewport(), QEvent::MouseButtonRelease, HeaderPointOf(header, nColumn), Qt::NoButton);
}

// A press and a release on the same section: the header reports a click on that column.
inline void ClickHeader(QHeaderView* header, int nColumn) {
    PressHeader(header, nColumn);
    ReleaseHeader(header, nColumn);
}

inline QHeaderView* HeaderOf(const CListCtrl& list) {
    auto* view = qobject_cast<QTableView*>(list.GetSafeWidget());
    return view ? view->horizontalHeader() : nullptr;
}

template <class TList = CColumnListCtrl> class StandaloneTable {
public:
    explicit StandaloneTable(std::string_view columnList) {
        EXPECT_TRUE(m_list.CreateStandalone());
        EXPECT_TRUE(m_list.InitColumns(columnList));
        m_list.GetSafeWidget()->show();
    }

    TList& List() { return m_list; }
    QHeaderView* Header() const { return HeaderOf(m_list); }

    void AddRows(const std::vector<std::vector<std::string>>& rows) {
        for (const auto& row : rows) {
            std::vector<std::string_view> texts(row.begin(), row.end());
            ASSERT_GE(m_list.AddRow(texts), 0);
        }
    }

    // The texts of column nColumn from the top row down, as the list shows them.
    std::vector<std::string> Column(int nColumn) const {
        std::vector<std::string> texts;
        for (int i = 0; i < m_list.GetItemCount(); ++i)
            texts.push_back(m_list.GetItemText(i, nColumn));
        return texts;
    }

    void Click(int nColumn) { ClickHeader(Header(), nColumn); }

private:
    TList m_list;
};
