// quarrow-cli import on real images built by xorriso and genisoimage: the listing equals the reports of
// the field's tools and the tree the image was built from; damaged images fail with a reason.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <set>
#include <sstream>
#include <vector>

#include "disc_test_tools.h"

namespace {

using namespace disc_test;

struct ImageKind {
    const char* name;
    const char* build;   // shell command; TREE and IMG are replaced
    const char* isoinfo; // isoinfo options whose names equal the import's; nullptr: none does
    bool rockRidge;      // the names are the tree's own
};

const ImageKind kKinds[] = {
    {"xorriso_rr_joliet", "xorriso -report_about SORRY -outdev IMG -joliet on -map TREE / -commit", "-R",
     true},
    {"genisoimage_rr_joliet", "genisoimage -quiet -R -J -joliet-long -input-charset iso8859-1 -o IMG TREE",
     "-R", true},
    {"genisoimage_joliet_only", "genisoimage -quiet -J -joliet-long -input-charset iso8859-1 -o IMG TREE",
     nullptr, false},
    {"genisoimage_plain_iso9660", "genisoimage -quiet -o IMG TREE", "", false},
};

constexpr int kManyFiles = 3000;

class DiscImportTest : public ::testing::TestWithParam<ImageKind> {
protected:
    static void SetUpTestSuite() {
        s_dir = new TempDir;
        s_files = MakeTree(s_dir->Path() / "tree", kManyFiles);
    }
    static void TearDownTestSuite() {
        delete s_dir;
        s_dir = nullptr;
    }

    static std::string Replace(std::string text, const std::string& what, const std::string& with) {
        for (std::size_t at = text.find(what); at != std::string::npos;
             at = text.find(what, at + with.size()))
            text.replace(at, what.size(), with);
        return text;
    }

    fs::path BuildImage(const ImageKind& kind) {
        const fs::path image = s_dir->Path() / (std::string(kind.name) + ".iso");
        if (!fs::exists(image)) {
            const std::string command =
                Replace(Replace(kind.build, "TREE", Quoted(s_dir->Path() / "tree")), "IMG", Quoted(image));
            const RunResult built = RunShell(s_dir->Path(), command);
            EXPECT_EQ(built.status, 0) << command << "\n" << built.err;
        }
        return image;
    }

    static TempDir* s_dir;
    static std::map<std::string, std::string> s_files;
};

TempDir* DiscImportTest::s_dir = nullptr;
std::map<std::string, std::string> DiscImportTest::s_files;

struct ListingLine {
    std::uint32_t start;
    std::uint32_t size;
    std::string path;
};

std::vector<ListingLine> ParseListing(const std::string& listing) {
    std::vector<ListingLine> lines;
    std::size_t at = 0;
    while (at < listing.size()) {
        const std::size_t end = listing.find("\r\n", at);
        EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
        if (end == std::string::npos)
            break;
        const std::string line = listing.substr(at, end - at);
        at = end + 2;
        EXPECT_TRUE(line.size() > 18 && line[8] == '|' && line[17] == '|' &&
                    line.find_first_not_of("0123456789ABCDEF") == 8 &&
                    line.find_first_not_of("0123456789ABCDEF", 9) == 17)
            << line;
        lines.push_back({static_cast<std::uint32_t>(std::stoul(line.substr(0, 8), nullptr, 16)),
                         static_cast<std::uint32_t>(std::stoul(line.substr(9, 8), nullptr, 16)),
                         line.substr(18)});
    }
    return lines;
}

} // namespace

