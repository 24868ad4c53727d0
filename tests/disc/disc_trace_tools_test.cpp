// quarrow-cli order and seek on traces made with the real tools: strace watching isoinfo -x and
// xorriso -osirrox on -extract read chosen files of an image in a chosen order. The order must come back.
#include <gtest/gtest.h>

#include <vector>

#include "disc_test_tools.h"

namespace {

using namespace disc_test;

// The paths of a listing's lines (three columns, CR LF), in order.
std::vector<std::string> Paths(const std::string& listing) {
    std::vector<std::string> paths;
    for (std::size_t at = 0, end; (end = listing.find("\r\n", at)) != std::string::npos; at = end + 2)
        paths.push_back(listing.substr(at + 18, end - at - 18));
    return paths;
}

std::vector<std::string> Without(std::vector<std::string> paths, const std::string& path) {
    std::erase(paths, path);
    return paths;
}

constexpr const char* kStrace = "strace -e trace=openat,lseek,read,pread64";

class DiscTraceTest : public ::testing::Test {
protected:
    // Six files of whole 64 KiB runs behind a first file that pads them to block 64. xorriso reads an
    // image through a cache of 64 KiB pieces, and its load reads blocks 0 to 63: so each piece it reads
    // for a file holds that file alone.
    void SetUp() override {
        const fs::path tree = m_dir.Path() / "tree";
        for (int i = 1; i <= 6; ++i)
            WriteFile(tree / ("f" + std::to_string(i)),
                      std::string(static_cast<std::size_t>((i % 3 + 1) * 65536), static_cast<char>('a' + i)));
        for (const int padBlocks : {1, 0}) {
            if (padBlocks == 0) {
                // The files start where the first build put the pad: move them to block 64.
                const std::uint32_t padStart = std::stoul(ReadFile(m_listing).substr(0, 8), nullptr, 16);
                ASSERT_LT(padStart, 63u);
                WriteFile(tree / "0pad", std::string((64 - padStart) * 2048, 'p'));
            } else {
                WriteFile(tree / "0pad", std::string(2048, 'p'));
            }
            fs::remove(m_image);
            ASSERT_EQ(
                RunShell(m_dir.Path(), "genisoimage -quiet -R -o " + Quoted(m_image) + " " + Quoted(tree))
                    .status,
                0);
            const RunResult imported =
                RunShell(m_dir.Path(), Cli() + " import " + Quoted(m_image) + " -o " + Quoted(m_listing));
            ASSERT_EQ(imported.status, 0) << imported.err;
        }
        m_paths = Paths(ReadFile(m_listing));
        ASSERT_EQ(m_paths.size(), 7u);
        ASSERT_EQ(m_paths.front(), "/0pad");
    }

    // `order` of the trace; its output must be the listing's own lines.
    std::vector<std::string> Order(const fs::path& trace, const std::string& options = "") {
        const fs::path out = m_dir.Path() / "ordered.txt";
        const RunResult result = RunShell(m_dir.Path(), Cli() + " order " + Quoted(m_listing) + " --trace " +
                                                            Quoted(trace) + options + " -o " + Quoted(out));
        EXPECT_EQ(result.status, 0) << result.err;
        const std::string ordered = ReadFile(out);
        std::vector<std::string> lines = Paths(ordered), sortedLines = lines, listed = m_paths;
        std::sort(sortedLines.begin(), sortedLines.end());
        std::sort(listed.begin(), listed.end());
        EXPECT_EQ(sortedLines, listed);
        EXPECT_EQ(ordered.size(), ReadFile(m_listing).size());
        return lines;
    }

    // The chosen files once each, then the others in listing order (or the others first).
    std::vector<std::string> Expected(const std::vector<int>& chosen, bool untouchedFirst = false) const {
        std::vector<std::string> expected, rest = m_paths;
        for (const int i : chosen) {
            const std::string path = "/f" + std::to_string(i);
            if (std::erase(rest, path) > 0)
                expected.push_back(path);
        }
        expected.insert(untouchedFirst ? expected.begin() : expected.end(), rest.begin(), rest.end());
        return expected;
    }

