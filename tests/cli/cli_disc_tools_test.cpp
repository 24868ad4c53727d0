// Exported sort weights in the real disc image tools: a tree of files made here, a listing of it in a
// chosen order, genisoimage -sort with the mkisofs file and xorrisofs with the weight list, and the blocks
// read back from each image with xorriso. Then the layout check on planted overlaps and gaps.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "cli_process.h"

namespace {

struct TreeFile {
    const char* listed; // the name as the listing writes it
    const char* path;   // its path in the tree and the image
    int size;
};

// In the order wanted on the disc, far from the order either tool picks by itself.
const TreeFile kFiles[] = {
    {"zeta\\deep\\last.bin", "zeta/deep/last.bin", 2049},
    {"with space.dat", "with space.dat", 2048},
    {"MAP\\caf\xc3\xa9 \xe2\x98\x85.txt", "MAP/caf\xc3\xa9 \xe2\x98\x85.txt", 5000},
    {"empty.txt", "empty.txt", 0},
    {"x*y[1].bin", "x*y[1].bin", 100},
    {"xzy1.bin", "xzy1.bin", 3000},
    {" lead and trail ", " lead and trail ", 4096},
    {"alpha.bin", "alpha.bin", 1},
    {"MAP\\a.bin", "MAP/a.bin", 2047},
};

std::string Listing() {
    std::string text;
    unsigned lba = 0x20;
    char fields[32];
    for (const TreeFile& file : kFiles) {
        std::snprintf(fields, sizeof fields, "%08X|%08X|", lba, static_cast<unsigned>(file.size));
        text += fields + std::string(file.listed) + "\r\n";
        lba += static_cast<unsigned>(file.size + 2047) / 2048;
    }
    return text;
}

bool WriteBytes(const QString& path, const std::string& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
}

// The start block of every file in the image with data, by path (without the leading slash), from
// `xorriso -indev IMG -find / -exec report_lba --`, whose paths are quoted as the shell quotes them.
std::map<std::string, long> ReportedBlocks(const QString& image, std::string& report) {
    const ProcessResult result =
        RunProgram(QStringLiteral("xorriso"), {"-indev", image, "-find", "/", "-exec", "report_lba", "--"});
    report = result.out + result.err;
    std::map<std::string, long> blocks;
    std::size_t at = 0;
    const std::string marker = "File data lba:";
    while ((at = result.out.find(marker, at)) != std::string::npos) {
        const std::size_t end = result.out.find('\n', at);
        const std::string line = result.out.substr(at, end - at);
        at = end;
        long extent = 0, start = 0, count = 0, size = 0;
        int consumed = 0;
        if (std::sscanf(line.c_str(), "File data lba: %ld , %ld , %ld , %ld , %n", &extent, &start, &count,
                        &size, &consumed) != 4)
            continue;
        std::string path = line.substr(static_cast<std::size_t>(consumed));
        path = path.substr(2, path.size() - 3); // '/...'
        for (std::size_t q; (q = path.find("'\"'\"'")) != std::string::npos;)
            path.replace(q, 5, "'");
        if (count > 0)
            blocks[path] = start;
        else
            blocks.emplace(path, -1);
    }
    return blocks;
}

class DiscToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"xorriso", "genisoimage"})
            ASSERT_FALSE(QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                << tool << " is missing: scripts/install-deps.sh installs it";
        ASSERT_TRUE(m_dir.isValid());
        for (const TreeFile& file : kFiles)
            ASSERT_TRUE(WriteBytes(Tree() + QLatin1Char('/') + QString::fromUtf8(file.path),
                                   std::string(static_cast<std::size_t>(file.size), 'q')));
        ASSERT_TRUE(WriteBytes(PathOf("LBA.TXT"), Listing()));
    }

    QString PathOf(const char* name) const { return m_dir.path() + QLatin1Char('/') + QLatin1String(name); }
    QString Tree() const { return PathOf("tree"); }

    // Every file of the tree lies in the image, and those with data in the listing's order.
    void ExpectListingOrder(const QString& image) {
        std::string report;
        const std::map<std::string, long> blocks = ReportedBlocks(image, report);
        long previous = -1;
        for (const TreeFile& file : kFiles) {
            const auto found = blocks.find(file.path);
            ASSERT_NE(found, blocks.end()) << file.path << " is not in the image:\n" << report;
            if (file.size == 0)
                continue;
            EXPECT_GT(found->second, previous) << file.path << " lies before the file listed above it:\n"
                                               << report;
            previous = found->second;
        }
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(DiscToolsTest, GenisoimageSortFileLaysTheFilesOutInTheListingsOrder) {
    // The tool is run on the tree's path, so the paths in the file start with it.
    const ProcessResult exported = RunCli({"export", PathOf("LBA.TXT"), "--to", "mkisofs-sort", "--prefix",
                                           Tree(), "-o", PathOf("weights.sort")});
    ASSERT_EQ(exported.status, 0) << exported.err;
    const ProcessResult built =
        RunProgram(QStringLiteral("genisoimage"), {"-quiet", "-R", "-input-charset", "utf-8", "-sort",
                                                   PathOf("weights.sort"), "-o", PathOf("g.iso"), Tree()});
    ASSERT_EQ(built.status, 0) << built.err;
    ExpectListingOrder(PathOf("g.iso"));

    // Run in the tree's folder on ".", the paths the file has without a prefix.
    ASSERT_EQ(RunCli({"export", PathOf("LBA.TXT"), "--to", "mkisofs-sort", "-o", PathOf("dot.sort")}).status,
              0);
    const ProcessResult inTree = RunProgram(QStringLiteral("genisoimage"),
                                            {"-quiet", "-R", "-input-charset", "utf-8", "-sort",
                                             PathOf("dot.sort"), "-o", PathOf("dot.iso"), "."},
                                            Tree());
    ASSERT_EQ(inTree.status, 0) << inTree.err;
    ExpectListingOrder(PathOf("dot.iso"));
}

TEST_F(DiscToolsTest, XorrisofsWeightListLaysTheFilesOutInTheListingsOrder) {
    const ProcessResult exported =
        RunCli({"export", PathOf("LBA.TXT"), "--to", "xorriso-weights", "-o", PathOf("weights.txt")});
    ASSERT_EQ(exported.status, 0) << exported.err;
    const ProcessResult built =
        RunProgram(QStringLiteral("xorriso"), {"-as", "mkisofs", "-quiet", "-R", "--sort-weight-list",
                                               PathOf("weights.txt"), "-o", PathOf("x.iso"), Tree()});
    ASSERT_EQ(built.status, 0) << built.err;
    ExpectListingOrder(PathOf("x.iso"));
}

TEST_F(DiscToolsTest, ExportRefusesANameItCannotCarryAndNamesItsLine) {
    using namespace std::string_literals;
    ASSERT_TRUE(WriteBytes(PathOf("BAD.TXT"), "00000020|00000001|good\rname\r\r\n"
                                              "00000021|00000001|nul\0byte\r\n"
                                              "00000022|00000001|also\0bad\r\n"s));
    const ProcessResult result =
        RunCli({"export", PathOf("BAD.TXT"), "--to", "xorriso-weights", "-o", PathOf("bad.txt")});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("BAD.TXT:2: cannot write this name as xorriso-weights"), std::string::npos)
        << result.err;
    EXPECT_FALSE(QFile::exists(PathOf("bad.txt")));
}