TEST_P(DiscImportTest, ListingEqualsTheToolsReportsAndTheTree) {
    const ImageKind& kind = GetParam();
    const fs::path dir = s_dir->Path();
    const fs::path image = BuildImage(kind);
    ASSERT_TRUE(fs::exists(image));

    const RunResult imported = RunShell(dir, Cli() + " import " + Quoted(image));
    ASSERT_EQ(imported.status, 0) << imported.err;
    const std::vector<ListingLine> lines = ParseListing(imported.out);
    ASSERT_EQ(lines.size(), s_files.size()) << "one line per file, none for folders";
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end(),
                               [](const ListingLine& a, const ListingLine& b) { return a.start < b.start; }));
    if (kind.rockRidge) {
        std::map<std::string, std::string> tree = s_files;
        for (const ListingLine& line : lines) {
            SCOPED_TRACE(line.path);
            const auto file = tree.find(line.path);
            ASSERT_NE(file, tree.end()) << "a path of the tree, listed once";
            EXPECT_EQ(line.size, file->second.size());
            tree.erase(file);
        }
    }

    // The report of xorriso, from a file and from stdin, converts to the same bytes.
    const fs::path report = dir / (std::string(kind.name) + ".report");
    ASSERT_EQ(RunShell(dir, "xorriso -report_about SORRY -indev " + Quoted(image) +
                                " -find / -type f -exec report_lba -- >" + Quoted(report))
                  .status,
              0);
    const RunResult fromReport = RunShell(dir, Cli() + " import --from report-lba " + Quoted(report));
    EXPECT_EQ(fromReport.status, 0) << fromReport.err;
    EXPECT_EQ(fromReport.out, imported.out);
    const RunResult fromStdin =
        RunShell(dir, "cat " + Quoted(report) + " | " + Cli() + " import --from report-lba -");
    EXPECT_EQ(fromStdin.out, imported.out);

    if (kind.isoinfo) {
        const RunResult fromIsoinfo =
            RunShell(dir, "isoinfo -l " + std::string(kind.isoinfo) + " -i " + Quoted(image) + " | " + Cli() +
                              " import --from isoinfo - -o " + Quoted(dir / "isoinfo.lst"));
        EXPECT_EQ(fromIsoinfo.status, 0) << fromIsoinfo.err;
        EXPECT_EQ(ReadFile(dir / "isoinfo.lst"), imported.out);
    }
}

INSTANTIATE_TEST_SUITE_P(Images, DiscImportTest, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

struct BadImage {
    const char* name;
    std::function<std::string(std::string)> damage;
    const char* reasonPart;
};

// Makes `image` from the folder "tree" in `dir` with Joliet names; returns xorriso's exit status.
int MakeGoodImage(const fs::path& dir, const fs::path& image) {
    return RunShell(dir, "xorriso -outdev " + Quoted(image) + " -joliet on -map " + Quoted(dir / "tree") +
                             " / -commit")
        .status;
}

} // namespace

TEST(DiscImportBadImageTest, FailsWithStatus2AndAReasonWithoutAnyListing) {
    TempDir dir;
    MakeTree(dir.Path() / "tree", 0);
    const fs::path good = dir.Path() / "good.iso";
    ASSERT_EQ(MakeGoodImage(dir.Path(), good), 0);
    const std::string image = ReadFile(good);
    const BadImage cases[] = {
        {"empty", [](std::string) { return std::string(); }, "not an ISO 9660 image"},
        {"text", [](std::string) { return std::string(40000, 'x'); }, "Volume Descriptor"},
        {"truncated", [](std::string bytes) { return bytes.substr(0, 20 * kBlock); }, "truncated"},
        {"folder in itself",
         [](std::string bytes) {
             SetExtent(bytes, FindRecord(bytes, kRootRecord, "A"), Le32(bytes, kRootRecord + 2));
             return bytes;
         },
         "leads back into itself"},
        {"folder in its grandparent",
         [](std::string bytes) {
             const std::size_t a = FindRecord(bytes, kRootRecord, "A");
             SetExtent(bytes, FindRecord(bytes, FindRecord(bytes, a, "B"), "C"),
                       Le32(bytes, kRootRecord + 2));
             return bytes;
         },
         "leads back into itself"},
        {"absurd extent",
         [](std::string bytes) {
             SetExtent(bytes, FindRecord(bytes, kRootRecord, "ONE"), 0x7FFFFFF0);
             return bytes;
         },
         "lies past the end of the image"},
    };
    for (const BadImage& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path bad = dir.Path() / "bad.iso";
        WriteFile(bad, c.damage(image));
        const fs::path listing = dir.Path() / "bad.lst";
        const RunResult result =
            RunShell(dir.Path(), "timeout 60 " + Cli() + " import " + Quoted(bad) + " -o " + Quoted(listing));
        EXPECT_EQ(result.status, 2) << result.err;
        EXPECT_NE(result.err.find(bad.string() + ": "), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(c.reasonPart), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(listing));
    }
}

