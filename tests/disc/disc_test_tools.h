// Shared by the tests on real images: a temporary folder, running a command, files, and the tree of test
// files the images are built from.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace disc_test {

namespace fs = std::filesystem;

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "quarrow-disc-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        if (!m_path.empty())
            fs::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& Path() const { return m_path; }

private:
    fs::path m_path;
};

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a shell command with stdout and stderr captured in files of `dir`.
inline RunResult RunShell(const fs::path& dir, const std::string& command) {
    const fs::path out = dir / "run.out", err = dir / "run.err";
    const std::string line = "(" + command + ") >'" + out.string() + "' 2>'" + err.string() + "'";
    const int raw = std::system(line.c_str());
    RunResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = ReadFile(out);
    result.err = ReadFile(err);
    return result;
}

inline std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

inline std::string Cli() {
    return Quoted(QUARROW_CLI);
}

// The content of the many small files: sizes 0 to 4999, bytes from the index.
inline std::string SmallFileContent(int index) {
    std::string bytes(static_cast<std::size_t>(index * 37 % 5000), '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((index * 131 + i * 7) & 0xFF);
    return bytes;
}

// Makes the test tree under root and returns every file's path in the image ("/..."), with its content.
// nested folders, long Rock Ridge names, blanks, quotes, UTF-8 and Latin-1 names, empty files, sizes
// around one block, and `many` small files in one folder.
inline std::map<std::string, std::string> MakeTree(const fs::path& root, int many, bool latin1Name = true) {
    std::map<std::string, std::string> files = {
        {"/A/B/C/deep.txt", "deep\n"},
        {"/A/B/empty two", ""},
        {"/empty", ""},
        {"/one", "1"},
        {"/block", std::string(2048, 'b')},
        {"/block plus one", std::string(2049, 'c')},
        {"/A/" + std::string(120, 'L') + " a Rock Ridge name well past the ISO 9660 limits.data", "long\n"},
        {"/sp ace/it's \"quoted\", isn't it.txt", "quotes\n"},
        {"/\xc3\x9c"
         "n\xc3\xaf"
         "c\xc3\xb8"
         "de.txt",
         "utf-8\n"},
    };
    if (latin1Name)
        files["/caf\xe9.bin"] = "latin-1\n";
    char name[32];
    for (int i = 0; i < many; ++i) {
        std::snprintf(name, sizeof name, "/many/f%05d.bin", i);
        files[name] = SmallFileContent(i);
    }
    for (const auto& [path, content] : files)
        WriteFile(root / path.substr(1), content);
    return files;
}

// Patching directory records of an image, to damage it on purpose.
constexpr std::size_t kBlock = 2048;

inline std::uint32_t Le32(const std::string& image, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(image[at + static_cast<std::size_t>(i)]);
    return value;
}

// Sets the extent block of the directory record at `at`, in both byte orders.
inline void SetExtent(std::string& image, std::size_t at, std::uint32_t lba) {
    for (int i = 0; i < 4; ++i) {
        image[at + 2 + static_cast<std::size_t>(i)] = static_cast<char>(lba >> (8 * i));
        image[at + 9 - static_cast<std::size_t>(i)] = static_cast<char>(lba >> (8 * i));
    }
}

// The offset of the record named `name` (without version) in the folder whose record is at `dirRecord`.
inline std::size_t FindRecord(const std::string& image, std::size_t dirRecord, const std::string& name) {
    const std::size_t start = Le32(image, dirRecord + 2) * kBlock;
    const std::size_t end = start + Le32(image, dirRecord + 10);
    for (std::size_t at = start; at < end;) {
        const auto length = static_cast<unsigned char>(image[at]);
        if (length == 0) {
            at = (at / kBlock + 1) * kBlock;
            continue;
        }
        std::string id = image.substr(at + 33, static_cast<unsigned char>(image[at + 32]));
        id = id.substr(0, id.find(';'));
        if (id == name || id == name + ".")
            return at;
        at += length;
    }
    ADD_FAILURE() << "no record " << name;
    return 0;
}

constexpr std::size_t kRootRecord = 16 * kBlock + 156;

} // namespace disc_test
