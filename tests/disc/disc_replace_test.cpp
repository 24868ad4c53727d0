// quarrow-cli replace, which and diff on real images that xorriso and genisoimage build from a tree the
// test makes. After every replacement: xorriso's report_lba shows every other file at its old block, two
// independent readers (xorriso and 7z) extract what they extracted before except the new content, isovfy
// finds no error, and the bytes that changed are only those the edit may change.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <vector>

#include "disc_test_tools.h"

namespace {

using namespace disc_test;

struct Extent {
    std::uint32_t lba = 0;
    std::uint32_t blocks = 0;
    std::uint64_t size = 0;
    bool operator==(const Extent&) const = default;
};
using Layout = std::map<std::string, Extent>;

std::string Unquoted(std::string text) {
    if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'')
        text = text.substr(1, text.size() - 2);
    for (std::size_t at; (at = text.find("'\"'\"'")) != std::string::npos;)
        text.replace(at, 5, "'");
    return text;
}

// Where xorriso finds every file's data.
Layout ReportLba(const fs::path& dir, const fs::path& image) {
    const RunResult report = RunShell(dir, "xorriso -report_about SORRY -indev " + Quoted(image) +
                                               " -find / -type f -exec report_lba --");
    EXPECT_EQ(report.status, 0) << report.err;
    Layout layout;
    std::istringstream lines(report.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("File data lba:", 0) != 0)
            continue;
        std::vector<std::string> fields;
        std::size_t at = 14;
        for (int i = 0; i < 4; ++i) {
            const std::size_t comma = line.find(',', at);
            fields.push_back(line.substr(at, comma - at));
            at = comma + 1;
        }
        const std::string path = Unquoted(line.substr(line.find('\'', at)));
        layout[path] = {static_cast<std::uint32_t>(std::stoul(fields[1])),
                        static_cast<std::uint32_t>(std::stoul(fields[2])), std::stoull(fields[3])};
    }
    return layout;
}

std::map<std::string, std::string> ReadTree(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files["/" + fs::relative(entry.path(), root).generic_string()] = ReadFile(entry.path());
    return files;
}

// The files a reader extracts from the image: "xorriso" or "7z".
std::map<std::string, std::string> Extract(const fs::path& dir, const fs::path& image,
                                           const std::string& reader) {
    const fs::path out = dir / ("extract-" + reader);
    RunShell(dir, "chmod -R u+rwx " + Quoted(out) + "; rm -rf " + Quoted(out));
    const std::string command = reader == "7z" ? "7z x -y -o" + Quoted(out) + " " + Quoted(image)
                                               : "xorriso -report_about SORRY -osirrox on -indev " +
                                                     Quoted(image) + " -extract / " + Quoted(out);
    const RunResult run = RunShell(dir, command);
    EXPECT_EQ(run.status, 0) << command << "\n" << run.err;
    RunShell(dir, "chmod -R u+rwx " + Quoted(out));
    return ReadTree(out);
}

std::uint32_t VolumeBlocks(const std::string& image) {
    return Le32(image, 16 * kBlock + 80);
}

// Where each record of a directory block starts.
std::vector<std::size_t> RecordStarts(const std::string& image, std::size_t block) {
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < kBlock;) {
        const auto length = static_cast<unsigned char>(image[block * kBlock + at]);
        if (length == 0)
            break;
        starts.push_back(at);
        at += length;
    }
    return starts;
}

struct ImageKind {
    const char* name;
    const char* build; // a shell command; TREE and OUT are replaced
};

const ImageKind kImageKinds[] = {
    {"xorriso_rr_joliet",
     "xorriso -report_about SORRY -outdev OUT -hardlinks on -joliet on -map TREE / -commit"},
    {"genisoimage_rr_joliet", "genisoimage -quiet -R -J -o OUT TREE"},
    {"genisoimage_plain", "genisoimage -quiet -o OUT TREE"},
    {"xorriso_el_torito_system_area",
     "xorriso -report_about SORRY -as mkisofs -quiet -R -J -G TREE/../sysarea.bin -b boot/boot.img "
     "-no-emul-boot -boot-load-size 4 -o OUT TREE"},
};

std::string Replaced(std::string command, const fs::path& tree, const fs::path& out) {
    for (const auto& [key, value] :
         {std::pair{std::string("TREE"), tree}, std::pair{std::string("OUT"), out}})
        for (std::size_t at; (at = command.find(key)) != std::string::npos;)
            command.replace(at, key.size(), Quoted(value));
    return command;
}

