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
    std::string text; // without the line end
    std::uint32_t size;
    std::string path;
};

std::vector<Line> Lines(const std::string& listing) {
    std::vector<Line> lines;
    for (std::size_t at = 0, end; (end = listing.find("\r\n", at)) != std::string::npos; at = end + 2) {
        const std::string text = listing.substr(at, end - at);
        lines.push_back(
            {text, static_cast<std::uint32_t>(std::stoul(text.substr(9, 8), nullptr, 16)), text.substr(18)});
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
    const RunResult report =
        RunShell(dir, "xorriso -report_about SORRY -indev " + Quoted(image) +
                          " -find / -type f -exec report_lba -- | " + Cli() + " import --from report-lba -");
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
                                          Quoted(m_dir.Path() / "order.lst") + " -o " + Quoted(output) +
                                          extra);
    }

    // Every file of the new image, extracted, holds what the tree held; nothing more is there.
    void ExpectSameFiles(const fs::path& image) {
        const fs::path out = m_dir.Path() / "extracted";
        fs::remove_all(out);
        ASSERT_EQ(RunShell(m_dir.Path(),
                           "xorriso -osirrox on -indev " + Quoted(image) + " -extract / " + Quoted(out))
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

} // namespace

TEST_F(DiscRebuildTest, NewImageHoldsTheDataInTheListingsOrderWithTheSameFilesAndNames) {
    const std::string before = ReadFile(m_image);
    std::vector<Line> bySize = m_lines;
    std::stable_sort(bySize.begin(), bySize.end(),
                     [](const Line& a, const Line& b) { return a.size > b.size; });
    std::vector<Line> shuffled = m_lines;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(20261207));

    for (const auto& [name, order] :
         {std::pair{"size descending", bySize}, std::pair{"shuffled", shuffled}}) {
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
        const RunResult result =
            RunShell(m_dir.Path(), Cli() + " rebuild " + c.source + " --order " +
                                       Quoted(m_dir.Path() / "order.lst") + " -o " + Quoted(c.output));
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find(c.reasonPart), std::string::npos) << result.err;
        EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), {}), entriesBefore) << "nothing left";
    }
    EXPECT_FALSE(fs::exists(m_dir.Path() / "new.iso"));
    EXPECT_EQ(ReadFile(m_image), before);
}

TEST_F(DiscRebuildTest, APathNamedTwiceKeepsItsFirstPlace) {
    const std::vector<std::string> old = DataPaths(m_lines);
    std::vector<Line> order;
    for (const std::string& path : {old.back(), old.front(), old.back()})
        for (const Line& line : m_lines)
            if (line.path == path)
                order.push_back(line);
    const fs::path image = m_dir.Path() / "new.iso";
    const RunResult rebuilt = Rebuild(order, image);
    ASSERT_EQ(rebuilt.status, 0) << rebuilt.err;
    const std::vector<std::string> now = DataOrder(m_dir.Path(), image);
    ASSERT_GE(now.size(), 2u);
    EXPECT_EQ(now[0], old.back());
    EXPECT_EQ(now[1], old.front());
}

