// Block-exact editing through quarrow-cli, each beside a baseline measured on the same image in the same run:
//   replace one 1 MB file -o OUT            vs  cp IMG OUT (the copy dominates)
//   replace --in-place, at two image sizes  (absolute times: they should not grow with the image)
//   which of 1,000 blocks                   vs  xorriso -indev IMG -find / -exec report_lba --
//   diff of two images                      vs  the same xorriso report of one image
//
//   bench/bench_block_edit [megabytes [small_files]]    (default: 200 10000)
//
// The images hold `megabytes` files of 1 MB and `small_files` files of 100 bytes; the in-place edit also runs
// on an image of a tenth of the size. Each command runs three times, alternating with its baseline; the
// medians are printed with their ratio.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "command_timing.h"

namespace fs = std::filesystem;

namespace {

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

std::string Cli() {
    return Quoted(QUARROW_CLI);
}

// An image of `megabytes` 1 MB files and `small` files of 100 bytes, built by xorriso.
fs::path MakeImage(const fs::path& dir, const std::string& name, long megabytes, long small) {
    const fs::path tree = dir / (name + "-tree");
    fs::create_directories(tree / "big");
    const std::string mb(1 << 20, 'm');
    for (long i = 0; i < megabytes; ++i)
        std::ofstream(tree / "big" / ("part" + std::to_string(i) + ".bin"), std::ios::binary) << mb;
    for (long i = 0; i < small; ++i) {
        const fs::path folder = tree / ("dir" + std::to_string(i / 1000));
        if (i % 1000 == 0)
            fs::create_directories(folder);
        std::ofstream(folder / ("file_" + std::to_string(i) + ".dat"), std::ios::binary)
            << std::string(100, 's');
    }
    const fs::path image = dir / (name + ".iso");
    TimeCommand("xorriso -report_about SORRY -outdev " + Quoted(image) + " -map " + Quoted(tree) +
                " / -commit >/dev/null 2>&1");
    // On the disc before any timing: an edit in place syncs the image, which would otherwise also flush
    // what xorriso left in the page cache.
    TimeCommand("sync " + Quoted(image));
    fs::remove_all(tree);
    return image;
}

double MedianOf(const std::string& command) {
    std::vector<double> times;
    for (int round = 0; round < 3; ++round)
        times.push_back(TimeCommand(command));
    return Median(times);
}

} // namespace

int main(int argc, char** argv) {
    const long megabytes = argc > 1 ? std::atol(argv[1]) : 200;
    const long small = argc > 2 ? std::atol(argv[2]) : 10000;
    char pattern[] = "/tmp/quarrow-bench-edit-XXXXXX";
    if (!::mkdtemp(pattern))
        return 1;
    const fs::path dir = pattern;
    const fs::path big = MakeImage(dir, "big", megabytes, small);
    const fs::path tenth = MakeImage(dir, "tenth", megabytes / 10, small / 10);
    std::ofstream(dir / "new.bin", std::ios::binary) << std::string(1 << 20, 'n');
    const std::string file = " --file " + Quoted("/big/part1.bin=" + (dir / "new.bin").string());
    std::printf("images: %ld MB and %ld MB, %ld and %ld small files\n", megabytes, megabytes / 10, small,
                small / 10);

    const std::string replace =
        Cli() + " replace " + Quoted(big) + file + " -o " + Quoted(dir / "out.iso") + " >/dev/null";
    Compare("replace-o", replace, "cp " + Quoted(big) + " " + Quoted(dir / "copy.iso"), "cp");
    // The output is synced before it is renamed into place; cp does not sync.
    Compare("replace-o", replace,
            "cp " + Quoted(big) + " " + Quoted(dir / "copy.iso") + " && sync " + Quoted(dir / "copy.iso"),
            "cp && sync FILE");
    for (const fs::path& image : {tenth, big})
        std::printf("in-place   quarrow-cli %8.3f s   (%s, %.0f MB)\n",
                    MedianOf(Cli() + " replace " + Quoted(image) + file + " --in-place >/dev/null"),
                    image.filename().c_str(), static_cast<double>(fs::file_size(image)) / (1 << 20));

    const std::string report =
        "xorriso -report_about SORRY -indev " + Quoted(big) + " -find / -exec report_lba -- >/dev/null 2>&1";
    std::string blocks;
    const std::uintmax_t imageBlocks = fs::file_size(big) / 2048;
    for (int i = 0; i < 1000; ++i)
        blocks += " " + std::to_string((imageBlocks * static_cast<std::uintmax_t>(i)) / 1000);
    Compare("which", Cli() + " which " + Quoted(big) + blocks + " >/dev/null", report, "xorriso report_lba");
    // The edited copy's files keep their places and sizes, so diff reads both images and exits 0.
    Compare("diff", Cli() + " diff " + Quoted(big) + " " + Quoted(dir / "out.iso") + " >/dev/null", report,
            "xorriso report_lba");
    fs::remove_all(dir);
    return 0;
}