// Content of a given length that no file of the tree has.
std::string NewContent(std::size_t size, char seed) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(seed + i * 13 + i / 251);
    return bytes;
}

// The image of one kind, what xorriso reports of it and what both readers extract from it: made once for
// all the tests of that kind, and only read by them.
struct BuiltImage {
    TempDir dir;
    fs::path image;
    std::string bytes;
    Layout layout;
    std::map<std::string, std::string> xorriso, sevenZip;
};

const BuiltImage& Built(const ImageKind& kind) {
    static std::map<std::string, std::unique_ptr<BuiltImage>> built;
    std::unique_ptr<BuiltImage>& slot = built[kind.name];
    if (slot)
        return *slot;
    slot = std::make_unique<BuiltImage>();
    BuiltImage& b = *slot;
    const fs::path tree = b.dir.Path() / "tree";
    MakeTree(tree, 300, false);
    WriteFile(tree / "boot/boot.img", NewContent(4 * kBlock, 'B'));
    WriteFile(tree / "hl/a", NewContent(7777, 'H'));
    fs::create_hard_link(tree / "hl/a", tree / "hl/b");
    WriteFile(b.dir.Path() / "sysarea.bin", NewContent(16 * kBlock, 'S'));
    b.image = b.dir.Path() / "old.iso";
    const RunResult run = RunShell(b.dir.Path(), Replaced(kind.build, tree, b.image));
    EXPECT_EQ(run.status, 0) << run.err;
    b.bytes = ReadFile(b.image);
    b.layout = ReportLba(b.dir.Path(), b.image);
    b.xorriso = Extract(b.dir.Path(), b.image, "xorriso");
    b.sevenZip = Extract(b.dir.Path(), b.image, "7z");
    return b;
}

class DiscReplaceTest : public ::testing::TestWithParam<ImageKind> {
protected:
    void SetUp() override {
        const BuiltImage& built = Built(GetParam());
        m_image = built.image;
        m_bytes = built.bytes;
        m_layout = built.layout;
        m_xorriso = built.xorriso;
        m_7z = built.sevenZip;
        ASSERT_GT(m_layout.size(), 300u);
    }

    // The image's path of the file with this size (sizes below are unique in the tree).
    std::string PathOfSize(std::uint64_t size) const {
        for (const auto& [path, extent] : m_layout)
            if (extent.size == size)
                return path;
        ADD_FAILURE() << "no file of " << size << " bytes";
        return {};
    }

    // The changed bytes are the replaced files' old and new blocks, the extent and size fields of
    // directory records, and the volume size of descriptors when the volume grew.
    void ExpectOnlyAllowedChanges(const std::string& after, const std::vector<std::string>& replaced,
                                  const Layout& newLayout) {
        std::set<std::size_t> allowed;
        for (const std::string& path : replaced)
            for (const Extent& e : {m_layout.at(path), newLayout.at(path)})
                for (std::size_t b = e.lba; b < std::size_t{e.lba} + e.blocks; ++b)
                    allowed.insert(b);
        std::vector<std::size_t> others;
        const std::size_t blocks = std::max(m_bytes.size(), after.size()) / kBlock;
        for (std::size_t b = 0; b < blocks; ++b) {
            const std::string oldBlock =
                b * kBlock < m_bytes.size() ? m_bytes.substr(b * kBlock, kBlock) : std::string(kBlock, '\0');
            const std::string newBlock = after.substr(b * kBlock, kBlock);
            if (oldBlock != newBlock && !allowed.count(b))
                others.push_back(b);
        }
        if (others.empty())
            return;
        std::string command = Cli() + " which --csv " + Quoted(m_image);
        for (const std::size_t b : others)
            command += " " + std::to_string(b);
        const RunResult which = RunShell(m_dir.Path(), command);
        ASSERT_EQ(which.status, 0) << which.err;
        std::istringstream rows(which.out);
        std::string row;
        std::getline(rows, row);
        std::map<std::size_t, std::string> kinds;
        while (std::getline(rows, row)) {
            const std::size_t comma = row.find(',');
            kinds[std::stoul(row.substr(0, comma))] =
                row.substr(comma + 1, row.find(',', comma + 1) - comma - 1);
        }
        const bool grew = VolumeBlocks(after) != VolumeBlocks(m_bytes);
        for (const std::size_t b : others) {
            const std::vector<std::size_t> starts = RecordStarts(m_bytes, b);
            for (std::size_t i = 0; i < kBlock; ++i) {
                if (m_bytes[b * kBlock + i] == after[b * kBlock + i])
                    continue;
                if (kinds[b] == "directory") {
                    EXPECT_TRUE(std::any_of(starts.begin(), starts.end(),
                                            [i](std::size_t s) { return i >= s + 2 && i < s + 18; }))
                        << "byte " << i << " of directory block " << b << " is not an extent or size field";
                } else {
                    EXPECT_TRUE(kinds[b] == "volume descriptor" && grew && i >= 80 && i < 88)
                        << "block " << b << " (" << kinds[b] << ") changed at byte " << i;
                }
            }
        }
    }

