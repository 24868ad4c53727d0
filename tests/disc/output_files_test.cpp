// What quarrow-cli writes and reads besides the listing rules: every output under a file-size limit, a
// signal in the middle of a write, outputs that are devices or FIFOs, inputs that are not regular files,
// and a listing cut short while a command runs. Run through the real program, from a shell.
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "disc_test_tools.h"

namespace {

using namespace disc_test;

// Runs the rest of a shell command under strace; LeakSanitizer, which cannot work under a tracer, is off.
constexpr const char* kTraced = "env ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 strace ";

// A bound on what a program run from a test may take; none under AddressSanitizer, which reserves more
// address space than any such bound.
#if defined(__SANITIZE_ADDRESS__)
constexpr const char* kMemoryLimit = "";
#else
constexpr const char* kMemoryLimit = "ulimit -v 4000000; ";
#endif

class OutputFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeTree(m_dir.Path() / "tree", 300);
        ASSERT_EQ(RunShell(m_dir.Path(), "xorriso -outdev " + Quoted(Path("src.iso")) + " -map " +
                                             Quoted(m_dir.Path() / "tree") + " / -commit")
                      .status,
                  0);
        const RunResult imported = RunShell(m_dir.Path(), Cli() + " import " + Quoted(Path("src.iso")) +
                                                              " -o " + Quoted(Path("LBA.TXT")));
        ASSERT_EQ(imported.status, 0) << imported.err;
        ASSERT_GT(ReadFile(Path("LBA.TXT")).size(), 8000u);
    }

    fs::path Path(const char* name) const { return m_dir.Path() / name; }

    // The command that writes `output` with each writer of the program.
    std::vector<std::pair<const char*, std::string>> Writers(const fs::path& output) const {
        const std::string o = " -o " + Quoted(output);
        return {
            {"sort", Cli() + " sort " + Quoted(Path("LBA.TXT")) + " --by StartLba --descending" + o},
            {"export", Cli() + " export " + Quoted(Path("LBA.TXT")) + " --to mkisofs-sort" + o},
            {"import", Cli() + " import " + Quoted(Path("src.iso")) + o},
            {"rebuild",
             Cli() + " rebuild " + Quoted(Path("src.iso")) + " --order " + Quoted(Path("LBA.TXT")) + o},
        };
    }

    // Names in the folder that start with `prefix`: the temporary files beside an output.
    std::size_t Leftovers(const std::string& prefix) const {
        std::size_t count = 0;
        for (const auto& entry : fs::directory_iterator(m_dir.Path()))
            count += entry.path().filename().string().starts_with(prefix) ? 1 : 0;
        return count;
    }

    TempDir m_dir;
};

} // namespace

TEST_F(OutputFilesTest, AFileSizeLimitIsAWriteErrorAndTheEarlierFileStays) {
    // With the signal ignored by the caller, and with its default action, which the program ignores too.
    for (const char* trap : {"trap '' XFSZ; ", ""}) {
        for (const auto& [name, command] : Writers(Path("out"))) {
            SCOPED_TRACE(std::string(name) + " " + trap);
            WriteFile(Path("out"), "earlier\n");
            const RunResult run = RunShell(m_dir.Path(), std::string(trap) + "ulimit -f 4; " + command);
            EXPECT_EQ(run.status, 2) << run.err;
            EXPECT_NE(run.err.find("/out: File too large"), std::string::npos) << run.err;
            EXPECT_EQ(ReadFile(Path("out")), "earlier\n");
            EXPECT_EQ(Leftovers(".out."), 0u);
        }
    }
}

