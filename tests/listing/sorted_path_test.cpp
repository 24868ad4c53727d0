#include "listing/sorted_path.h"

#include <gtest/gtest.h>

// Save, quarrow-cli sort and the disc rebuild all name their output by this rule.
TEST(SortedPath, PrefixGoesBeforeTheNameAfterTheLastSlash) {
    struct Case {
        const char* path;
        const char* sorted;
    };
    const Case cases[] = {
        {"LBA.TXT", "Sorted-LBA.TXT"}, {"/home/u/game.iso", "/home/u/Sorted-game.iso"},
        {"/x.iso", "/Sorted-x.iso"},   {"a/b.c/LBA", "a/b.c/Sorted-LBA"},
        {"dir/", "dir/Sorted-"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SortedPathBeside(QString::fromUtf8(c.path)), QString::fromUtf8(c.sorted)) << c.path;
    // The window's folder text is taken as typed, with or without its separator.
    EXPECT_EQ(SortedPathIn(QStringLiteral("/data/"), QStringLiteral("LBA.TXT")),
              QStringLiteral("/data/Sorted-LBA.TXT"));
    EXPECT_EQ(SortedPathIn(QStringLiteral("/data"), QStringLiteral("LBA.TXT")),
              QStringLiteral("/dataSorted-LBA.TXT"));
}
