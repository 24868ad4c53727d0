// The progress bar of the four- and five-column loaders: its range from the count of vertical bars, and
// where it stands once the last row is in.
#include "main_dlg_fixture.h"

#include <QProgressBar>

namespace {

struct ProgressCase {
    const char* name;
    int loader;
    std::string line; // one line of the layout; the file holds it four times
    int maximum;      // bars / bars per line
    int lastPosition; // while the closing box is up
};

class LoadProgressTest : public MainDlgTest, public ::testing::WithParamInterface<ProgressCase> {};

} // namespace

TEST_P(LoadProgressTest, RangeIsTheLineCountAndTheBarEndsAtTheLastRow) {
    const ProgressCase& c = GetParam();
    std::string listing;
    for (int i = 0; i < 4; ++i)
        listing += c.line + "\r\n";
    WriteFile("progress.txt", listing);
    auto* bar = qobject_cast<QProgressBar*>(Progress().GetSafeWidget());
    ASSERT_NE(bar, nullptr);
    int maximumSeen = -1;
    int positionSeen = -1;
    SetMessageBoxHandler([&](const MessageBoxRequest&) {
        maximumSeen = bar->maximum();
        positionSeen = Progress().GetPos();
        return IDOK;
    });
    Load("progress.txt", c.loader);
    EXPECT_EQ(List().GetItemCount(), 4);
    EXPECT_EQ(maximumSeen, c.maximum);
    EXPECT_EQ(positionSeen, c.lastPosition);
    EXPECT_EQ(bar->value(), 0);
}

// The four-column loader shows the row index i, the five-column one i + 1.
INSTANTIATE_TEST_SUITE_P(
    Loaders, LoadProgressTest,
    ::testing::Values(ProgressCase{"four", IDC_LOAD_4COL, "0000001A|00000800|00000010|BOOT.BIN", 4, 3},
                      ProgressCase{"five", IDC_LOAD_5COL, "0000001A|00000800|00000010|c|BOOT.BIN", 4, 4}),
    [](const ::testing::TestParamInfo<ProgressCase>& info) { return std::string(info.param.name); });