TEST_F(OutputFilesTest, ASignalDuringAWriteRemovesTheTemporaryFileAndEndsAsTheSignalDoes) {
    // The flush to the disc is held back for two seconds, so the signal comes while the temporary file is
    // there.
    struct Case {
        const char* command;
        int signal;
    };
    const Case cases[] = {{"rebuild", SIGINT}, {"rebuild", SIGTERM}, {"rebuild", SIGHUP}, {"sort", SIGTERM}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " " + std::to_string(c.signal));
        WriteFile(Path("out"), "earlier\n");
        std::string command;
        for (const auto& [name, line] : Writers(Path("out")))
            if (std::string(name) == c.command)
                command = line;
        // The program runs in the foreground, where SIGINT is not ignored; a helper beside it waits for the
        // temporary file and sends the signal.
        const std::string pidFile = Quoted(Path("pid"));
        const RunResult run =
            RunShell(m_dir.Path(),
                     "rm -f " + pidFile + "; (for i in $(seq 400); do [ -s " + pidFile + " ] && ls -a " +
                         Quoted(m_dir.Path()) + " | grep -q '^\\.out\\.' && break; sleep 0.05; done; kill -" +
                         std::to_string(c.signal) + " $(pgrep -P $(cat " + pidFile +
                         "))) & sh -c 'echo $$ > " + Path("pid").string() + "; exec " + std::string(kTraced) +
                         "-qq -o /dev/null -e trace=fsync -e inject=fsync:delay_enter=2000000 \"$@\"' "
                         "sh " +
                         command + "; status=$?; wait; exit $status");
        EXPECT_EQ(run.status, 128 + c.signal) << run.err;
        EXPECT_EQ(ReadFile(Path("out")), "earlier\n");
        EXPECT_EQ(Leftovers(".out."), 0u);
    }
}

