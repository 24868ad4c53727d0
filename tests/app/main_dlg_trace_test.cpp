// The read trace entries of the main window: Order by Read Trace reorders the table's rows by first read,
// clears the sort arrow and tells the seek figures; Layout Map opens a window of its own whose strip
// follows the table's selection, selects a row on a click, zooms with the wheel and saves its picture.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QXmlStreamReader>

#include "app/layout_map_view.h"
#include "app/layout_map_wnd.h"
#include "app/main_dlg.h"
#include "main_dlg_controls.h"
#include "modal_driver.h"
#include "platform/message_box.h"
#include "res/resource.h"

namespace {

// Files at blocks 100-101, 102, 110-112 and an empty one, as a loaded listing's cells show them.
struct Row {
    const char* start;
    const char* size;
    const char* name;
};
constexpr Row kRows[] = {
    {"100", "4096", "A.BIN"}, {"102", "10", "B.BIN"}, {"110", "6000", "C.BIN"}, {"120", "0", "D.BIN"}};

class MainDlgTraceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_previousHandler = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
            m_boxes.push_back(request);
            return IDOK;
        });
        ASSERT_TRUE(m_dlg.CreateModeless());
        int number = 0;
        for (const Row& row : kRows) {
            const std::string index = std::to_string(number++);
            const std::array<std::string_view, 6> cells = {index, row.start, row.size, row.name, "", ""};
            TableOf(m_dlg).AddRow(cells);
        }
        TableOf(m_dlg).UpdateWindow();
    }
    void TearDown() override {
        if (QWidget* map = LayoutMap())
            delete map;
        m_dlg.DestroyWindow();
        SetMessageBoxHandler(m_previousHandler);
    }

    QString Write(const char* name, const std::string& bytes) {
        const QString path = m_dir.filePath(QString::fromUtf8(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return path;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int i = 0; i < TableOf(m_dlg).GetItemCount(); ++i)
            names.push_back(TableOf(m_dlg).GetItemText(i, 3));
        return names;
    }
    // The Layout Map window while it is open: a window of its own over the main window.
    CLayoutMapWnd* LayoutMap() const {
        for (QWidget* child : m_dlg.GetSafeWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (auto* map = dynamic_cast<CLayoutMapWnd*>(child))
                return map;
        }
        return nullptr;
    }
    QTableView* Table() const { return qobject_cast<QTableView*>(TableOf(m_dlg).GetSafeWidget()); }

    QTemporaryDir m_dir;
    CMainDlg m_dlg;
    std::vector<MessageBoxRequest> m_boxes;
    MessageBoxHandler m_previousHandler;
};