    // Runs replace with new content of the given sizes for the files of the given old sizes, and checks
    // the result every way the tools allow. Returns the output lines.
    std::string ReplaceAndVerify(const std::vector<std::pair<std::uint64_t, std::size_t>>& changes,
                                 const std::string& options = "") {
        std::string command = Cli() + " replace " + Quoted(m_image);
        std::vector<std::string> replaced;
        std::map<std::string, std::string> contents;
        char seed = 'a';
        for (const auto& [oldSize, newSize] : changes) {
            replaced.push_back(PathOfSize(oldSize));
            const fs::path source = m_dir.Path() / ("new" + std::to_string(replaced.size()));
            contents[replaced.back()] = NewContent(newSize, seed++);
            WriteFile(source, contents[replaced.back()]);
            command += " --file " + Quoted(replaced.back() + "=" + source.string());
        }
        const fs::path output = m_dir.Path() / "new.iso";
        fs::remove(output);
        const RunResult run = RunShell(m_dir.Path(), command + " -o " + Quoted(output) + " " + options);
        EXPECT_EQ(run.status, 0) << run.err;
        if (run.status != 0)
            return {};
        const std::string after = ReadFile(output);
        EXPECT_EQ(ReadFile(m_image), m_bytes) << "the source image was written";

        // Every other file has its old block and size; the replaced ones have what the output line says.
        const Layout newLayout = ReportLba(m_dir.Path(), output);
        EXPECT_EQ(newLayout.size(), m_layout.size());
        for (const auto& [path, extent] : m_layout) {
            if (std::count(replaced.begin(), replaced.end(), path) || !newLayout.count(path) ||
                extent.size == 0)
                continue;
            // A hard link of a replaced file moves with it; every other file stays. (An empty file's block
            // is no block of its own.)
            const auto link = std::find_if(replaced.begin(), replaced.end(), [&](const std::string& r) {
                return m_layout.at(r).lba == extent.lba;
            });
            EXPECT_EQ(newLayout.at(path), link == replaced.end() ? extent : newLayout.at(*link)) << path;
        }
        for (const std::string& path : replaced) {
            const Extent& e = newLayout.at(path);
            EXPECT_EQ(e.size, contents[path].size()) << path;
            const std::string line = path + ": " + std::to_string(m_layout.at(path).lba) + "+" +
                                     std::to_string(m_layout.at(path).blocks) + " -> " +
                                     std::to_string(e.lba) + "+" + std::to_string(e.blocks) + " (";
            EXPECT_NE(run.out.find(line), std::string::npos) << run.out << "\nlacks " << line;
            EXPECT_EQ(after.substr(std::size_t{e.lba} * kBlock, contents[path].size()), contents[path]);
            // The rest of the last block is zero.
            const std::size_t tail = std::size_t{e.lba} * kBlock + contents[path].size();
            EXPECT_EQ(after.substr(tail, (kBlock - tail % kBlock) % kBlock).find_first_not_of('\0'),
                      std::string::npos);
        }
        ExpectOnlyAllowedChanges(after, replaced, newLayout);

        // Both readers see the old tree with only the new content changed.
        for (const auto& [reader, before] :
             {std::pair{std::string("xorriso"), m_xorriso}, std::pair{std::string("7z"), m_7z}}) {
            const std::map<std::string, std::string> now = Extract(m_dir.Path(), output, reader);
            EXPECT_EQ(now.size(), before.size()) << reader;
            std::multiset<std::string> changed, expected;
            for (const auto& [path, content] : before) {
                EXPECT_TRUE(now.count(path)) << reader << " lacks " << path;
                if (now.count(path) && now.at(path) != content)
                    changed.insert(now.at(path));
            }
            for (const auto& [path, content] : contents)
                expected.insert(content);
            // A hard link shows the new content under both names.
            for (const std::string& content : changed)
                EXPECT_TRUE(expected.count(content)) << reader << " extracts content no file was given";
            EXPECT_GE(changed.size(), expected.size()) << reader;
        }
        const RunResult vfy = RunShell(m_dir.Path(), "isovfy " + Quoted(output));
        EXPECT_NE(vfy.out.find("No errors found"), std::string::npos) << vfy.out << vfy.err;
        return run.out;
    }

