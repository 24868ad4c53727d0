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
    const char* build;    // shell command; TREE and IMG are replaced
    const char* isoinfo;  // isoinfo options whose names equal the import's; nullptr: none does
    bool rockRidge;       // the names are the tree's own
};

const ImageKind kKinds[] = {
    {"xorriso_rr_joliet", "xorriso -report_about SORRY -outdev IMG -joliet on -map TREE / -commit", "-R", true},
    {"genisoimage_rr_joliet",
     "genisoimage -quiet -R -J -joliet-long -input-charset iso8859-1 -o IMG TREE", "-R", true},
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
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
            text.replace(at, what.size(), with);
        return text;
    }

    fs::path BuildImage(const ImageKind& kind) {
        const fs::path image = s_dir->Path() / (std::string(kind.name) + ".iso");
        if (!fs::exists(image)) {
            const std::string command = Replace(Replace(kind.build, "TREE", Quoted(s_dir->Path() / "tree")),
                                                "IMG", Quoted(image));
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
                         static_cast<std::uint32_t>(std::stoul(line.substr(9, 8), nullptr, 16)), line.substr(18)});
    }
    return lines;
}

}  // namespace

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
    const RunResult fromStdin = RunShell(dir, "cat " + Quoted(report) + " | " + Cli() + " import --from report-lba -");
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

}  // namespace

TEST(DiscImportBadImageTest, FailsWithStatus2AndAReasonWithoutAnyListing) {
    TempDir dir;
    MakeTree(dir.Path() / "tree", 0);
    const fs::path good = dir.Path() / "good.iso";
    ASSERT_EQ(RunShell(dir.Path(), "xorriso -outdev " + Quoted(good) + " -joliet on -map " +
                                  Quoted(dir.Path() / "tree") + " / -commit")
                  .status,
              0);
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
             SetExtent(bytes, FindRecord(bytes, FindRecord(bytes, a, "B"), "C"), Le32(bytes, kRootRecord + 2));
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
        const RunResult result = RunShell(dir.Path(), "timeout 60 " + Cli() + " import " + Quoted(bad) + " -o " +
                                                     Quoted(listing));
        EXPECT_EQ(result.status, 2) << result.err;
        EXPECT_NE(result.err.find(bad.string() + ": "), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(c.reasonPart), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(listing));
    }
}

namespace {

// Replaces the Rock Ridge name `from` in the record at `record` by `to`, of the same length.
void SetRockRidgeName(std::string& image, std::size_t record, const std::string& from, const std::string& to) {
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
    record[28] = record[31] = 1;  // volume sequence number
    record[32] = static_cast<char>(id.size());
    record.replace(33, id.size(), id);
    return record;
}

// An image whose folders form one chain /D/D/.../D `depth` levels deep, with the file F;1 at its end.
std::string FolderChain(std::uint32_t depth) {
    const std::uint32_t firstFolder = 18, fileBlock = firstFolder + depth + 1, blocks = fileBlock + 1;
    std::string image(std::size_t{blocks} * kBlock, '\0');
    std::string pvd(kBlock, '\0');
    pvd.replace(0, 7, "\x01" "CD001\x01");
    for (int i = 0; i < 4; ++i)
        pvd[80 + static_cast<std::size_t>(i)] = pvd[87 - static_cast<std::size_t>(i)] = static_cast<char>(blocks >> (8 * i));
    pvd[120] = pvd[123] = pvd[124] = pvd[127] = 1;
    pvd[129] = pvd[130] = 8;  // block size 2048, both byte orders
    pvd[881] = 1;             // file structure version
    pvd.replace(156, 34, Record(firstFolder, kBlock, true, std::string(1, '\0')));
    image.replace(16 * kBlock, kBlock, pvd);
    image.replace(17 * kBlock, 7, "\xff" "CD001\x01");
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

}  // namespace

TEST(DiscImportBadImageTest, RefusesWhatTheEngineSkipsOrAListingCannotCarryNamingThePath) {
    TempDir dir;
    MakeTree(dir.Path() / "tree", 0);
    WriteFile(dir.Path() / "tree" / "zz", "two letters");
    const fs::path good = dir.Path() / "good.iso";
    ASSERT_EQ(RunShell(dir.Path(), "xorriso -outdev " + Quoted(good) + " -joliet on -map " +
                                  Quoted(dir.Path() / "tree") + " / -commit")
                  .status,
              0);
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
        {"a folder chain deeper than any path", FolderChain(4000), "nested deeper than 2048 levels"},
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
            const RunResult result = RunShell(dir.Path(), "timeout 60 " + Cli() + command + Quoted(bad) + rest);
            EXPECT_EQ(result.status, 2) << result.err;
            EXPECT_NE(result.err.find(c.reasonPart), std::string::npos) << result.err;
            EXPECT_FALSE(fs::exists(output));
        }
    }

    // A chain as deep as paths allow is read whole.
    WriteFile(dir.Path() / "deep.iso", FolderChain(2000));
    const RunResult deep = RunShell(dir.Path(), Cli() + " import " + Quoted(dir.Path() / "deep.iso"));
    EXPECT_EQ(deep.status, 0) << deep.err;
    EXPECT_EQ(deep.out.size(), 18 + 2 * 2000 + 2 + 2u);  // START|SIZE|, /D per level, /F, CR LF
}