namespace {

// Replaces the Rock Ridge name `from` in the record at `record` by `to`, of the same length.
void SetRockRidgeName(std::string& image, std::size_t record, const std::string& from,
                      const std::string& to) {
    const std::size_t length = static_cast<unsigned char>(image[record]);
    const std::string entry = std::string("NM") + static_cast<char>(5 + from.size()) + '\x01' + '\x00' + from;
    const std::size_t at = image.substr(record, length).find(entry);
    ASSERT_NE(at, std::string::npos) << from;
    image.replace(record + at + 5, to.size(), to);
}

// A directory record of a plain ISO 9660 tree.
std::string Record(std::uint32_t lba, std::uint32_t size, bool folder, const std::string& id) {
    std::string record(33 + id.size() + (id.size() % 2 == 0 ? 1 : 0), '\0');
    record[0] = static_cast<char>(record.size());
    for (int i = 0; i < 4; ++i) {
        const auto at = static_cast<std::size_t>(i);
        record[2 + at] = record[9 - at] = static_cast<char>(lba >> (8 * i));
        record[10 + at] = record[17 - at] = static_cast<char>(size >> (8 * i));
    }
    record[25] = folder ? 2 : 0;
    record[28] = record[31] = 1; // volume sequence number
    record[32] = static_cast<char>(id.size());
    record.replace(33, id.size(), id);
    return record;
}

// An image whose folders form one chain /D/D/.../D `depth` levels deep, with the file F;1 at its end.
std::string FolderChain(std::uint32_t depth) {
    const std::uint32_t firstFolder = 18, fileBlock = firstFolder + depth + 1, blocks = fileBlock + 1;
    std::string image(std::size_t{blocks} * kBlock, '\0');
    std::string pvd(kBlock, '\0');
    pvd.replace(0, 7,
                "\x01"
                "CD001\x01");
    for (int i = 0; i < 4; ++i)
        pvd[80 + static_cast<std::size_t>(i)] = pvd[87 - static_cast<std::size_t>(i)] =
            static_cast<char>(blocks >> (8 * i));
    pvd[120] = pvd[123] = pvd[124] = pvd[127] = 1;
    pvd[129] = pvd[130] = 8; // block size 2048, both byte orders
    pvd[881] = 1;            // file structure version
    pvd.replace(156, 34, Record(firstFolder, kBlock, true, std::string(1, '\0')));
    image.replace(16 * kBlock, kBlock, pvd);
    image.replace(17 * kBlock, 7,
                  "\xff"
                  "CD001\x01");
    for (std::uint32_t level = 0; level <= depth; ++level) {
        const std::uint32_t self = firstFolder + level, parent = level == 0 ? self : self - 1;
        std::string folder = Record(self, kBlock, true, std::string(1, '\0')) +
                             Record(parent, kBlock, true, std::string(1, '\1'));
        folder += level < depth ? Record(self + 1, kBlock, true, "D") : Record(fileBlock, 1, false, "F;1");
        image.replace(std::size_t{self} * kBlock, folder.size(), folder);
    }
    image[std::size_t{fileBlock} * kBlock] = 'x';
    return image;
}

} // namespace

