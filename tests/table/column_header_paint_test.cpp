// The header's own painting, checked on grabs of the real header offscreen: the arrow's pixels for both
// directions at an item of 80 x 20, the title's place, a pressed item, a title too long for its item, and
// an item too narrow for any title.
#include "standalone_table.h"

#include <QFontMetrics>
#include <QImage>
#include <QPalette>

#include <cmath>
#include <map>
#include <utility>

namespace {

const QColor kFace(200, 190, 180);
const QColor kLight(250, 240, 10);
const QColor kDark(10, 20, 200);
const QColor kText(0, 0, 0);

enum class Paint { Face, Light, Dark, Other };

Paint Classify(QRgb pixel) {
    const QColor c = QColor::fromRgb(pixel);
    if (c == kFace)
        return Paint::Face;
    if (c == kLight)
        return Paint::Light;
    if (c == kDark)
        return Paint::Dark;
    return Paint::Other;
}

// The pixels a one-pixel line from `from` to `to` may cover: one per step along its longer axis, the
// start included and the end excluded, each the pixel nearest the ideal line; where the ideal line passes
// exactly between two pixels, either may be drawn.
struct LinePixels {
    std::map<std::pair<int, int>, Paint> exact;
    std::vector<std::pair<std::pair<int, int>, std::pair<int, int>>> eitherOf;
    std::vector<Paint> eitherPaint;

    void Add(CPoint from, CPoint to, Paint paint) {
        const int dx = to.x - from.x;
        const int dy = to.y - from.y;
        const int n = std::max(std::abs(dx), std::abs(dy));
        const bool xMajor = std::abs(dx) >= std::abs(dy);
        for (int i = 0; i < n; ++i) {
            const double minor =
                xMajor ? from.y + static_cast<double>(i) * dy / n : from.x + static_cast<double>(i) * dx / n;
            const int major = xMajor ? from.x + i * (dx > 0 ? 1 : -1) : from.y + i * (dy > 0 ? 1 : -1);
            const double low = std::floor(minor);
            auto at = [&](double m) {
                return xMajor ? std::make_pair(major, static_cast<int>(m))
                              : std::make_pair(static_cast<int>(m), major);
            };
            if (std::abs(minor - low - 0.5) < 1e-9) {
                eitherOf.emplace_back(at(low), at(low + 1));
                eitherPaint.push_back(paint);
            } else {
                exact[at(std::round(minor))] = paint; // a later line paints over an earlier one
            }
        }
    }
};

class HeaderPaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_savedPalette = QApplication::palette();
        QPalette palette = m_savedPalette;
        palette.setColor(QPalette::Button, kFace);
        palette.setColor(QPalette::Light, kLight);
        palette.setColor(QPalette::Dark, kDark);
        palette.setColor(QPalette::WindowText, kText);
        palette.setColor(QPalette::ButtonText, kText);
        QApplication::setPalette(palette);
        m_table = std::make_unique<StandaloneTable<>>("Number,80;StartLba,80;FileSize,80");
        Header()->setFixedHeight(20);
        m_table->List().GetSafeWidget()->resize(400, 200);
        m_table->AddRows({{"2", "b", "y"}, {"1", "a", "x"}});
    }

    void TearDown() override {
        m_table.reset();
        QApplication::setPalette(m_savedPalette);
    }

    QHeaderView* Header() const { return m_table->Header(); }
    CColumnListCtrl& List() { return m_table->List(); }

    QImage Grab() const {
        QApplication::processEvents();
        return Header()->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    void SetTitle(int nColumn, const std::string& title) {
        HDITEM item;
        item.mask = HDI_TEXT;
        item.text = title;
        ASSERT_TRUE(List().GetColumnHeader().SetItem(nColumn, item));
    }

    // Bounding box of the pixels of the title colour inside [x0, x1) x [0, 20).
    static QRect TitleBox(const QImage& image, int x0, int x1) {
        QRect box;
        for (int y = 0; y < 20; ++y)
            for (int x = x0; x < x1; ++x)
                if (Classify(image.pixel(x, y)) == Paint::Other)
                    box = box.united(QRect(x, y, 1, 1));
        return box;
    }

    // Checks the region [x0, x1) x [0, 20) holds the lines and the face colour elsewhere.
    static void ExpectLines(const QImage& image, const LinePixels& lines, int x0, int x1) {
        std::map<std::pair<int, int>, Paint> allowed = lines.exact;
        for (std::size_t k = 0; k < lines.eitherOf.size(); ++k) {
            const auto [a, b] = lines.eitherOf[k];
            const Paint pa = Classify(image.pixel(a.first, a.second));
            const Paint pb = Classify(image.pixel(b.first, b.second));
            EXPECT_TRUE((pa == lines.eitherPaint[k]) != (pb == lines.eitherPaint[k]))
                << "exactly one of (" << a.first << "," << a.second << ") and (" << b.first << "," << b.second
                << ")";
            allowed[pa == lines.eitherPaint[k] ? a : b] = lines.eitherPaint[k];
        }
        for (int y = 0; y < 20; ++y) {
            for (int x = x0; x < x1; ++x) {
                const auto it = allowed.find({x, y});
                const Paint expected = it == allowed.end() ? Paint::Face : it->second;
                EXPECT_EQ(Classify(image.pixel(x, y)), expected) << "pixel (" << x << "," << y << ")";
            }
        }
    }

    QPalette m_savedPalette;
    std::unique_ptr<StandaloneTable<>> m_table;
};