    TempDir m_dir;
    fs::path m_image;
    std::string m_bytes;
    Layout m_layout;
    std::map<std::string, std::string> m_xorriso, m_7z;
};

TEST_P(DiscReplaceTest, SameSizeStaysInPlace) {
    EXPECT_NE(ReplaceAndVerify({{370, 370}}).find("(in place)"), std::string::npos);
}

TEST_P(DiscReplaceTest, SmallerStaysInPlaceAndZeroesWhatItGaveUp) {
    const Extent old = m_layout.at(PathOfSize(2049));
    EXPECT_NE(ReplaceAndVerify({{2049, 100}}).find("(in place)"), std::string::npos);
    const std::string after = ReadFile(m_dir.Path() / "new.iso");
    EXPECT_EQ(after.substr((std::size_t{old.lba} + 1) * kBlock, kBlock), std::string(kBlock, '\0'));
}

TEST_P(DiscReplaceTest, LargerMovesToFreeBlocksOrTheEnd) {
    ReplaceAndVerify({{1, 10000}});
}

TEST_P(DiscReplaceTest, AtEndGrowsTheVolume) {
    const std::uint32_t before = VolumeBlocks(m_bytes);
    const std::string out = ReplaceAndVerify({{370, 10000}}, "--at-end");
    EXPECT_NE(out.find("-> " + std::to_string(before) + "+5 (moved: --at-end)"), std::string::npos) << out;
    EXPECT_EQ(VolumeBlocks(ReadFile(m_dir.Path() / "new.iso")), before + 5);
}

TEST_P(DiscReplaceTest, SeveralFilesAndAHardLinkAtOnce) {
    ReplaceAndVerify({{370, 300}, {2048, 6000}, {1, 1}, {7777, 9000}});
}

TEST_P(DiscReplaceTest, InPlaceGivesTheSameBytesAsACopy) {
    ReplaceAndVerify({{2048, 6000}, {2049, 10}});
    const fs::path copy = m_dir.Path() / "copy.iso";
    fs::copy_file(m_image, copy);
    const RunResult run = RunShell(
        m_dir.Path(), Cli() + " replace " + Quoted(copy) + " --file " +
                          Quoted(PathOfSize(2048) + "=" + (m_dir.Path() / "new1").string()) + " --file " +
                          Quoted(PathOfSize(2049) + "=" + (m_dir.Path() / "new2").string()) + " --in-place");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(ReadFile(copy) == ReadFile(m_dir.Path() / "new.iso"));
}

TEST_P(DiscReplaceTest, DiffOfTheImageAndItsImportIsEmptyAndShowsAReplacement) {
    const RunResult imported = RunShell(m_dir.Path(), Cli() + " import " + Quoted(m_image) + " -o " +
                                                          Quoted(m_dir.Path() / "old.lst"));
    ASSERT_EQ(imported.status, 0) << imported.err;
    // Our reader names the files as the import through libisofs does.
    const RunResult same =
        RunShell(m_dir.Path(), Cli() + " diff " + Quoted(m_image) + " " + Quoted(m_dir.Path() / "old.lst"));
    EXPECT_EQ(same.status, 0) << same.out << same.err;
    EXPECT_NE(same.out.find("0 moved, 0 resized, 0 added, 0 removed, "), std::string::npos) << same.out;

    ReplaceAndVerify({{1, 10000}});
    const std::string path = PathOfSize(1);
    const RunResult changed =
        RunShell(m_dir.Path(), Cli() + " diff " + Quoted(m_image) + " " + Quoted(m_dir.Path() / "new.iso"));
    EXPECT_EQ(changed.status, 1) << changed.err;
    EXPECT_NE(changed.out.find(path + ": " + std::to_string(m_layout.at(path).lba) + "+1 (1 bytes) -> "),
              std::string::npos)
        << changed.out;
    EXPECT_NE(changed.out.find(" 1 resized, 0 added, 0 removed, " + std::to_string(m_layout.size() - 1) +
                               " unchanged"),
              std::string::npos)
        << changed.out;
}

