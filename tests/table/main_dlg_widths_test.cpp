// Column widths kept between runs of the main window: stored when the window is closed, not after Exit,
// applied at the next start when the stored record fits the table.
#include <gtest/gtest.h>

#include <QDataStream>
#include <QDialog>
#include <QFile>
#include <QKeyEvent>
#include <QSettings>
#include <QTimer>
#include <QtEndian>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/main_dlg.h"
#include "death_test_folder.h"
#include "main_dlg_controls.h"
#include "platform/win_app.h"
#include "res/resource.h"
#include "standalone_table.h"

namespace {

// Little-endian 32-bit integers, as the record holds them.
QByteArray Record(const std::vector<std::int32_t>& values) {
    QByteArray bytes;
    for (std::int32_t value : values) {
        char field[4];
        qToLittleEndian(value, field);
        bytes.append(field, 4);
    }
    return bytes;
}

std::vector<int> WidthsOf(CColumnListCtrl& list) {
    std::vector<int> widths;
    CHeaderCtrl* header = list.GetHeaderCtrl();
    for (int i = 0; i < header->GetItemCount(); ++i) {
        HDITEM item;
        item.mask = HDI_WIDTH;
        header->GetItem(i, &item);
        widths.push_back(item.cxy);
    }
    return widths;
}

// Drags the divider at the right edge of section nColumn by dx pixels with the mouse.
void DragDivider(QHeaderView* header, int nColumn, int dx) {
    const QPoint edge(header->sectionViewportPosition(nColumn) + header->sectionSize(nColumn) - 1,
                      header->height() / 2);
    QWidget* viewport = header->viewport();
    SendMouse(viewport, QEvent::MouseMove, edge, Qt::NoButton);
    SendMouse(viewport, QEvent::MouseButtonPress, edge, Qt::LeftButton);
    SendMouse(viewport, QEvent::MouseMove, edge + QPoint(dx / 2, 0), Qt::LeftButton);
    SendMouse(viewport, QEvent::MouseMove, edge + QPoint(dx, 0), Qt::LeftButton);
    SendMouse(viewport, QEvent::MouseButtonRelease, edge + QPoint(dx, 0), Qt::NoButton);
}

// Drags two dividers of the main window's table: column 0 wider by 30, column 3 narrower by 25.
void DragTwoDividers(CMainDlg& dlg) {
    QHeaderView* header = HeaderOf(TableOf(dlg));
    DragDivider(header, 0, 30);
    DragDivider(header, 3, -25);
}
const std::vector<int> kDraggedWidths = {80, 70, 75, 195, 60, 60};
const std::vector<int> kDefaultWidths = {50, 70, 75, 220, 60, 60};

// Each test keeps its settings in a folder of its own. A death test's child works in the folder of the
// test that started it, so the parent sees what the ended process stored.
class MainDlgWidthsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = std::make_unique<DeathTestFolder>(kSettingsVariable);
        ASSERT_TRUE(m_folder->IsValid());
        m_path = m_folder->Path();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_path);
    }

    void TearDown() override { m_folder.reset(); }

    static constexpr const char* kSettingsVariable = "QUARROW_TEST_SETTINGS";

    static void Store(const QByteArray& record) {
        ASSERT_TRUE(
            AfxGetApp()->WriteProfileBinary(QStringLiteral("ListCtrls"), QStringLiteral("1000"),
                                            reinterpret_cast<const unsigned char*>(record.constData()),
                                            static_cast<std::size_t>(record.size())));
    }

    static std::optional<QByteArray> Stored() {
        std::vector<unsigned char> data;
        if (!AfxGetApp()->GetProfileBinary(QStringLiteral("ListCtrls"), QStringLiteral("1000"), data))
            return std::nullopt;
        return QByteArray(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
    }

    // The widths of the table of a main window started now.
    static std::vector<int> WidthsAtStart() {
        CMainDlg dlg;
        EXPECT_TRUE(dlg.CreateModeless());
        const std::vector<int> widths = WidthsOf(TableOf(dlg));
        dlg.DestroyWindow();
        return widths;
    }

    std::unique_ptr<DeathTestFolder> m_folder;
    QString m_path;
};