TEST(DiscImportBadImageTest, RefusesWhatTheEngineSkipsOrAListingCannotCarryNamingThePath) {
    TempDir dir;
    MakeTree(dir.Path() / "tree", 0);
    WriteFile(dir.Path() / "tree" / "zz", "two letters");
    const fs::path good = dir.Path() / "good.iso";
    ASSERT_EQ(MakeGoodImage(dir.Path(), good), 0);
    const std::string image = ReadFile(good);
    const std::size_t folderA = FindRecord(image, kRootRecord, "A");
    const auto renamed = [&](std::size_t record, const std::string& from, const std::string& to) {
        std::string bytes = image;
        SetRockRidgeName(bytes, record, from, to);
        return bytes;
    };
    std::string skipped = image;
    const std::size_t folderB = Le32(image, FindRecord(image, folderA, "B") + 2) * kBlock;
    skipped.replace(folderB, kBlock, std::string(kBlock, '\xff'));
    struct Case {
        const char* name;
        std::string bytes;
        std::string reasonPart;
    };
    WriteFile(dir.Path() / "order.lst", "00000000|00000001|/not there\r\n");
    const Case cases[] = {
        {"a folder the engine cannot open", skipped, "Can't open dir /A/B"},
        {"LF in a Rock Ridge name", renamed(FindRecord(image, kRootRecord, "ONE"), "one", "o\ne"),
         "/o\ne (its name holds a line break)"},
        {"CR in a Rock Ridge name", renamed(FindRecord(image, kRootRecord, "ONE"), "one", "o\re"),
         "/o\re (its name holds a line break)"},
        {".. as a Rock Ridge name", renamed(FindRecord(image, kRootRecord, "ZZ"), "zz", ".."),
         "/.. (its name is . or ..)"},
        {". as a Rock Ridge folder name", renamed(folderA, "A", "."), "/. (its name is . or ..)"},
        {"a folder chain deeper than any path", FolderChain(2000), "nested deeper than 512 levels"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path bad = dir.Path() / "bad.iso";
        WriteFile(bad, c.bytes);
        for (const char* command : {" import ", " rebuild "}) {
            SCOPED_TRACE(command);
            const fs::path output = dir.Path() / "out";
            const std::string rest = std::string(command) == " import "
                                         ? " -o " + Quoted(output)
                                         : " --order " + Quoted(dir.Path() / "order.lst") +
                                               " --ignore-missing -o " + Quoted(output);
            const RunResult result =
                RunShell(dir.Path(), "timeout 60 " + Cli() + command + Quoted(bad) + rest);
            EXPECT_EQ(result.status, 2) << result.err;
            EXPECT_NE(result.err.find(c.reasonPart), std::string::npos) << result.err;
            EXPECT_FALSE(fs::exists(output));
        }
    }

    // A chain nearly as deep as allowed is read whole.
    WriteFile(dir.Path() / "deep.iso", FolderChain(500));
    const RunResult deep = RunShell(dir.Path(), Cli() + " import " + Quoted(dir.Path() / "deep.iso"));
    EXPECT_EQ(deep.status, 0) << deep.err;
    EXPECT_EQ(deep.out.size(), 18 + 2 * 500 + 2 + 2u); // START|SIZE|, /D per level, /F, CR LF
}

namespace {

// An image whose /huge.bin is 4 GiB + 4 KiB in two extents, the second 0x1FFFFF blocks after the first,
// written sparse: the file takes only the blocks of its small tree and of the last extent.
fs::path HugeFileImage(const fs::path& dir, std::uint32_t& first, std::uint32_t& second) {
    WriteFile(dir / "huge tree" / "huge.bin", "head");
    WriteFile(dir / "huge tree" / "small.txt", "small");
    const fs::path path = dir / "huge.iso";
    EXPECT_EQ(RunShell(dir, "xorriso -outdev " + Quoted(path) + " -compliance iso_9660_level=3 -map " +
                                Quoted(dir / "huge tree") + " / -commit")
                  .status,
              0);
    std::string image = ReadFile(path);
    const std::size_t at = FindRecord(image, kRootRecord, "HUGE.BIN");
    const std::size_t length = static_cast<unsigned char>(image[at]);
    first = Le32(image, at + 2);
    second = first + 0x1FFFFF;
    std::string tail = image.substr(at, length);
    image[at + 25] = static_cast<char>(image[at + 25] | 0x80); // not the file's last record
    const auto setSize = [](std::string& bytes, std::size_t record, std::uint32_t size) {
        for (int i = 0; i < 4; ++i) {
            bytes[record + 10 + static_cast<std::size_t>(i)] = static_cast<char>(size >> (8 * i));
            bytes[record + 17 - static_cast<std::size_t>(i)] = static_cast<char>(size >> (8 * i));
        }
    };
    setSize(image, at, 0xFFFFF800);
    setSize(tail, 0, 0x1800);
    SetExtent(tail, 0, second);
    // The records after it move up by one record; the folder's block has room.
    const std::size_t blockEnd = (at / kBlock + 1) * kBlock;
    image.insert(at + length, tail);
    EXPECT_EQ(image.substr(blockEnd, length), std::string(length, '\0'));
    image.erase(blockEnd, length);
    WriteFile(path, image);
    fs::resize_file(path, (std::uintmax_t{second} + 3) * kBlock);
    std::fstream(path, std::ios::in | std::ios::out | std::ios::binary)
        .seekp(std::streamoff{second} * kBlock + 0x17FC)
        .write("tail", 4);
    return path;
}

std::vector<ListingLine> HugeLines(const std::vector<ListingLine>& lines) {
    std::vector<ListingLine> huge;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(huge),
                 [](const ListingLine& line) { return line.path == "/huge.bin"; });
    return huge;
}

} // namespace

