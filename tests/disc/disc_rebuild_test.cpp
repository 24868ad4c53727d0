// quarrow-cli rebuild on real images: the new image's file data follow the listing's order, every file
// keeps its content and its three names, and failures leave nothing behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "disc_test_tools.h"

namespace {

using namespace disc_test;

struct Line {
    std::string text;  // without the line end
    std::uint32_t size;
    std::string path;
};

std::vector<Line> Lines(const std::string& listing) {
    std::vector<Line> lines;
    for (std::size_t at = 0, end; (end = listing.find("\r\n", at)) != std::string::npos; at = end + 2) {
        const std::string text = listing.substr(at, end - at);
        lines.push_back({text, static_cast<std::uint32_t>(std::stoul(text.substr(9, 8), nullptr, 16)),
                         text.substr(18)});
    }
    return lines;
}

std::string Join(const std::vector<Line>& lines) {
    std::string out;
    for (const Line& line : lines)
        out += line.text + "\r\n";
    return out;
}

// The paths of the files that hold data, in the order of their blocks in the image.
std::vector<std::string> DataOrder(const fs::path& dir, const fs::path& image) {
    const RunResult report = RunShell(dir, "xorriso -report_about SORRY -indev " + Quoted(image) +
                                               " -find / -type f -exec report_lba -- | " + Cli() +
                                               " import --from report-lba -");
    EXPECT_EQ(report.status, 0) << report.err;
    std::vector<std::string> paths;
    for (const Line& line : Lines(report.out))
        if (line.size > 0)
            paths.push_back(line.path);
    return paths;
}

std::vector<std::string> DataPaths(const std::vector<Line>& lines) {
    std::vector<std::string> paths;
    for (const Line& line : lines)
        if (line.size > 0)
            paths.push_back(line.path);
    return paths;
}

class DiscRebuildTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_files = MakeTree(m_dir.Path() / "tree", 300);
        m_image = m_dir.Path() / "old.iso";
        ASSERT_EQ(RunShell(m_dir.Path(), "xorriso -outdev " + Quoted(m_image) + " -joliet on -map " +
                                             Quoted(m_dir.Path() / "tree") + " / -commit")
                      .status,
                  0);
        const RunResult imported = RunShell(m_dir.Path(), Cli() + " import " + Quoted(m_image));
        ASSERT_EQ(imported.status, 0) << imported.err;
        m_lines = Lines(imported.out);
        ASSERT_EQ(m_lines.size(), m_files.size());
    }

    RunResult Rebuild(const std::vector<Line>& order, const fs::path& output, const std::string& extra = "") {
        WriteFile(m_dir.Path() / "order.lst", Join(order));
        return RunShell(m_dir.Path(), Cli() + " rebuild " + Quoted(m_image) + " --order " +
                                          Quoted(m_dir.Path() / "order.lst") + " -o " + Quoted(output) + extra);
    }

    // Every file of the new image, extracted, holds what the tree held; nothing more is there.
    void ExpectSameFiles(const fs::path& image) {
        const fs::path out = m_dir.Path() / "extracted";
        fs::remove_all(out);
        ASSERT_EQ(RunShell(m_dir.Path(), "xorriso -osirrox on -indev " + Quoted(image) + " -extract / " +
                                             Quoted(out))
                      .status,
                  0);
        std::size_t count = 0;
        for (const auto& entry : fs::recursive_directory_iterator(out)) {
            if (!entry.is_regular_file())
                continue;
            ++count;
            const std::string path = "/" + fs::relative(entry.path(), out).string();
            const auto file = m_files.find(path);
            ASSERT_NE(file, m_files.end()) << path;
            EXPECT_EQ(ReadFile(entry.path()), file->second) << path;
        }
        EXPECT_EQ(count, m_files.size());
    }

    // The ISO 9660, Joliet and Rock Ridge names of the new image are those of the old.
    void ExpectSameNames(const fs::path& image) {
        for (const char* tree : {"", "-J", "-R"}) {
            SCOPED_TRACE(tree);
            const std::string list = std::string("isoinfo -f ") + tree + " -i ";
            const RunResult before = RunShell(m_dir.Path(), list + Quoted(m_image) + " | sort");
            const RunResult after = RunShell(m_dir.Path(), list + Quoted(image) + " | sort");
            EXPECT_GT(before.out.size(), 1000u);
            EXPECT_EQ(after.out, before.out);
        }
    }

    TempDir m_dir;
    std::map<std::string, std::string> m_files;
    fs::path m_image;
    std::vector<Line> m_lines;
};

}  // namespace