TEST_F(DiscToolsTest, CheckReportsPlantedOverlapsAndGapsAndTheListingItselfIsClean) {
    const ProcessResult clean = RunCli({"check", PathOf("LBA.TXT")});
    EXPECT_EQ(clean.status, 0) << clean.out << clean.err;
    EXPECT_EQ(clean.out,
              "files: 9 (1 empty), first block: 32, last block: 44, blocks used: 13, blocks in gaps: 0, "
              "overlaps: 0, shared extents: 0\n");

    ASSERT_TRUE(WriteBytes(PathOf("PLANTED.TXT"), "00000010|00001000|A\r\n"    // blocks 16-17
                                                  "00000011|00000001|B\r\n"    // 17: inside A
                                                  "00000020|00000801|C\r\n"    // 32-33 after a gap 18-31
                                                  "00000021|00000000|D\r\n"    // empty: covers nothing
                                                  "00000022|00000800|E\r\n"    // 34
                                                  "0000001F|00000800|F\r\n")); // 31: fills the gap's end
    const ProcessResult planted = RunCli({"check", PathOf("PLANTED.TXT")});
    EXPECT_EQ(planted.status, 1);
    const std::string name = PathOf("PLANTED.TXT").toStdString();
    EXPECT_EQ(planted.out, name + ": overlap: line 2 (B) shares block 17 with line 1 (A)\n" + name +
                               ": gap: blocks 18-30 unused (13) between line 1 (A) and line 6 (F)\n"
                               "files: 6 (1 empty), first block: 16, last block: 34, blocks used: 6, "
                               "blocks in gaps: 13, overlaps: 1, shared extents: 0\n");

    // Blocks of 512 bytes: A covers 16-23, C 32-36, E 34-37 and F 31-34.
    const ProcessResult small = RunCli({"check", PathOf("PLANTED.TXT"), "--block-size", "512"});
    EXPECT_EQ(small.status, 1);
    EXPECT_EQ(small.out, name + ": overlap: line 2 (B) shares block 17 with line 1 (A)\n" + name +
                             ": overlap: line 3 (C) shares blocks 32-34 with line 6 (F)\n" + name +
                             ": overlap: line 5 (E) shares blocks 34-36 with line 3 (C)\n" + name +
                             ": gap: blocks 24-30 unused (7) between line 1 (A) and line 6 (F)\n"
                             "files: 6 (1 empty), first block: 16, last block: 37, blocks used: 15, "
                             "blocks in gaps: 7, overlaps: 3, shared extents: 0\n");

    // Hard links share an extent: reported and counted, status unchanged; a partial overlap still fails.
    // Line numbers count the blank line too.
    ASSERT_TRUE(WriteBytes(PathOf("LINKS.TXT"), "00000010|00001000|A\r\n"
                                                "00000010|00001000|A link\r\n"
                                                "00000012|00000800|C\r\n"
                                                "\r\n"
                                                "00000010|00001000|another link\r\n"));
    const ProcessResult links = RunCli({"check", PathOf("LINKS.TXT")});
    EXPECT_EQ(links.status, 0) << links.err;
    const std::string linksName = PathOf("LINKS.TXT").toStdString();
    EXPECT_EQ(links.out, linksName + ": shared: line 1 and line 2 (same blocks)\n" + linksName +
                             ": shared: line 1 and line 5 (same blocks)\n"
                             "files: 4 (0 empty), first block: 16, last block: 18, blocks used: 3, "
                             "blocks in gaps: 0, overlaps: 0, shared extents: 2\n");
    ASSERT_TRUE(WriteBytes(PathOf("LINKS.TXT"), "00000010|00001000|A\r\n"
                                                "00000010|00001000|A link\r\n"
                                                "00000010|00000800|same start, shorter\r\n"));
    const ProcessResult partial = RunCli({"check", PathOf("LINKS.TXT")});
    EXPECT_EQ(partial.status, 1);
    EXPECT_NE(partial.out.find("overlap: line 3 (same start, shorter) shares block 16 with line 1 (A)"),
              std::string::npos)
        << partial.out;
    EXPECT_NE(partial.out.find("overlaps: 1, shared extents: 1\n"), std::string::npos) << partial.out;
}