// import | shuffle | pack | place: every file lands where the packed listing says, with its content, and
// only file data and record fields change. (The boot image stays, and a hard link keeps its one extent.)
TEST_P(DiscReplaceTest, PlacesAShuffledPackedLayout) {
    const fs::path dir = m_dir.Path();
    const RunResult imported = RunShell(dir, Cli() + " import " + Quoted(m_image));
    ASSERT_EQ(imported.status, 0) << imported.err;
    std::vector<std::string> lines;
    std::istringstream in(imported.out);
    for (std::string line; std::getline(in, line);) {
        const std::string path = line.substr(18, line.size() - 19);
        if (line.compare(9, 8, "00000000") != 0 && path != "/boot/boot.img" && path.find("/hl/") != 0 &&
            path.find("/HL/") != 0)
            lines.push_back(line + "\n");
    }
    // The files that stay (the boot image, the hard links) lie below the packed run; the moved ones swap
    // places among themselves and partly go past the old end.
    std::uint32_t from = 0;
    for (const auto& [path, extent] : m_layout)
        if (path.find("/boot/") == 0 || path.find("/hl/") == 0 || path.find("/HL/") == 0)
            from = std::max(from, extent.lba + extent.blocks);
    std::mt19937 random(20);
    std::shuffle(lines.begin(), lines.end(), random);
    std::string shuffled;
    for (const std::string& line : lines)
        shuffled += line;
    WriteFile(dir / "shuffled.lst", shuffled);
    const RunResult packed = RunShell(dir, Cli() + " pack " + Quoted(dir / "shuffled.lst") + " --from " +
                                               std::to_string(from) + " -o " + Quoted(dir / "packed.lst"));
    ASSERT_EQ(packed.status, 0) << packed.err;
    const RunResult placed = RunShell(dir, Cli() + " place " + Quoted(m_image) + " --layout " +
                                               Quoted(dir / "packed.lst") + " -o " + Quoted(dir / "new.iso"));
    ASSERT_EQ(placed.status, 0) << placed.err;

    const Layout now = ReportLba(dir, dir / "new.iso");
    std::vector<std::string> moved;
    std::istringstream packedLines(ReadFile(dir / "packed.lst"));
    for (std::string line; std::getline(packedLines, line);) {
        const std::string path = line.substr(18, line.size() - 19);
        ASSERT_TRUE(now.count(path)) << path;
        EXPECT_EQ(now.at(path).lba, std::stoul(line.substr(0, 8), nullptr, 16)) << path;
        moved.push_back(path);
    }
    for (const auto& [path, extent] : m_layout)
        if (extent.size > 0 && !std::count(moved.begin(), moved.end(), path)) {
            EXPECT_EQ(now.at(path), extent) << path;
        }
    ExpectOnlyAllowedChanges(ReadFile(dir / "new.iso"), moved, now);
    for (const auto& [reader, before] :
         {std::pair{std::string("xorriso"), m_xorriso}, std::pair{std::string("7z"), m_7z}})
        EXPECT_TRUE(Extract(dir, dir / "new.iso", reader) == before) << reader;
    const RunResult vfy = RunShell(dir, "isovfy " + Quoted(dir / "new.iso"));
    EXPECT_NE(vfy.out.find("No errors found"), std::string::npos) << vfy.out << vfy.err;
    // Placing the new image's own layout again changes nothing.
    const RunResult again =
        RunShell(dir, Cli() + " place " + Quoted(dir / "new.iso") + " --layout " +
                          Quoted(dir / "packed.lst") + " --in-place --map " + Quoted(dir / "m.lst"));
    EXPECT_EQ(again.status, 0) << again.err;
    // The files the listing leaves out show as added; none moved.
    const RunResult diff =
        RunShell(dir, Cli() + " diff " + Quoted(dir / "packed.lst") + " " + Quoted(dir / "new.iso"));
    EXPECT_NE(diff.out.find("\n0 moved, 0 resized, "), std::string::npos) << diff.out;
}