TEST_F(MainDlgTraceTest, OrderByReadTraceReordersTheRowsClearsTheArrowAndTellsTheSeeks) {
    TableOf(m_dlg).SortByColumn(3, FALSE);
    ASSERT_EQ(Names(), (std::vector<std::string>{"D.BIN", "C.BIN", "B.BIN", "A.BIN"}));
    // C, then B, then A: reads at 110, 102 and 100-101 (a seek of 8 blocks back, then 3 back).
    const QString trace = Write("reads.lba", "110 3\n102\n100 2\n");
    WhenModalOpens([&trace](QWidget* window) {
        auto* picker = qobject_cast<QFileDialog*>(window);
        ASSERT_NE(picker, nullptr);
        picker->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(trace);
        picker->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->click();
    });
    SendSysCommand(m_dlg, IDM_ORDER_BY_TRACE);

    EXPECT_EQ(Names(), (std::vector<std::string>{"C.BIN", "B.BIN", "A.BIN", "D.BIN"}));
    EXPECT_EQ(TableOf(m_dlg).GetSortColumn(), -1);
    EXPECT_EQ(TableOf(m_dlg).GetColumnHeader().GetSortColumn(), -1);
    ASSERT_EQ(m_boxes.size(), 1u);
    const QString text = m_boxes[0].text;
    EXPECT_TRUE(text.contains(QStringLiteral("3 files read, 1 never read"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Old order: 3 reads, 2 seeks, head travel 14 blocks")))
        << text.toStdString();
    // Back to back from block 100: C 100-102, B 103, A 104-105; one read after another, no seek.
    EXPECT_TRUE(text.contains(
        QStringLiteral("New order, laid out back to back: 3 reads, 0 seeks, head travel 0 blocks")))
        << text.toStdString();
}

TEST_F(MainDlgTraceTest, ATraceThatCannotBeReadNamesItsLineAndLeavesTheRows) {
    const std::vector<std::string> before = Names();
    EXPECT_FALSE(m_dlg.OrderByReadTrace(Write("bad.lba", "100\n0x1Q\n")));
    EXPECT_EQ(Names(), before);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_TRUE(m_boxes[0].text.contains(QStringLiteral("line 2: not a line")))
        << m_boxes[0].text.toStdString();
    EXPECT_FALSE(m_dlg.OrderByReadTrace(m_dir.filePath(QStringLiteral("missing.lba"))));
    EXPECT_EQ(m_boxes.size(), 2u);
}

TEST_F(MainDlgTraceTest, LayoutMapIsAWindowOfItsOwnThatFollowsAndSetsTheSelection) {
    ASSERT_TRUE(m_dlg.OrderByReadTrace(Write("reads.lba", "110 3\n102\n100 2\n")));
    SendSysCommand(m_dlg, IDM_LAYOUT_MAP);
    CLayoutMapWnd* map = LayoutMap();
    ASSERT_NE(map, nullptr);
    EXPECT_TRUE(map->isVisible());
    EXPECT_TRUE(map->isWindow());
    EXPECT_EQ(map->windowModality(), Qt::NonModal);
    CLayoutMapView& view = map->View();
    view.resize(800, 400);
    CTracePicture& picture = view.Picture();
    EXPECT_TRUE(picture.HasReads());
    EXPECT_EQ(picture.FirstBlock(), 100u);
    EXPECT_EQ(picture.EndBlock(), 113u);

    // A click on the middle of C's bar (blocks 110-112) selects C's row, now the first.
    const QRect strip = picture.StripRect(view.size());
    const int x = strip.left() + static_cast<int>((111.5 - 100) * strip.width() / 13);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(x, strip.center().y()),
                      view.mapToGlobal(QPointF(x, strip.center().y())), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &press);
    const QModelIndexList selected = Table()->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].row(), 0);
    EXPECT_EQ(TableOf(m_dlg).GetItemText(selected[0].row(), 3), "C.BIN");

    // A gap selects nothing new; the wheel zooms in around the pointer and out again to the whole.
    QWheelEvent in(QPointF(x, strip.center().y()), view.mapToGlobal(QPointF(x, strip.center().y())), QPoint(),
                   QPoint(0, 240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&view, &in);
    EXPECT_LT(picture.EndBlock() - picture.FirstBlock(), 13u);
    EXPECT_LE(picture.FirstBlock(), 111u);
    EXPECT_GE(picture.EndBlock(), 112u);
    QWheelEvent out(QPointF(x, strip.center().y()), view.mapToGlobal(QPointF(x, strip.center().y())),
                    QPoint(), QPoint(0, -1200), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&view, &out);
    EXPECT_EQ(picture.FirstBlock(), 100u);
    EXPECT_EQ(picture.EndBlock(), 113u);

    // Save Picture writes SVG and PNG at the view's size, and names a picture it cannot write.
    const QString svg = m_dir.filePath(QStringLiteral("map.svg")),
                  png = m_dir.filePath(QStringLiteral("map.png"));
    ASSERT_TRUE(map->SavePicture(svg));
    ASSERT_TRUE(map->SavePicture(png));
    QFile svgFile(svg);
    ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svgFile);
    while (!xml.atEnd())
        xml.readNext();
    EXPECT_FALSE(xml.hasError());
    EXPECT_EQ(QImage(png).size(), QSize(800, 400));
    const std::size_t boxes = m_boxes.size();
    EXPECT_FALSE(map->SavePicture(m_dir.filePath(QStringLiteral("map.jpg"))));
    EXPECT_EQ(m_boxes.size(), boxes + 1);
}

} // namespace