TEST_F(DiscToolsTest, ImportTakesItsOptionsAnywhereAndNamesWhatIsWrongWithThem) {
    // A report on stdin with every option given, options before and after the input.
    const ProcessResult read = RunCli({"import", "-o", "-", "--from", "report-lba", "-", "--layout", "3"}, {},
                                      "Report layout: xt\nFile data lba:  0 ,  33 ,  1 ,  5 , '/a b'\n");
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(read.out, "00000021|00000005|/a b\r\n");
    EXPECT_EQ(read.err, "");

    // A report line it cannot read is named by the report's name (<stdin> for standard input) and line.
    const ProcessResult badStdin = RunCli({"import", "--from", "report-lba", "-"}, {},
                                          "Report layout: xt\nxorriso : NOTE : something\n");
    EXPECT_EQ(badStdin.status, 2);
    EXPECT_EQ(badStdin.err, "quarrow-cli: <stdin>:2: not a line of the report_lba report\n");
    ASSERT_TRUE(WriteBytes(PathOf("bad isoinfo.txt"), "Directory listing of /\n\ngarbage\n"));
    const ProcessResult badFile = RunCli({"import", "--from", "isoinfo", PathOf("bad isoinfo.txt")});
    EXPECT_EQ(badFile.status, 2);
    EXPECT_EQ(badFile.err, "quarrow-cli: " + PathOf("bad isoinfo.txt").toStdString() +
                               ":3: not a directory record of isoinfo -l\n");

    const ProcessResult help = RunCli({"import", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: quarrow-cli import", 0), 0u) << help.out;
    for (const char* part : {"--from", "report-lba", "isoinfo", "--layout", "-o"})
        EXPECT_NE(help.out.find(part), std::string::npos) << part << " in " << help.out;

    struct Case {
        QStringList args;
        const char* reason; // between "import: " and " (see quarrow-cli import --help)"
    };
    const Case cases[] = {
        {{}, "no image given"},
        {{"--from", "isoinfo"}, "no report given"},
        {{"-"}, "an image is read from a file, not from standard input"},
        {{"a.iso", "b.iso"}, "more than one input: 'a.iso' and 'b.iso'"},
        {{"a.iso", "--layout", "4"},
         "--layout 4 is not available: a file's directory record block cannot be given exactly"},
        {{"a.iso", "--layout", "five"}, "--layout takes 3, not 'five'"},
        {{"--from", "mkisofs", "r.txt"}, "--from takes report-lba or isoinfo, not 'mkisofs'"},
        {{"a.iso", "--from"}, "--from needs a value"},
        {{"a.iso", "-o"}, "-o needs a value"},
        {{"--bogus", "a.iso"}, "unknown option '--bogus'"},
        {{"a.iso", "-x"}, "unknown option '-x'"},
    };
    for (const Case& c : cases) {
        const ProcessResult result = RunCli(QStringList{"import"} + c.args, m_dir.path());
        EXPECT_EQ(result.status, 2) << c.args.join(' ').toStdString();
        EXPECT_EQ(result.err,
                  "quarrow-cli: import: " + std::string(c.reason) + " (see quarrow-cli import --help)\n");
        EXPECT_EQ(result.out, "");
    }
}