INSTANTIATE_TEST_SUITE_P(Images, DiscReplaceTest, ::testing::ValuesIn(kImageKinds),
                         [](const ::testing::TestParamInfo<ImageKind>& info) {
                             return std::string(info.param.name);
                         });

} // namespace

namespace {

// A small tree with a boot image, built into an image by `build` (TREE and OUT replaced).
fs::path SmallImage(const TempDir& dir, const std::string& name, const std::string& build) {
    const fs::path tree = dir.Path() / "small";
    if (!fs::exists(tree)) {
        WriteFile(tree / "boot/boot.img", NewContent(4 * kBlock, 'B'));
        WriteFile(tree / "one", "1");
        WriteFile(tree / "D/three blocks", NewContent(3 * kBlock, 'T'));
    }
    const fs::path image = dir.Path() / name;
    const RunResult built = RunShell(dir.Path(), Replaced(build, tree, image));
    EXPECT_EQ(built.status, 0) << built.err;
    return image;
}

constexpr const char* kBootImage = "xorriso -report_about SORRY -as mkisofs -quiet -R -J -b boot/boot.img "
                                   "-no-emul-boot -boot-load-size 4 -o OUT "
                                   "TREE";

TEST(DiscReplaceRefusalTest, RefusesWithTheReasonAndWritesNothing) {
    TempDir dir;
    WriteFile(dir.Path() / "big", NewContent(10 * kBlock, 'n'));
    WriteFile(dir.Path() / "same", NewContent(4 * kBlock, 's'));
    const fs::path boot = SmallImage(dir, "boot.iso", kBootImage);
    // A record marked as not the last of a file of several extents.
    std::string multi = ReadFile(SmallImage(dir, "multi.iso", "genisoimage -quiet -R -o OUT TREE"));
    multi[FindRecord(multi, kRootRecord, "ONE") + 25] |= static_cast<char>(0x80);
    WriteFile(dir.Path() / "multi.iso", multi);
    WriteFile(dir.Path() / "esp.img", NewContent(50 * kBlock, 'e'));
    const fs::path gpt = SmallImage(dir, "gpt.iso",
                                    "xorriso -as mkisofs -quiet -R -o OUT -append_partition 2 0xef " +
                                        (dir.Path() / "esp.img").string() + " -appended_part_as_gpt TREE");
    struct Case {
        fs::path image;
        std::string options;
        std::string reason;
    } cases[] = {
        {boot, "--file /nope=BIG", "/nope: the image has no file of that name"},
        {boot, "--file /boot/boot.img=BIG",
         "/boot/boot.img: is an El Torito boot image, which would have to move"},
        {boot, "--file /boot/boot.img=SAME --at-end", "El Torito boot image"},
        {boot, "--file /one=BIG --at 16", "/one: blocks 16+10 are not free"},
        {boot, "--file /one=BIG --file /one=SAME", "/one: named twice"},
        {boot, "--file /D=SAME", "/D: is a directory"},
        {gpt, "--file /one=BIG --at-end", "the backup header of its GPT would then no longer lie at its end"},
        {dir.Path() / "multi.iso", "--file /one=SAME", "/one: is a file of several extents"},
        {SmallImage(dir, "udf.iso", "genisoimage -quiet -R -udf -o OUT TREE"), "--file /one=SAME",
         "UDF bridge, whose own file entries would still point at the old blocks"},
        {SmallImage(dir, "hfsplus.iso",
                    "xorriso -report_about SORRY -outdev OUT -hfsplus on -map TREE / -commit"),
         "--file /one=SAME", "HFS+ or HFS bridge"},
    };
    for (const Case& c : cases) {
        std::string options = c.options;
        for (const auto& [key, file] : {std::pair{std::string("BIG"), std::string("big")}, {"SAME", "same"}})
            for (std::size_t at; (at = options.find(key)) != std::string::npos;)
                options.replace(at, key.size(), (dir.Path() / file).string());
        const std::string before = ReadFile(c.image);
        const fs::path output = dir.Path() / "out.iso";
        const RunResult run = RunShell(dir.Path(), Cli() + " replace " + Quoted(c.image) + " " + options +
                                                       " -o " + Quoted(output));
        EXPECT_EQ(run.status, 2) << c.options;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << c.options << ": " << run.err;
        EXPECT_FALSE(fs::exists(output)) << c.options;
        const RunResult inPlace =
            RunShell(dir.Path(), Cli() + " replace " + Quoted(c.image) + " " + options + " --in-place");
        EXPECT_EQ(inPlace.status, 2) << c.options;
        EXPECT_TRUE(ReadFile(c.image) == before) << c.options;
        for (const auto& entry : fs::directory_iterator(dir.Path()))
            EXPECT_NE(entry.path().filename().string().rfind(".out.iso", 0), 0u)
                << "a temporary file is left";
    }
    // A boot image that keeps its blocks may be replaced.
    const RunResult same =
        RunShell(dir.Path(), Cli() + " replace " + Quoted(boot) + " --file " +
                                 Quoted("/boot/boot.img=" + (dir.Path() / "same").string()) + " -o " +
                                 Quoted(dir.Path() / "out.iso"));
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_NE(same.out.find("(in place)"), std::string::npos);
}

TEST(DiscWhichTest, NamesWhatHoldsEachBlockOfAnImageOrAListing) {
    TempDir dir;
    const fs::path image = SmallImage(dir, "boot.iso", kBootImage);
    const std::string bytes = ReadFile(image);
    const Layout layout = ReportLba(dir.Path(), image);
    const Extent three = layout.at("/D/three blocks");
    std::uint32_t catalog = 0, jolietRoot = 0;
    for (std::size_t b = 17; bytes[b * kBlock] != static_cast<char>(255); ++b) {
        if (bytes[b * kBlock] == 0)
            catalog = Le32(bytes, b * kBlock + 71);
        if (bytes[b * kBlock] == 2)
            jolietRoot = Le32(bytes, b * kBlock + 156 + 2);
    }
    const std::uint32_t root = Le32(bytes, kRootRecord + 2);
    const std::uint32_t pathTable = Le32(bytes, 16 * kBlock + 140);
    const std::uint32_t beyond = Le32(bytes, 16 * kBlock + 80) + 2;
    const std::pair<std::string, std::string> cases[] = {
        {"0", "system area"},
        {"15", "system area"},
        {"0x10", "primary volume descriptor"},
        {std::to_string(pathTable), "path table"},
        {std::to_string(root), "directory /"},
        {std::to_string(jolietRoot), "directory / (Joliet)"},
        {std::to_string(catalog), "boot catalog"},
        {std::to_string(three.lba + 2), "/D/three blocks (offset 4096 of 6144)"},
        {std::to_string(beyond), "free (past the end of the volume)"},
    };
    std::string command = Cli() + " which " + Quoted(image);
    std::string expected;
    for (const auto& [block, what] : cases) {
        command += " " + block;
        expected += std::to_string(std::stoul(block, nullptr, 0)) + ": " + what + "\n";
    }
    const RunResult which = RunShell(dir.Path(), command);
    EXPECT_EQ(which.status, 0) << which.err;
    // A block may have several holders (a boot image is a file too): each expected line is there.
    std::istringstream lines(expected);
    for (std::string line; std::getline(lines, line);)
        EXPECT_NE(which.out.find(line + "\n"), std::string::npos) << which.out << "\nlacks " << line;

    const RunResult csv =
        RunShell(dir.Path(), Cli() + " which --csv " + Quoted(image) + " " + std::to_string(three.lba + 1) +
                                 " " + std::to_string(root));
    EXPECT_EQ(csv.out, "block,kind,path,offset\n" + std::to_string(three.lba + 1) +
                           ",file,/D/three blocks,2048\n" + std::to_string(root) + ",directory,/,\n");

    ASSERT_EQ(RunShell(dir.Path(), Cli() + " import " + Quoted(image) + " -o " + Quoted(dir.Path() / "l.lst"))
                  .status,
              0);
    const RunResult listing =
        RunShell(dir.Path(), Cli() + " which " + Quoted(dir.Path() / "l.lst") + " " +
                                 std::to_string(three.lba) + " " + std::to_string(root));
    EXPECT_EQ(listing.out, std::to_string(three.lba) + ": /D/three blocks (offset 0 of 6144)\n" +
                               std::to_string(root) + ": no file\n");
    EXPECT_EQ(RunShell(dir.Path(), Cli() + " which " + Quoted(image) + " 12x").status, 2);
}

} // namespace

