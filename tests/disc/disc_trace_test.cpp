// The trace readers on synthetic traces of all three formats, and the order and seek figures on
// hand-worked layouts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "disc/read_order.h"
#include "disc/read_trace.h"
#include "disc/seek_figures.h"

namespace {

struct Block {
    std::uint64_t block;
    std::uint64_t count;
};

// Files at blocks 100-101, 102-103 (3000 bytes), 110, an empty file, and one sharing block 110.
const std::vector<TracedFile> kFiles = {{100, 4096}, {102, 3000}, {110, 2048}, {120, 0}, {110, 100}};

std::string LbaTrace(const std::vector<Block>& reads) {
    std::string text = "# block list\n\n";
    for (const Block& r : reads)
        text +=
            (r.block % 2 ? "0x" +
                               [](std::uint64_t v) {
                                   char hex[32];
                                   std::snprintf(hex, sizeof hex, "%llx", static_cast<unsigned long long>(v));
                                   return std::string(hex);
                               }(r.block)
                         : std::to_string(r.block)) +
            (r.count == 1 ? "" : " " + std::to_string(r.count)) + "  # read\r\n";
    return text;
}

// The image read through fd 3 by lseek + read, pread64 and a read split by another thread; beside it
// the reads of a library, of a file that reuses the image's descriptor number later, and notices.
std::string StraceTrace(const std::vector<Block>& reads) {
    std::string text =
        "100 openat(AT_FDCWD, \"/lib/libc.so.6\", O_RDONLY|O_CLOEXEC) = 3\n"
        "100 read(3, \"\\177ELF\\2\\1\\1\"..., 832) = 832\n"
        "100 openat(AT_FDCWD, \"/tmp/x/im\\\"age.iso\", O_RDONLY) = 3\n"
        "100 openat(AT_FDCWD, \"/nonexistent\", O_RDONLY) = -1 ENOENT (No such file or directory)\n";
    for (std::size_t i = 0; i < reads.size(); ++i) {
        const std::uint64_t offset = reads[i].block * 2048, length = reads[i].count * 2048;
        switch (i % 3) {
        case 0:
            text +=
                "100 lseek(3, " + std::to_string(offset) + ", SEEK_SET) = " + std::to_string(offset) + "\n";
            text += "100 read(3, \"a,b) = 7\"..., " + std::to_string(length) +
                    ") = " + std::to_string(length) + "\n";
            break;
        case 1:
            text += "101 pread64(3</tmp/x/image.iso>, \"\\0\\0\"..., " + std::to_string(length) + ", " +
                    std::to_string(offset) + ") = " + std::to_string(length) + "\n";
            break;
        default:
            text +=
                "100 lseek(3, " + std::to_string(offset) + ", SEEK_SET) = " + std::to_string(offset) + "\n";
            text += "100 read(3,  <unfinished ...>\n";
            text += "101 close(4) = 0\n";
            text += "100 <... read resumed>\"x\"..., " + std::to_string(length) +
                    ") = " + std::to_string(length) + "\n";
            text += "100 read(3, \"\", 2048) = 0\n";
            break;
        }
    }
    text += "100 openat(AT_FDCWD, \"/tmp/other\", O_RDONLY) = 3\n"
            "100 pread64(3, \"\"..., 2048, 206848) = 2048\n"
            "100 read(3, 0x7ffc, 2048) = -1 EBADF (Bad file descriptor)\n"
            "100 --- SIGCHLD {si_signo=SIGCHLD} ---\n"
            "100 +++ exited with 0 +++\n";
    return text;
}

// D events of the reads (8 sectors of 512 bytes a block), with their Q events, writes and the summary.
std::string BlkparseTrace(const std::vector<Block>& reads) {
    std::string text;
    int seq = 1;
    for (const Block& r : reads) {
        const std::string range = std::to_string(r.block * 4) + " + " + std::to_string(r.count * 4);
        text += "  8,0    1  " + std::to_string(seq++) + "     0.000100000  4162  Q   R " + range +
                " [isoinfo]\n";
        text += "  8,0    1  " + std::to_string(seq++) + "     0.000200000  4162  D  RM " + range +
                " [isoinfo]\n";
        text += "  8,0    1  " + std::to_string(seq++) + "     0.000300000  4162  D  WS 800 + 8 [jbd2]\n";
        text += "  8,0    1  " + std::to_string(seq++) + "     0.000400000     0  C   R " + range + " [0]\n";
        text += "  8,0    1  " + std::to_string(seq++) + "     0.000500000  4162  P   N [isoinfo]\n";
    }
    text +=
        "\nCPU1 (8,0):\n Reads Queued:           3,       12KiB\t Writes Queued:           0,        0KiB\n"
        "Total (8,0):\n Reads Queued:           3,       12KiB\n\nThroughput (R/W): 6KiB/s / 0KiB/s\n"
        "Events (8,0): 9 entries\nSkips: 0 forward (0 -   0.0%)\n";
    return text;
}

struct OrderCase {
    const char* name;
    std::vector<Block> reads;
    std::vector<std::uint32_t> order;
    std::size_t filesRead;
};

const OrderCase kOrderCases[] = {
    {"a read spanning two files", {{101, 2}}, {0, 1, 2, 3, 4}, 2},
    {"a read inside a directory", {{50, 1}, {110, 1}}, {2, 4, 0, 1, 3}, 2},
    {"reads before the first file", {{10, 3}, {0, 1}, {103, 1}}, {1, 0, 2, 3, 4}, 1},
    {"a file read twice", {{102, 1}, {100, 1}, {103, 1}}, {1, 0, 2, 3, 4}, 2},
    {"a trace that reads nothing in the listing", {{10, 1}, {50, 2}, {200, 1}}, {0, 1, 2, 3, 4}, 0},
};

TEST(TraceOrder, EveryFormatGivesTheFilesInFirstReadOrder) {
    struct Format {
        TraceFormat format;
        std::string (*make)(const std::vector<Block>&);
    };
    const Format formats[] = {{TraceFormat::Lba, LbaTrace},
                              {TraceFormat::Strace, StraceTrace},
                              {TraceFormat::Blkparse, BlkparseTrace}};
    for (const Format& f : formats) {
        for (const OrderCase& c : kOrderCases) {
            SCOPED_TRACE(std::string(TraceFormatName(f.format)) + ": " + c.name);
            const std::string text = f.make(c.reads);
            EXPECT_EQ(GuessTraceFormat(text), f.format);
            TraceOptions options;
            if (f.format == TraceFormat::Strace)
                options.imagePath = "x/im\"age.iso"; // as the log writes it, unescaped
            TraceOptions named = options;
            named.format = f.format;
            if (f.format == TraceFormat::Strace)
                named.imagePath.clear(); // the file read most
            for (const TraceOptions& o : {options, named}) {
                const CResult<Trace> result = ReadTrace(text, o);
                ASSERT_TRUE(result.Ok()) << result.Error().line << ": " << result.Error().message;
                ASSERT_EQ(result->reads.size(), c.reads.size());
                for (std::size_t i = 0; i < c.reads.size(); ++i)
                    EXPECT_EQ(result->reads[i],
                              (TraceRead{c.reads[i].block * 2048, c.reads[i].count * 2048}));
                const ReadOrder order = FirstReadOrder(kFiles, result->reads, false);
                EXPECT_EQ(order.order, c.order);
                EXPECT_EQ(order.filesRead, c.filesRead);
            }
        }
    }
}

TEST(TraceOrder, UntouchedFirstPutsTheFilesNeverReadAheadInListingOrder) {
    const ReadOrder order = FirstReadOrder(kFiles, {{110 * 2048, 1}, {102 * 2048, 2048}}, true);
    EXPECT_EQ(order.order, (std::vector<std::uint32_t>{0, 3, 2, 4, 1}));
    EXPECT_EQ(order.filesRead, 3u);
}

TEST(TraceOrder, StraceImagePathPicksTheImageAndAReusedDescriptorIsAnotherFile) {
    const std::string log = "openat(AT_FDCWD, \"a.iso\", O_RDONLY) = 3\n"
                            "openat(AT_FDCWD, \"b.iso\", O_RDONLY) = 4\n"
                            "pread64(3, \"\"..., 2048, 4096) = 2048\n"
                            "lseek(4, 8192, SEEK_SET) = 8192\n"
                            "read(4, \"\"..., 4096) = 4096\n"
                            "read(4, \"\"..., 4096) = 100\n"
                            "openat(AT_FDCWD, \"/x/out\", O_WRONLY|O_CREAT, 0600) = 4\n"
                            "read(4, \"\"..., 4096) = 4096\n"
                            "openat(AT_FDCWD, \"/data/b.iso\", O_RDONLY) = 3\n"
                            "read(3, \"\"..., 2048) = 2048\n";
    struct Case {
        const char* imagePath;
        std::vector<TraceRead> reads;
    };
    const Case cases[] = {
        {"a.iso", {{4096, 2048}}},
        {"b.iso", {{8192, 4096}, {12288, 100}, {0, 2048}}},
        {"/home/u/b.iso", {{8192, 4096}, {12288, 100}}},
        {"", {{8192, 4096}, {12288, 100}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.imagePath);
        TraceOptions options;
        options.imagePath = c.imagePath;
        const CResult<Trace> result = ReadTrace(log, options);
        ASSERT_TRUE(result.Ok()) << result.Error().message;
        EXPECT_EQ(result->format, TraceFormat::Strace);
        EXPECT_EQ(result->reads, c.reads);
    }
}

TEST(TraceReaders, ALineTheFormatCannotReadFailsNamingIt) {
    struct Case {
        std::optional<TraceFormat> format;
        const char* text;
        long long line;
    };
    const Case cases[] = {
        {TraceFormat::Lba, "1\n2 3\n\n4 x\n", 4},
        {TraceFormat::Lba, "5 0\n", 1},
        {TraceFormat::Lba, "1 2 3\n", 1},
        {TraceFormat::Lba, "0xFFFFFFFFFFFFFFFF\n", 1},
        {TraceFormat::Lba, "99999999999999999999\n", 1},
        {std::nullopt, "12 4\nread(3, \"\", 2048) = 2048\n", 2},
        {TraceFormat::Strace, "openat(AT_FDCWD, \"a\", O_RDONLY) = 3\nhello world\n", 2},
        {TraceFormat::Strace, "openat(AT_FDCWD, \"a\", O_RDONLY) = 3\nread(3, \"\"..., 2048\n", 2},
        {TraceFormat::Strace, "pread64(3, \"\", 2048) = 2048\n", 1},
        {TraceFormat::Strace, "read(3, \"abc, 2048) = 2048\n", 1},
        {TraceFormat::Blkparse, "  8,0 1 1 0.1 5 D R 10 + 8 [a]\n  8,0 1 2 0.1 5 D R 1x + 8 [a]\n", 2},
        {TraceFormat::Blkparse, "  8,0 1 1 0.1 5 Q R 10 8 [a]\n", 1},
        {TraceFormat::Blkparse, "  8,0 1 1 0.1 5 D R 10 + 8 [a]\nsomething else\n", 2},
        {std::nullopt, "hello\n", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TraceOptions options;
        options.format = c.format;
        const CResult<Trace> result = ReadTrace(c.text, options);
        ASSERT_FALSE(result.Ok());
        EXPECT_EQ(result.Error().line, c.line);
        EXPECT_FALSE(result.Error().message.empty());
    }
}

TEST(TraceReaders, BlkparseGivesQueueEventsWhenNoIssueEventsAndScalesBySectorSize) {
    const std::string text = "  8,16   0        1     0.000000000  1234  Q  RA 64 + 16 [prog]\n"
                             "  8,16   0        2     0.000000100  1234  Q  WS 8 + 8 [prog]\n"
                             "  8,16   0        3     0.000000200  1234  Q   R 8 + 4 [prog]\n";
    TraceOptions options;
    options.sectorSize = 4096;
    const CResult<Trace> result = ReadTrace(text, options);
    ASSERT_TRUE(result.Ok());
    EXPECT_EQ(result->reads, (std::vector<TraceRead>{{64 * 4096, 16 * 4096}, {8 * 4096, 4 * 4096}}));
}

TEST(SeekFigures, HandWorkedTraceBeforeAndAfterANewLayout) {
    // Blocks 100-101, then 102 (no seek), 110 (7 blocks on), 100 (11 blocks back).
    const std::vector<TraceRead> reads = {
        {100 * 2048, 2 * 2048}, {102 * 2048, 2048}, {110 * 2048, 2048}, {100 * 2048, 2048}};
    const SeekFigures before = MeasureSeeks(reads, DriveModel{});
    EXPECT_EQ(before.reads, 4u);
    EXPECT_EQ(before.seeks, 2u);
    EXPECT_EQ(before.travelBlocks, 18u);
    EXPECT_DOUBLE_EQ(before.estimatedSeconds, 0.2 + 5 * 2048 / (1385.0 * 1024));

    // The third file first (block 100), then the first (101-102) and the second (103-104).
    const std::vector<TracedFile> files = {{100, 4096}, {102, 3000}, {110, 2048}};
    const std::vector<TraceRead> replayed = ReplayReads(files, {101, 103, 100}, reads);
    EXPECT_EQ(replayed,
              (std::vector<TraceRead>{
                  {101 * 2048, 2 * 2048}, {103 * 2048, 2048}, {100 * 2048, 2048}, {101 * 2048, 2048}}));
    const SeekFigures after = MeasureSeeks(replayed, DriveModel{50, 2048});
    EXPECT_EQ(after.seeks, 1u);
    EXPECT_EQ(after.travelBlocks, 4u);
    EXPECT_DOUBLE_EQ(after.estimatedSeconds, 0.05 + 5 * 2048 / (2048.0 * 1024));
    EXPECT_DOUBLE_EQ(SavedShare(before, MeasureSeeks(replayed, DriveModel{})),
                     1 - (0.1 + 5 * 2048 / (1385.0 * 1024)) / before.estimatedSeconds);
}

TEST(SeekFigures, ReplayPartsAReadTheNewLayoutSplitsAndKeepsBytesOutsideFiles) {
    const std::vector<TracedFile> files = {{100, 4096}, {102, 3000}, {130, 10}};
    struct Case {
        const char* name;
        std::vector<std::uint64_t> starts;
        std::vector<TraceRead> reads;
        std::vector<TraceRead> replayed;
    };
    const Case cases[] = {
        {"the second file moved before the first",
         {102, 100, kNoNewStart},
         {{101 * 2048 + 10, 2048}, {50 * 2048, 100}},
         {{103 * 2048 + 10, 2038}, {100 * 2048, 10}, {50 * 2048, 100}}},
        {"both moved on together",
         {200, 202, 130},
         {{99 * 2048, 4 * 2048}},
         {{99 * 2048, 2048}, {200 * 2048, 3 * 2048}}},
        {"a file the new layout lacks stays",
         {kNoNewStart, 5, 6},
         {{100 * 2048, 3 * 2048}},
         {{100 * 2048, 2 * 2048}, {5 * 2048, 2048}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReplayReads(files, c.starts, c.reads), c.replayed);
    }
}

TEST(SeekFigures, TravelAndSeeksCountBytesNotBlocks) {
    // strace reads of 100 bytes one after the other are not seeks; a jump of 3 KiB back is 1.5 blocks.
    const std::vector<TraceRead> reads = {{0, 100}, {100, 100}, {200, 5000}, {2128, 100}};
    const SeekFigures figures = MeasureSeeks(reads, DriveModel{});
    EXPECT_EQ(figures.seeks, 1u);
    EXPECT_EQ(figures.travelBlocks, 2u);
    EXPECT_EQ(figures.bytesRead, 5300u);
}

} // namespace