TEST_F(MainDlgWidthsTest, EachWayOfClosingStoresTheDraggedWidths) {
    struct Case {
        const char* name;
        std::function<void(CMainDlg&)> close;
    };
    const Case cases[] = {
        {"Escape key",
         [](CMainDlg& dlg) {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(dlg.GetSafeWidget(), &escape);
         }},
        {"close box", [](CMainDlg& dlg) { dlg.GetSafeWidget()->close(); }},
        {"system menu Close", [](CMainDlg& dlg) { SendSysCommand(dlg, SC_CLOSE); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Pellam"),
                  QStringLiteral("Quarrow"))
            .clear();
        ASSERT_FALSE(Stored());
        EXPECT_EQ(WidthsAtStart(), kDefaultWidths) << "the first run has the widths of the columns' creation";

        CMainDlg dlg;
        std::vector<int> widthsBeforeClosing;
        QTimer::singleShot(0, [&] {
            DragTwoDividers(dlg);
            widthsBeforeClosing = WidthsOf(TableOf(dlg));
            c.close(dlg);
        });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(widthsBeforeClosing, kDraggedWidths);
        EXPECT_EQ(Stored(), Record({6, 80, 70, 75, 195, 60, 60}));
        EXPECT_EQ(WidthsAtStart(), kDraggedWidths);
    }
    // The store is rooted at the vendor key, under the application's name.
    EXPECT_TRUE(QFile::exists(m_path + QStringLiteral("/Pellam/Quarrow.ini")));
}

// Exit ends the process without closing the window: the record of the earlier run stays as it was. The
// second case shows that a child's closed window does reach the parent's store.
TEST_F(MainDlgWidthsTest, ExitKeepsTheWidthsOfTheEarlierRun) {
    const QByteArray earlier = Record({6, 90, 91, 92, 93, 94, 95});
    Store(earlier);
    EXPECT_EXIT(
        {
            CMainDlg dlg;
            dlg.CreateModeless();
            DragTwoDividers(dlg);
            QMetaObject::invokeMethod(dlg.GetDlgItem(IDC_EXIT)->GetSafeWidget(), "click");
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(Stored(), earlier);
    EXPECT_EQ(WidthsAtStart(), (std::vector<int>{90, 91, 92, 93, 94, 95}));

    EXPECT_EXIT(
        {
            CMainDlg dlg;
            dlg.CreateModeless();
            DragTwoDividers(dlg);
            dlg.DestroyWindow();
            // Ends at once, as the program's own exits do: Qt is still up, so no exit-time clean-up runs.
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(Stored(), Record({6, 120, 91, 92, 68, 94, 95}));
}

// The window grows: the table, the progress bar and FileName take the room, the controls above stay. The
// size is kept by a close with the widths, FileName shows the same width at the next start, and Exit
// keeps what the earlier run stored.
TEST_F(MainDlgWidthsTest, AGrownWindowKeepsItsSizeAndWidthsOnCloseNotOnExit) {
    const QSize grown(700, 760);
    std::vector<int> widthsBeforeClosing;
    {
        CMainDlg dlg;
        ASSERT_TRUE(dlg.CreateModeless());
        QWidget* window = dlg.GetSafeWidget();
        const QSize smallest = window->size();
        EXPECT_EQ(window->minimumSize(), smallest) << "the template's size is the smallest";
        const auto geometryOf = [&dlg](int id) { return dlg.GetDlgItem(id)->GetSafeWidget()->geometry(); };
        const QRect list = geometryOf(IDC_LIST), progress = geometryOf(IDC_PROGRESS),
                    exit = geometryOf(IDC_EXIT);
        const std::vector<int> widths = WidthsOf(TableOf(dlg));

        window->resize(grown);
        const int dx = grown.width() - smallest.width(), dy = grown.height() - smallest.height();
        EXPECT_EQ(geometryOf(IDC_LIST), list.adjusted(0, 0, dx, dy));
        EXPECT_EQ(geometryOf(IDC_PROGRESS), progress.adjusted(0, 0, dx, 0));
        EXPECT_EQ(geometryOf(IDC_EXIT), exit);
        std::vector<int> stretched = widths;
        stretched[3] += dx;
        EXPECT_EQ(WidthsOf(TableOf(dlg)), stretched) << "FileName takes the width the table gains";

        DragDivider(HeaderOf(TableOf(dlg)), 0, 30);
        widthsBeforeClosing = WidthsOf(TableOf(dlg));
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(window, &escape);
        dlg.DestroyWindow();
    }
    const std::optional<QByteArray> storedWidths = Stored();
    {
        CMainDlg dlg;
        ASSERT_TRUE(dlg.CreateModeless());
        EXPECT_EQ(dlg.GetSafeWidget()->size(), grown);
        EXPECT_EQ(WidthsOf(TableOf(dlg)), widthsBeforeClosing);
        // Exit after another change stores nothing.
        const QSize kept = dlg.GetSafeWidget()->size();
        EXPECT_EXIT(
            {
                dlg.GetSafeWidget()->resize(kept + QSize(50, 20));
                DragTwoDividers(dlg);
                QMetaObject::invokeMethod(dlg.GetDlgItem(IDC_EXIT)->GetSafeWidget(), "click");
                std::exit(3);
            },
            ::testing::ExitedWithCode(0), "");
        dlg.DestroyWindow();
    }
    EXPECT_EQ(Stored(), storedWidths);
    CMainDlg dlg;
    ASSERT_TRUE(dlg.CreateModeless());
    EXPECT_EQ(dlg.GetSafeWidget()->size(), grown);
    dlg.DestroyWindow();
}

// A double click on the edge of a header section fits the column to its widest text.
TEST_F(MainDlgWidthsTest, ADoubleClickOnAHeaderEdgeFitsTheColumnToItsContent) {
    CMainDlg dlg;
    ASSERT_TRUE(dlg.CreateModeless());
    const std::string name(120, 'W');
    const std::string_view cells[] = {"1", "2", "3", name, "", ""};
    TableOf(dlg).AddRow(cells);
    TableOf(dlg).UpdateWindow();
    QHeaderView* header = HeaderOf(TableOf(dlg));
    const QPoint edge(header->sectionViewportPosition(3) + header->sectionSize(3) - 1, header->height() / 2);
    SendMouse(header->viewport(), QEvent::MouseMove, edge, Qt::NoButton);
    SendMouse(header->viewport(), QEvent::MouseButtonPress, edge, Qt::LeftButton);
    SendMouse(header->viewport(), QEvent::MouseButtonRelease, edge, Qt::NoButton);
    SendMouse(header->viewport(), QEvent::MouseButtonDblClick, edge, Qt::LeftButton);
    SendMouse(header->viewport(), QEvent::MouseButtonRelease, edge, Qt::NoButton);
    const int textWidth = header->fontMetrics().horizontalAdvance(QString::fromStdString(name));
    EXPECT_GE(TableOf(dlg).GetColumnWidth(3), textWidth);
    EXPECT_LT(TableOf(dlg).GetColumnWidth(3), textWidth + 40);
    dlg.DestroyWindow();
}

TEST_F(MainDlgWidthsTest, StoredRecordIsAppliedOnlyWhenItFits) {
    struct Case {
        const char* name;
        QByteArray record;
        std::vector<int> widths;
    };
    const Case cases[] = {
        {"six widths", Record({6, 100, 0, 80, 80, 80, 80}), {100, 0, 80, 80, 80, 80}},
        {"bytes past the last width", Record({6, 1, 2, 3, 4, 5, 6, 7, 8}), {1, 2, 3, 4, 5, 6}},
        {"negative width hides the column", Record({6, -40, 90, 90, 90, 90, 90}), {0, 90, 90, 90, 90, 90}},
        {"five columns", Record({5, 10, 20, 30, 40, 50}), kDefaultWidths},
        {"seven columns", Record({7, 10, 20, 30, 40, 50, 60, 70}), kDefaultWidths},
        {"ends before its last width", Record({6, 10, 20, 30, 40, 50}), kDefaultWidths},
        {"ends inside its last width", Record({6, 10, 20, 30, 40, 50, 60}).left(27), kDefaultWidths},
        {"shorter than its count", Record({6}).left(3), kDefaultWidths},
        {"empty", QByteArray(), kDefaultWidths},
    };
    for (const Case& c : cases) {
        Store(c.record);
        EXPECT_EQ(WidthsAtStart(), c.widths) << c.name;
    }
}

// The record a header writes and what it does with a record for another number of columns, in tables of
// five, six and seven columns.
TEST_F(MainDlgWidthsTest, HeaderSerializeWritesItsWidthsAndReadsOnlyARecordOfItsCount) {
    const char* columnLists[] = {"A,10;B,20;C,30;D,40;E,50", "A,10;B,20;C,30;D,40;E,50;F,60",
                                 "A,10;B,20;C,30;D,40;E,50;F,60;G,70"};
    const QByteArray sixRecord = Record({6, 7, 6, 5, 4, 3, 2});
    for (const char* columnList : columnLists) {
        SCOPED_TRACE(columnList);
        StandaloneTable table(columnList);
        CColumnHeaderCtrl& header = table.List().GetColumnHeader();
        const std::vector<int> created = WidthsOf(table.List());

        QByteArray written;
        {
            QDataStream ar(&written, QIODevice::WriteOnly);
            header.Serialize(ar);
        }
        std::vector<std::int32_t> expected = {static_cast<std::int32_t>(created.size())};
        expected.insert(expected.end(), created.begin(), created.end());
        EXPECT_EQ(written, Record(expected));

        QDataStream in(sixRecord);
        header.Serialize(in);
        if (created.size() == 6)
            EXPECT_EQ(WidthsOf(table.List()), (std::vector<int>{7, 6, 5, 4, 3, 2}));
        else
            EXPECT_EQ(WidthsOf(table.List()), created);
    }
}

} // namespace
