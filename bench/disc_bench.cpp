// Disc image import and rebuild through quarrow-cli, each beside the field's tool doing the comparable
// job on the same image in the same run:
//   import  IMG (100,000 small files)       vs  xorriso -indev IMG -find / -type f -exec report_lba --
//   rebuild OLD in size-descending order    vs  xorriso -indev OLD -outdev NEW -changes_pending yes -commit
//     (10,000 files, about 200 MB)               (a plain copy: -commit alone writes nothing unchanged)
//
//   bench/bench_disc [import_files [rebuild_files]]    (default: 100000 10000)
//
// Each command runs three times, alternating with its baseline; the medians are printed with their ratio.
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

// A tree of `files` files in folders of 1000, each of size(i) bytes.
void MakeTree(const fs::path& root, long files, long (*size)(long)) {
    std::string bytes;
    for (long i = 0; i < files; ++i) {
        const fs::path folder = root / ("dir" + std::to_string(i / 1000));
        if (i % 1000 == 0)
            fs::create_directories(folder);
        bytes.assign(static_cast<std::size_t>(size(i)), static_cast<char>('a' + i % 26));
        std::ofstream(folder / ("file_" + std::to_string(i) + ".dat"), std::ios::binary) << bytes;
    }
}

std::string Q(const fs::path& path) {
    return "'" + path.string() + "'";
}

} // namespace

int main(int argc, char** argv) {
    const long importFiles = argc > 1 ? std::atol(argv[1]) : 100000;
    const long rebuildFiles = argc > 2 ? std::atol(argv[2]) : 10000;
    const std::string cli = Q(QUARROW_CLI);
    const fs::path dir = fs::temp_directory_path() / ("quarrow-disc-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);

    // Import: small files, one block each.
    MakeTree(dir / "small", importFiles, [](long i) { return 16 + i % 200; });
    const fs::path small = dir / "small.iso";
    TimeCommand("xorriso -report_about SORRY -outdev " + Q(small) + " -joliet on -map " + Q(dir / "small") +
                " / -commit >/dev/null 2>&1");
    fs::remove_all(dir / "small");
    std::printf("%ld files, image %.0f MB\n", importFiles, static_cast<double>(fs::file_size(small)) / 1e6);
    Compare("import", cli + " import " + Q(small) + " -o " + Q(dir / "small.lst"),
            "xorriso -report_about SORRY -indev " + Q(small) + " -find / -type f -exec report_lba -- >" +
                Q(dir / "small.report") + " 2>/dev/null",
            "xorriso report_lba");
    fs::remove(small);

    // Rebuild: about 20 kB a file on average, in size-descending order.
    MakeTree(dir / "big", rebuildFiles, [](long i) { return 1 + (i * 7919) % 40000; });
    const fs::path old = dir / "old.iso";
    TimeCommand("xorriso -report_about SORRY -outdev " + Q(old) + " -joliet on -map " + Q(dir / "big") +
                " / -commit >/dev/null 2>&1");
    fs::remove_all(dir / "big");
    TimeCommand(cli + " import " + Q(old) + " | LC_ALL=C sort -t'|' -k2,2r >" + Q(dir / "order.lst"));
    std::printf("%ld files, image %.0f MB\n", rebuildFiles, static_cast<double>(fs::file_size(old)) / 1e6);
    Compare("rebuild",
            cli + " rebuild " + Q(old) + " --order " + Q(dir / "order.lst") + " -o " + Q(dir / "new.iso"),
            "rm -f " + Q(dir / "copy.iso") + " && xorriso -report_about SORRY -indev " + Q(old) +
                " -outdev " + Q(dir / "copy.iso") + " -changes_pending yes -commit >/dev/null 2>&1",
            "xorriso plain copy");
    fs::remove_all(dir);
    return 0;
}