namespace {

void SetLe32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

// A system area of boot code bytes that hold no partition table or map of their own.
std::string BootCode() {
    std::string area(16 * kBlock, '\0');
    for (std::size_t i = 0; i < area.size(); ++i)
        area[i] = static_cast<char>((i * 7 + 3) % 251);
    area.replace(0, 2, "\xeb\x63");
    area.replace(446, 66, std::string(66, '\0')); // no partition entries, no MBR signature
    area.replace(512, 8, std::string(8, '\0'));
    area.replace(1024, 2, std::string(2, '\0'));
    return area;
}

// An MBR partition entry (of 1 to 4) of `type` from sector `start`, `sectors` long, and the signature.
std::string WithMbr(std::string area, int number, unsigned char type, std::uint32_t start,
                    std::uint32_t sectors) {
    const std::size_t entry = 446 + 16 * static_cast<std::size_t>(number - 1);
    area[entry + 4] = static_cast<char>(type);
    SetLe32(area, entry + 8, start);
    SetLe32(area, entry + 12, sectors);
    area[510] = '\x55';
    area[511] = '\xaa';
    return area;
}

std::string WithGpt(std::string area) {
    area = WithMbr(area, 1, 0xEE, 1, 0xFFFFFFFF);
    area.replace(512, 8, "EFI PART");
    SetLe32(area, 512 + 72, 2);   // entries from sector 2
    SetLe32(area, 512 + 80, 4);   // four of them
    SetLe32(area, 512 + 84, 128); // of 128 bytes
    return area;
}

std::string WithApm(std::string area) {
    area.replace(0, 4, std::string("ER\x08\x00", 4)); // blocks of 2048 bytes
    area.replace(2048, 2, "PM");
    area.replace(4096, 2, "PM");
    return area;
}

// The block ids from 16 on, up to the first that is no volume descriptor.
std::string DescriptorIds(const std::string& image) {
    std::string ids;
    for (std::size_t block = 16; (block + 1) * kBlock <= image.size(); ++block) {
        const std::string id = image.substr(block * kBlock + 1, 5);
        if (id.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789") != std::string::npos)
            break;
        ids += id + " ";
    }
    return ids;
}

} // namespace

TEST(DiscRebuildStructuresTest, SystemAreaAndElToritoAreKeptAndWhatCannotBeCarriedIsRefusedUnlessDropped) {
    TempDir dir;
    const fs::path tree = dir.Path() / "tree";
    MakeTree(tree, 20);
    std::string boot(4 * kBlock, '\0');
    for (std::size_t i = 0; i < boot.size(); ++i)
        boot[i] = static_cast<char>(i * 13 % 256);
    WriteFile(tree / "boot" / "boot.img", boot);
    // A system area as a bootable hybrid has it: boot code, and one partition over the whole image.
    const std::string sysarea = WithMbr(BootCode(), 1, 0x17, 0, 1000);
    WriteFile(dir.Path() / "sysarea.bin", sysarea);
    const fs::path bootable = dir.Path() / "bootable.iso";
    const RunResult built =
        RunShell(dir.Path(), "xorriso -as mkisofs -quiet -R -J -G " + Quoted(dir.Path() / "sysarea.bin") +
                                 " -b boot/boot.img -no-emul-boot -boot-load-size 4 -o " + Quoted(bootable) +
                                 " " + Quoted(tree));
    ASSERT_EQ(built.status, 0) << built.err;
    ASSERT_EQ(ReadFile(bootable).substr(0, sysarea.size()), sysarea) << "the tool keeps it";
    const fs::path udf = dir.Path() / "udf.iso";
    ASSERT_EQ(RunShell(dir.Path(), "genisoimage -quiet -R -J -udf -input-charset iso8859-1 -o " +
                                       Quoted(udf) + " " + Quoted(tree))
                  .status,
              0);
    ASSERT_NE(DescriptorIds(ReadFile(udf)).find("NSR02"), std::string::npos);
    // The same bootable image with other system areas written over its own.
    const auto withSystemArea = [&](const std::string& name, const std::string& area) {
        std::string bytes = ReadFile(bootable);
        bytes.replace(0, area.size(), area);
        WriteFile(dir.Path() / name, bytes);
        return dir.Path() / name;
    };

    struct Case {
        const char* name;
        fs::path image;
        std::string refusedPart; // empty: rebuilt as it is
        const char* flag;
    };
    const Case cases[] = {
        {"El Torito, boot code and a partition over the whole image", bootable, "", ""},
        {"UDF bridge", udf, "a UDF file system (NSR02 at block ", "--drop-udf"},
        {"GPT", withSystemArea("gpt.iso", WithGpt(BootCode())), "a GPT partition table", "--drop-hybrid"},
        {"MBR partition inside the image", withSystemArea("mbr.iso", WithMbr(BootCode(), 2, 0x83, 100, 64)),
         "an MBR partition table whose partition 2 starts at sector 100, inside the image", "--drop-hybrid"},
        {"Apple partition map and HFS+",
         withSystemArea("apm.iso",
                        [] {
                            std::string area = WithApm(BootCode());
                            area.replace(1024, 2, "H+");
                            return area;
                        }()),
         "an Apple partition map, an HFS+ volume", "--drop-hybrid"},
    };
    WriteFile(dir.Path() / "order.lst", "00000000|00000001|/one\r\n00000000|00000001|/boot/boot.img\r\n");
    const fs::path output = dir.Path() / "new.iso";
    const auto rebuild = [&](const fs::path& image, const std::string& extra) {
        fs::remove(output);
        return RunShell(dir.Path(), Cli() + " rebuild " + Quoted(image) + " --order " +
                                        Quoted(dir.Path() / "order.lst") + " -o " + Quoted(output) + extra);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = ReadFile(c.image);
        if (!c.refusedPart.empty()) {
            const RunResult refused = rebuild(c.image, "");
            EXPECT_EQ(refused.status, 2);
            EXPECT_NE(refused.err.find("would lose " + c.refusedPart), std::string::npos) << refused.err;
            EXPECT_NE(refused.err.find(c.flag), std::string::npos) << refused.err;
            EXPECT_FALSE(fs::exists(output));
        }
        const RunResult rebuilt = rebuild(c.image, std::string(" ") + c.flag);
        ASSERT_EQ(rebuilt.status, 0) << rebuilt.err;
        const std::string image = ReadFile(output);
        EXPECT_EQ(DataOrder(dir.Path(), output).front(), "/one");
        if (c.refusedPart.empty()) {
            EXPECT_EQ(rebuilt.err, "");
            EXPECT_EQ(image.substr(0, sysarea.size()), sysarea) << "the system area, byte for byte";
            const RunResult torito = RunShell(dir.Path(), "xorriso -indev " + Quoted(output) +
                                                              " -report_el_torito plain -osirrox on -extract "
                                                              "/boot/boot.img " +
                                                              Quoted(dir.Path() / "boot.img"));
            EXPECT_NE(torito.out.find("El Torito img path :   1  /boot/boot.img"), std::string::npos)
                << torito.out;
            EXPECT_EQ(ReadFile(dir.Path() / "boot.img"), boot);
            continue;
        }
        // Said once; the new image holds none of it, and rebuilds without a word.
        EXPECT_EQ(rebuilt.err.rfind("quarrow-cli: rebuild: the new image leaves out " + c.refusedPart, 0), 0u)
            << rebuilt.err;
        EXPECT_EQ(std::count(rebuilt.err.begin(), rebuilt.err.end(), '\n'), 1) << rebuilt.err;
        EXPECT_EQ(DescriptorIds(image).find("NSR"), std::string::npos) << DescriptorIds(image);
        fs::rename(output, dir.Path() / "again.iso");
        const RunResult again = rebuild(dir.Path() / "again.iso", "");
        EXPECT_EQ(again.status, 0) << again.err;
        EXPECT_EQ(again.err, "");
        EXPECT_EQ(ReadFile(c.image), source) << "the source is only read";
    }
}