TEST(DiscHugeFileTest, AFileOver4GiBIsListedAsItsTwoExtents) {
    TempDir dir;
    std::uint32_t first = 0, second = 0;
    const fs::path image = HugeFileImage(dir.Path(), first, second);
    const RunResult imported = RunShell(dir.Path(), Cli() + " import " + Quoted(image));
    ASSERT_EQ(imported.status, 0) << imported.err;
    const std::vector<ListingLine> huge = HugeLines(ParseListing(imported.out));
    ASSERT_EQ(huge.size(), 2u) << imported.out;
    EXPECT_EQ(huge[0].start, first);
    EXPECT_EQ(huge[0].size, 0xFFFFF800u);
    EXPECT_EQ(huge[1].start, second);
    EXPECT_EQ(huge[1].size, 0x1800u);
}

// Writes two images of 4 GiB: run with QUARROW_LONG_TESTS=1.
TEST(DiscHugeFileTest, AFileOver4GiBIsRebuiltWholeInItsPlace) {
    if (!std::getenv("QUARROW_LONG_TESTS"))
        GTEST_SKIP() << "writes 4 GiB; set QUARROW_LONG_TESTS=1 to run it";
    TempDir dir;
    std::uint32_t first = 0, second = 0;
    const fs::path image = HugeFileImage(dir.Path(), first, second);
    WriteFile(dir.Path() / "order.lst", "00000000|00000001|/small.txt\r\n00000000|00000001|/huge.bin\r\n");
    const fs::path output = dir.Path() / "new.iso";
    const RunResult rebuilt =
        RunShell(dir.Path(), Cli() + " rebuild " + Quoted(image) + " --order " +
                                 Quoted(dir.Path() / "order.lst") + " -o " + Quoted(output));
    ASSERT_EQ(rebuilt.status, 0) << rebuilt.err;
    const RunResult imported = RunShell(dir.Path(), Cli() + " import " + Quoted(output));
    ASSERT_EQ(imported.status, 0) << imported.err;
    const std::vector<ListingLine> lines = ParseListing(imported.out);
    ASSERT_EQ(lines.size(), 3u) << imported.out;
    EXPECT_EQ(lines[0].path, "/small.txt");
    const std::vector<ListingLine> huge = HugeLines(lines);
    ASSERT_EQ(huge.size(), 2u) << imported.out;
    EXPECT_EQ(std::uint64_t{huge[0].size} + huge[1].size, 0xFFFFF800ull + 0x1800);
    // The file's last bytes, where its last extent ends.
    std::ifstream in(output, std::ios::binary);
    in.seekg(std::streamoff{huge[1].start} * kBlock + huge[1].size - 4);
    char last[4] = {};
    in.read(last, 4);
    EXPECT_EQ(std::string(last, 4), "tail");
}