namespace {

// genisoimage relocates folders nested deeper than ISO 9660 allows; Rock Ridge names them where they belong.
// Listings whose lines agree for a while and then differ in order, place, size and presence; a path listed
// twice (the extents of one large file) pairs up in order.
TEST(DiscDiffTest, PairsFilesByPathWhateverTheirOrder) {
    TempDir dir;
    WriteFile(dir.Path() / "old.lst", "00000020|00000800|/same\n"
                                      "00000030|00000800|/moved\n"
                                      "00000040|00001000|/resized\n"
                                      "00000044|00001000|/moved and resized\n"
                                      "00000050|00000800|/gone\n"
                                      "00000060|00000800|/big\n"
                                      "00000070|00000800|/big\n"
                                      "00000080|00000800|/later\n");
    WriteFile(dir.Path() / "new.lst", "00000020|00000800|/same\n"
                                      "00000080|00000800|/later\n"
                                      "00000060|00000800|/big\n"
                                      "00000040|00000800|/resized\n"
                                      "00000090|00000800|/big\n"
                                      "00000031|00000800|/moved\n"
                                      "00000046|00001800|/moved and resized\n"
                                      "000000A0|00000800|/new\n");
    const RunResult text = RunShell(dir.Path(), Cli() + " diff " + Quoted(dir.Path() / "old.lst") + " " +
                                                    Quoted(dir.Path() / "new.lst"));
    EXPECT_EQ(text.status, 1) << text.err;
    EXPECT_EQ(text.out, "moved /moved: 48+1 -> 49+1\n"
                        "moved /big: 112+1 -> 144+1\n"
                        "resized /resized: 64+2 (4096 bytes) -> 64+1 (2048 bytes)\n"
                        "moved, resized /moved and resized: 68+2 (4096 bytes) -> 70+3 (6144 bytes)\n"
                        "added /new: 160+1 (2048 bytes)\n"
                        "removed /gone: 80+1 (2048 bytes)\n"
                        "3 moved, 2 resized, 1 added, 1 removed, 3 unchanged\n");
    const RunResult csv = RunShell(dir.Path(), Cli() + " diff --csv " + Quoted(dir.Path() / "new.lst") + " " +
                                                   Quoted(dir.Path() / "new.lst"));
    EXPECT_EQ(csv.status, 0) << csv.err;
    EXPECT_NE(csv.out.find("same,/big,96,2048,96,2048\nsame,/resized,"), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find("same,/big,144,2048,144,2048\n"), std::string::npos) << csv.out;
}

TEST(DiscRelocatedFolderTest, AFileInADeepFolderIsNamedAndReplacedWhereItBelongs) {
    TempDir dir;
    const std::string deep = "/1/2/3/4/5/6/7/8/9/10/deep.txt";
    WriteFile(dir.Path() / "tree" / deep.substr(1), "deep\n");
    WriteFile(dir.Path() / "tree/top.txt", "top\n");
    WriteFile(dir.Path() / "new", "new content\n");
    const fs::path image = dir.Path() / "deep.iso";
    ASSERT_EQ(RunShell(dir.Path(),
                       "genisoimage -quiet -R -J -o " + Quoted(image) + " " + Quoted(dir.Path() / "tree"))
                  .status,
              0);
    ASSERT_EQ(RunShell(dir.Path(), Cli() + " import " + Quoted(image) + " -o " + Quoted(dir.Path() / "l.lst"))
                  .status,
              0);
    const RunResult same =
        RunShell(dir.Path(), Cli() + " diff " + Quoted(image) + " " + Quoted(dir.Path() / "l.lst"));
    EXPECT_EQ(same.status, 0) << same.out << same.err;

    const RunResult replaced = RunShell(dir.Path(), Cli() + " replace " + Quoted(image) + " --file " +
                                                        Quoted(deep + "=" + (dir.Path() / "new").string()) +
                                                        " -o " + Quoted(dir.Path() / "out.iso"));
    ASSERT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_EQ(replaced.out.rfind(deep + ": ", 0), 0u) << replaced.out;
    const std::map<std::string, std::string> files = Extract(dir.Path(), dir.Path() / "out.iso", "xorriso");
    ASSERT_TRUE(files.count(deep));
    EXPECT_EQ(files.at(deep), "new content\n");
    EXPECT_EQ(files.at("/top.txt"), "top\n");
}

} // namespace
