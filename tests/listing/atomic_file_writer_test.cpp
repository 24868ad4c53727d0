#include "listing/atomic_file_writer.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class AtomicFileWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "quarrow-writer-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }

    std::string PathOf(const char* name) const { return (m_dir / name).string(); }

    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void Write(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    // The names in the folder, temporary files included.
    std::size_t EntryCount() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(m_dir), {}));
    }

    fs::path m_dir;
};

bool WriteWhole(const std::string& path, const std::string& bytes, std::string* error = nullptr) {
    CAtomicFileWriter writer(path);
    const bool ok = writer.Open() && writer.Write(bytes) && writer.Commit();
    if (error)
        *error = writer.Error();
    return ok;
}

} // namespace

TEST_F(AtomicFileWriterTest, AWriteCutShortByAFileSizeLimitFailsAndLeavesTheEarlierFile) {
    // One write larger than the limit, and many small ones that cross it: both must fail, naming the file.
    for (const int pieces : {1, 64}) {
        SCOPED_TRACE(pieces);
        const std::string path = PathOf("out.txt");
        Write(path, "earlier\n");
        EXPECT_EXIT(
            {
                std::signal(SIGXFSZ, SIG_IGN);
                rlimit limit{};
                limit.rlim_cur = limit.rlim_max = 4096;
                setrlimit(RLIMIT_FSIZE, &limit);
                bool ok = false;
                {
                    CAtomicFileWriter writer(path);
                    ok = writer.Open();
                    for (int i = 0; ok && i < pieces; ++i)
                        ok = writer.Write(std::string(20000 / pieces, 'x'));
                    ok = ok && writer.Commit();
                    std::fputs(writer.Error().c_str(), stderr);
                }
                std::exit(ok ? 0 : 3);
            },
            ::testing::ExitedWithCode(3), "cannot write .*/out.txt: File too large");
        EXPECT_EQ(Read(path), "earlier\n");
        EXPECT_EQ(EntryCount(), 1u) << "no temporary file is left";
    }
}

TEST_F(AtomicFileWriterTest, ReplacesThroughLinksAndKeepsModeAndOwner) {
    const std::string real = PathOf("real.txt"), link = PathOf("link.txt");
    Write(real, "old");
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(real.c_str(), 1234, 2345), 0);
    }
    fs::create_symlink("real.txt", link);

    ASSERT_TRUE(WriteWhole(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link)) << "the link stays a link";
    EXPECT_EQ(Read(real), "new");
    struct stat info {};
    ASSERT_EQ(::stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(info.st_uid, 1234u);
        EXPECT_EQ(info.st_gid, 2345u);
    }

    // A link to a name not there yet makes that file, with the usual mode of a new file.
    fs::create_symlink("made.txt", PathOf("dangling.txt"));
    ASSERT_TRUE(WriteWhole(PathOf("dangling.txt"), "made"));
    EXPECT_EQ(Read(PathOf("made.txt")), "made");
    const mode_t mask = ::umask(022);
    ::umask(mask);
    ASSERT_EQ(::stat(PathOf("made.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0666u & ~mask);
    EXPECT_EQ(EntryCount(), 4u);
}

TEST_F(AtomicFileWriterTest, DevicesAndFifosAreWrittenInPlaceNotReplaced) {
    const std::string fifo = PathOf("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = Read(fifo); });
    std::string error;
    EXPECT_TRUE(WriteWhole(fifo, "through the fifo\n", &error)) << error;
    reader.join();
    EXPECT_EQ(received, "through the fifo\n");
    EXPECT_TRUE(fs::is_fifo(fifo));

    if (::geteuid() != 0)
        GTEST_SKIP() << "making a device node needs root";
    const std::string device = PathOf("null");
    ASSERT_EQ(::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    EXPECT_TRUE(WriteWhole(device, "into the device", &error)) << error;
    struct stat info {};
    ASSERT_EQ(::lstat(device.c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode)) << "the device node stays";
    EXPECT_EQ(info.st_rdev, makedev(1, 3));
    EXPECT_EQ(EntryCount(), 2u);
}

TEST_F(AtomicFileWriterTest, AnOpenWritersTemporaryFileIsRemovedOnRequestAndAFolderIsRefused) {
    const std::string path = PathOf("out.txt");
    Write(path, "earlier");
    {
        CAtomicFileWriter writer(path);
        ASSERT_TRUE(writer.Open());
        ASSERT_TRUE(writer.Write("partial"));
        EXPECT_EQ(EntryCount(), 2u);
        CAtomicFileWriter::RemoveTemporaryFiles();
        EXPECT_EQ(EntryCount(), 1u);
    }
    EXPECT_EQ(Read(path), "earlier");

    std::string error;
    EXPECT_FALSE(WriteWhole(m_dir.string(), "x", &error));
    EXPECT_NE(error.find("Is a directory"), std::string::npos) << error;
}