    TempDir m_dir;
    fs::path m_image = m_dir.Path() / "image.iso";
    fs::path m_listing = m_dir.Path() / "listing.txt";
    std::vector<std::string> m_paths;
};

TEST_F(DiscTraceTest, StraceOfIsoinfoExtractingFilesGivesTheirOrderBack) {
    const std::vector<std::vector<int>> orders = {{3, 1, 6, 2}, {5}, {6, 5, 4, 3, 2, 1}, {2, 4, 2, 1}};
    for (const std::vector<int>& chosen : orders) {
        SCOPED_TRACE(::testing::PrintToString(chosen));
        const fs::path trace = m_dir.Path() / "isoinfo.trace";
        fs::remove(trace);
        for (const int i : chosen) {
            const std::string part = Quoted(m_dir.Path() / "part");
            ASSERT_EQ(RunShell(m_dir.Path(), std::string(kStrace) + " -o " + part + " isoinfo -i " +
                                                 Quoted(m_image) + " -x '/F" + std::to_string(i) +
                                                 ".;1' >/dev/null && cat " + part + " >> " + Quoted(trace))
                          .status,
                      0);
        }
        EXPECT_EQ(Order(trace), Expected(chosen));
        EXPECT_EQ(Order(trace, " --untouched first --format strace --image-path image.iso"),
                  Expected(chosen, true));
    }
}

TEST_F(DiscTraceTest, StraceOfXorrisoExtractingFilesGivesTheirOrderBack) {
    // The load reads the pad with the volume descriptors and folders: it comes first, then the chosen.
    const std::vector<std::vector<int>> orders = {{4, 2, 6}, {1, 3, 5, 2, 6, 4}};
    for (const std::vector<int>& chosen : orders) {
        SCOPED_TRACE(::testing::PrintToString(chosen));
        const fs::path trace = m_dir.Path() / "xorriso.trace", out = m_dir.Path() / "out";
        fs::remove_all(out);
        fs::create_directories(out);
        std::string extract;
        for (const int i : chosen)
            extract += " -extract /f" + std::to_string(i) + " " + Quoted(out / ("f" + std::to_string(i)));
        ASSERT_EQ(RunShell(m_dir.Path(), std::string(kStrace) + " -f -o " + Quoted(trace) +
                                             " xorriso -report_about SORRY -osirrox on -indev " +
                                             Quoted(m_image) + extract)
                      .status,
                  0);
        EXPECT_EQ(Without(Order(trace), "/0pad"), Without(Expected(chosen), "/0pad"));
    }
}

TEST_F(DiscTraceTest, TheReadOrderRebuiltSavesSeeksAndSeekCountsThemExactly) {
    // f5, f1, f3 read whole in turn, as a block list: from block 64 the files lie f1 f2 f3 f4 f5 f6.
    const std::string listing = ReadFile(m_listing);
    const auto startOf = [&](int i) {
        const std::size_t at = listing.find("|/f" + std::to_string(i) + "\r\n");
        return std::stoul(listing.substr(at - 17, 8), nullptr, 16);
    };
    const auto blocksOf = [](int i) { return (i % 3 + 1) * 32ul; };
    std::string trace;
    for (const int i : {5, 1, 3})
        trace += std::to_string(startOf(i)) + " " + std::to_string(blocksOf(i)) + "\n";
    WriteFile(m_dir.Path() / "reads.lba", trace);
    const std::string before =
        "{\"reads\": 3, \"seeks\": 2, \"travel_blocks\": " +
        std::to_string((startOf(5) + blocksOf(5) - startOf(1)) + (startOf(3) - startOf(1) - blocksOf(1))) +
        ", \"estimated_seconds\": 0.200}";

    const fs::path ordered = m_dir.Path() / "ordered.txt", rebuilt = m_dir.Path() / "rebuilt.iso",
                   newListing = m_dir.Path() / "new.txt";
    ASSERT_EQ(RunShell(m_dir.Path(), Cli() + " order " + Quoted(m_listing) + " --trace " +
                                         Quoted(m_dir.Path() / "reads.lba") + " -o " + Quoted(ordered))
                  .status,
              0);
    ASSERT_EQ(RunShell(m_dir.Path(), Cli() + " rebuild " + Quoted(m_image) + " --order " + Quoted(ordered) +
                                         " -o " + Quoted(rebuilt))
                  .status,
              0);
    ASSERT_EQ(
        RunShell(m_dir.Path(), Cli() + " import " + Quoted(rebuilt) + " -o " + Quoted(newListing)).status, 0);
    const RunResult seek =
        RunShell(m_dir.Path(), Cli() + " seek " + Quoted(m_listing) + " --trace " +
                                   Quoted(m_dir.Path() / "reads.lba") + " --new " + Quoted(newListing) +
                                   " --json --seek-ms 100 --kib-per-s 1e9");
    ASSERT_EQ(seek.status, 0) << seek.err;
    EXPECT_EQ(
        seek.out,
        "{\"before\": " + before +
            ", \"after\": {\"reads\": 3, \"seeks\": 0, \"travel_blocks\": 0, \"estimated_seconds\": 0.000}, "
            "\"saved_share\": 0.999998}\n")
        << seek.out;
}

} // namespace