TEST_F(HeaderPaintTest, ArrowOfEachDirectionAtAnItemOf80By20) {
    ASSERT_EQ(Header()->height(), 20);
    ASSERT_EQ(Header()->sectionSize(0), 80);
    struct Case {
        const char* name;
        std::vector<std::pair<std::vector<CPoint>, Paint>> paths;
    };
    // One click each: the first sorts ascending, the second reverses.
    const Case cases[] = {
        {"ascending: points up",
         {{{{70, 5}, {75, 14}, {63, 14}}, Paint::Light}, {{{64, 14}, {70, 4}}, Paint::Dark}}},
        {"descending: points down",
         {{{{74, 5}, {69, 15}}, Paint::Light}, {{{68, 15}, {64, 5}, {74, 5}}, Paint::Dark}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_table->Click(0);
        const QImage image = Grab();
        LinePixels lines;
        for (const auto& [path, paint] : c.paths)
            for (std::size_t k = 1; k < path.size(); ++k)
                lines.Add(path[k - 1], path[k], paint);
        ExpectLines(image, lines, 60, 80);

        // The title sits in x = 5 to 60, on the face colour that fills the whole item.
        const QRect title = TitleBox(image, 0, 60);
        EXPECT_FALSE(title.isEmpty());
        EXPECT_GE(title.left(), 5);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 5; ++x)
                ASSERT_EQ(Classify(image.pixel(x, y)), Paint::Face) << x << "," << y;
    }
}

TEST_F(HeaderPaintTest, PressedItemMovesItsTitleButNotTheArrow) {
    m_table->Click(0);
    const QImage released = Grab();
    PressHeader(Header(), 0);
    const QImage pressed = Grab();
    ReleaseHeader(Header(), 0);

    const QRect before = TitleBox(released, 0, 60);
    const QRect after = TitleBox(pressed, 0, 61);
    ASSERT_FALSE(before.isEmpty());
    EXPECT_EQ(after.left() - before.left(), 1);
    EXPECT_EQ(after.width(), before.width());
    // The title is centred in a rectangle whose top moved down by 2, its bottom staying.
    EXPECT_GE(after.top() - before.top(), 1);
    EXPECT_LE(after.top() - before.top(), 2);
    for (int y = 0; y < 20; ++y)
        for (int x = 61; x < 80; ++x)
            ASSERT_EQ(pressed.pixel(x, y), released.pixel(x, y)) << x << "," << y;
}

TEST_F(HeaderPaintTest, EarlierSortColumnKeepsItsInsetTitleWithoutArrow) {
    m_table->Click(0);
    m_table->Click(1);
    const QImage image = Grab();
    const QRect title = TitleBox(image, 0, 80);
    EXPECT_FALSE(title.isEmpty());
    EXPECT_GE(title.left(), 5);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 80; ++x) {
            const Paint paint = Classify(image.pixel(x, y));
            ASSERT_TRUE(paint == Paint::Face || paint == Paint::Other) << x << "," << y;
            ASSERT_TRUE(x >= 5 || paint == Paint::Face) << "left of the inset title " << x << "," << y;
        }
    }
    // The new sort column has the arrow, at the right of its item.
    EXPECT_EQ(Classify(image.pixel(80 + 70, 5)), Paint::Light);
}

TEST_F(HeaderPaintTest, TitleTooLongForItsItemEndsWithAnEllipsis) {
    const std::string longTitle = "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW";
    SetTitle(1, longTitle + "1");
    m_table->Click(1);
    const QImage first = Grab();
    SetTitle(1, longTitle + "2");
    const QImage second = Grab();
    EXPECT_EQ(first, second) << "the end of the title is cut off";

    // Text rectangle of item 1 (80 to 160) as the sort column: 85 to 140.
    const QRect title = TitleBox(first, 80, 160);
    EXPECT_GE(title.left(), 85);
    EXPECT_LE(title.right(), 140);
    const QString elided = QFontMetrics(Header()->font())
                               .elidedText(QString::fromStdString(longTitle + "1"), Qt::ElideRight, 55);
    ASSERT_TRUE(elided.endsWith(QChar(0x2026)));
    SetTitle(1, elided.toStdString());
    EXPECT_EQ(Grab(), first) << "the title drawn is its start and an ellipsis";
}

TEST_F(HeaderPaintTest, NarrowItemShowsNoTitleAndKeepsItsArrowInside) {
    Header()->resizeSection(1, 10);
    const QImage unsorted = Grab();
    m_table->Click(1);
    const QImage sorted = Grab();
    // Item 1 runs from 80 to 90: the arrow reaches left to x = 73, but item 0 is left as it was.
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 80; ++x)
            ASSERT_EQ(sorted.pixel(x, y), unsorted.pixel(x, y)) << x << "," << y;
    int nLight = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 80; x < 90; ++x) {
            const Paint paint = Classify(sorted.pixel(x, y));
            ASSERT_NE(paint, Paint::Other) << "no title pixel at " << x << "," << y;
            nLight += paint == Paint::Light;
        }
    EXPECT_GT(nLight, 5);
}

} // namespace