TEST_F(OutputFilesTest, DevicesAndFifosAreWrittenIntoAndStayWhatTheyAre) {
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::mknod(Path("null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    }
    for (const char* target : {"fifo", "null"}) {
        if (!root && std::string(target) == "null")
            continue;
        for (const auto& [name, command] : Writers(Path(target))) {
            SCOPED_TRACE(std::string(name) + " -o " + target);
            const bool fifo = std::string(target) == "fifo";
            const RunResult run = RunShell(
                m_dir.Path(), fifo ? "timeout 60 cat " + Quoted(Path("fifo")) + " > " + Quoted(Path("got")) +
                                         " & " + command + "; status=$?; wait; exit $status"
                                   : command);
            EXPECT_EQ(run.status, 0) << run.err;
            struct stat info {};
            ASSERT_EQ(::lstat(Path(target).c_str(), &info), 0);
            EXPECT_TRUE(fifo ? S_ISFIFO(info.st_mode) : S_ISCHR(info.st_mode))
                << "replaced by a regular file";
            if (fifo) {
                EXPECT_GT(ReadFile(Path("got")).size(), 1000u);
            }
            EXPECT_EQ(Leftovers(std::string(".") + target + "."), 0u);
        }
    }
    if (!root)
        GTEST_SKIP() << "the device case needs root to make a device node";
}

TEST_F(OutputFilesTest, InputsThatAreNotRegularFilesAreRefusedWithoutWaiting) {
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    const std::string fifo = Quoted(Path("fifo"));
    // A FIFO nobody writes to would block an open for ever; /dev/zero never ends. The limits keep today's
    // faults from hanging the test or eating the machine's memory.
    const std::string commands[] = {
        Cli() + " import " + fifo,
        Cli() + " rebuild " + fifo + " --order " + Quoted(Path("LBA.TXT")) + " -o " + Quoted(Path("new.iso")),
        Cli() + " sort " + fifo + " --by StartLba",
        Cli() + " sort /dev/zero --by StartLba",
        Cli() + " check /dev/zero",
        Cli() + " import --from isoinfo /dev/zero",
    };
    for (const std::string& command : commands) {
        SCOPED_TRACE(command);
        const RunResult run = RunShell(m_dir.Path(), kMemoryLimit + std::string("timeout 30 ") + command);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find("not a regular file"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(Path("new.iso")));
}

TEST_F(OutputFilesTest, AListingCutShortWhileACommandRunsDoesNotKillIt) {
    // The listing is truncated while the program is held (for a second, in the close after it opened the
    // listing): a listing read whole before is sorted as it was; one mapped into memory ends with SIGBUS.
    const std::string listing = ReadFile(Path("LBA.TXT"));
    for (const char* command : {"sort -o - --by FileSize", "export -o - --to xorriso-weights", "check"}) {
        SCOPED_TRACE(command);
        WriteFile(Path("LBA.TXT"), listing);
        const std::string run = Cli() + " " + command + " " + Quoted(Path("LBA.TXT"));
        const RunResult expected = RunShell(m_dir.Path(), run);
        const RunResult held = RunShell(
            m_dir.Path(), kTraced + std::string("-f -qq") + " -o /dev/null -P " + Quoted(Path("LBA.TXT")) +
                              " -e trace=close -e inject=close:delay_exit=3000000 " + run +
                              " & sleep 1; truncate -s 100 " + Quoted(Path("LBA.TXT")) + "; wait $!");
        EXPECT_EQ(held.status, expected.status) << held.err;
        EXPECT_GT(expected.out.size(), 50u);
        EXPECT_EQ(held.out, expected.out);
    }
}

TEST_F(OutputFilesTest, ExportRefusesLinesTheToolWouldSplitAndTheLimitsAreTheTools) {
    // First the tools: a line of exactly the length taken as the limit is read whole, one a byte longer is
    // split. The lines name a real file and reach their length by zeros before the weight.
    WriteFile(Path("small/a"), "a");
    WriteFile(Path("small/b"), "b");
    struct Case {
        const char* format;
        std::size_t longest; // line feed not counted
        std::string tool;    // W stands for the weight file
        std::string splitSign;
    };
    const Case cases[] = {
        {"mkisofs-sort", 4094, "genisoimage -quiet -sort W -o x.iso small", "Incorrect sort file format"},
        {"xorriso-weights", 4093, "xorriso -as mkisofs -quiet --sort-weight-list W -o x.iso small",
         "No space or tab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        const bool mkisofs = std::string(c.format) == "mkisofs-sort";
        for (const std::size_t extra : {0, 1}) {
            SCOPED_TRACE(extra);
            const std::string weight = std::string(c.longest + extra - (mkisofs ? 5 : 4), '0') + "2";
            WriteFile(Path("hand"), mkisofs ? "./b " + weight + "\n./a 1\n" : weight + " /b\n1 /a\n");
            std::string tool = c.tool;
            tool.replace(tool.find(" W "), 3, " " + Quoted(Path("hand")) + " ");
            const RunResult built = RunShell(m_dir.Path(), "cd " + Quoted(m_dir.Path()) + " && " + tool);
            if (extra == 0) {
                EXPECT_EQ(built.status, 0) << built.err;
            }
            EXPECT_EQ(built.err.find(c.splitSign) != std::string::npos, extra == 1) << built.err;
        }

        // Then the export: a name whose line is the longest is written, one a byte longer is refused.
        const std::size_t room = c.longest - (mkisofs ? 4 : 3); // less "./" and " 2", or "2 /"
        for (const std::size_t extra : {0, 1}) {
            SCOPED_TRACE(extra);
            WriteFile(Path("long.txt"), "00000021|00000001|/" + std::string(room + extra, 'n') +
                                            "\r\n00000022|00000001|/b\r\n");
            const RunResult exported = RunShell(m_dir.Path(), Cli() + " export " + Quoted(Path("long.txt")) +
                                                                  " --to " + c.format + " -o -");
            if (extra == 0) {
                EXPECT_EQ(exported.status, 0) << exported.err;
                EXPECT_EQ(exported.out.find('\n'), c.longest);
            } else {
                EXPECT_EQ(exported.status, 2);
                EXPECT_EQ(exported.out, "");
                EXPECT_NE(exported.err.find("long.txt:1: cannot write this name"), std::string::npos)
                    << exported.err;
            }
        }
    }
}