TEST_F(DiscRebuildTest, NewImageHoldsTheDataInTheListingsOrderWithTheSameFilesAndNames) {
    const std::string before = ReadFile(m_image);
    std::vector<Line> bySize = m_lines;
    std::stable_sort(bySize.begin(), bySize.end(), [](const Line& a, const Line& b) { return a.size > b.size; });
    std::vector<Line> shuffled = m_lines;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(20261207));

    for (const auto& [name, order] : {std::pair{"size descending", bySize}, std::pair{"shuffled", shuffled}}) {
        SCOPED_TRACE(name);
        const fs::path image = m_dir.Path() / "new.iso";
        const RunResult rebuilt = Rebuild(order, image);
        ASSERT_EQ(rebuilt.status, 0) << rebuilt.err;
        ASSERT_NE(DataPaths(order), DataPaths(m_lines)) << "the order differs from the old one";
        EXPECT_EQ(DataOrder(m_dir.Path(), image), DataPaths(order));
        ExpectSameFiles(image);
        ExpectSameNames(image);
    }
    EXPECT_EQ(ReadFile(m_image), before) << "the source image is only read";
}

TEST_F(DiscRebuildTest, UnnamedFilesFollowInSourceOrderAndMissingNamesFailUnlessIgnored) {
    const fs::path image = m_dir.Path() / "new.iso";
    // The last two files with data first; the listing also names a file the image lacks, on line 2.
    const std::vector<std::string> old = DataPaths(m_lines);
    const Line missing{"00000000|00000001|/no/such file", 1, "/no/such file"};
    std::vector<Line> order;
    for (const Line& line : m_lines)
        if (line.path == old[old.size() - 1] || line.path == old[old.size() - 2])
            order.insert(order.begin(), line);
    order.insert(order.begin() + 1, missing);

    const RunResult refused = Rebuild(order, image);
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("order.lst:2: "), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("/no/such file"), std::string::npos) << refused.err;

    const RunResult passed = Rebuild(order, image, " --ignore-missing");
    ASSERT_EQ(passed.status, 0) << passed.err;
    std::vector<std::string> expected = {old[old.size() - 1], old[old.size() - 2]};
    expected.insert(expected.end(), old.begin(), old.end() - 2);
    EXPECT_EQ(DataOrder(m_dir.Path(), image), expected);
}

TEST_F(DiscRebuildTest, FailuresLeaveNoOutputAndTheSourceWhole) {
    const std::string before = ReadFile(m_image);
    WriteFile(m_dir.Path() / "truncated.iso", before.substr(0, 30 * 2048));
    std::string absurd = before;
    SetExtent(absurd, FindRecord(absurd, kRootRecord, "ONE"), 0x7FFFFFF0);
    WriteFile(m_dir.Path() / "absurd.iso", absurd);
    struct Case {
        const char* name;
        std::string source;
        fs::path output;
        const char* reasonPart;
    };
    const Case cases[] = {
        {"folder missing", Quoted(m_image), m_dir.Path() / "no folder" / "new.iso", "No such file"},
        {"output is the source", Quoted(m_image), m_image, "replace the source"},
        // The same file under other names: the check is by the file, not by its name.
        {"source by another path", Quoted(m_image), m_dir.Path() / "." / m_image.filename(),
         "replace the source"},
        {"link to the source", Quoted(m_image), m_dir.Path() / "link.iso", "replace the source"},
        {"hard link to the source", Quoted(m_image), m_dir.Path() / "hard.iso", "replace the source"},
        {"damaged source", Quoted(m_dir.Path() / "truncated.iso"), m_dir.Path() / "new.iso", "truncated"},
        {"data past the end", Quoted(m_dir.Path() / "absurd.iso"), m_dir.Path() / "new.iso", "past the end"},
    };
    WriteFile(m_dir.Path() / "order.lst", Join(m_lines));
    fs::create_symlink(m_image.filename(), m_dir.Path() / "link.iso");
    fs::create_hard_link(m_image, m_dir.Path() / "hard.iso");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto entriesBefore = std::distance(fs::directory_iterator(m_dir.Path()), {});
        const RunResult result = RunShell(m_dir.Path(), Cli() + " rebuild " + c.source + " --order " +
                                                            Quoted(m_dir.Path() / "order.lst") + " -o " +
                                                            Quoted(c.output));
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find(c.reasonPart), std::string::npos) << result.err;
        EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), {}), entriesBefore) << "nothing left";
    }
    EXPECT_FALSE(fs::exists(m_dir.Path() / "new.iso"));
    EXPECT_EQ(ReadFile(m_image), before);
}
