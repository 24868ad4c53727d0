// Times the column sort on generated listings beside GNU sort on the same file.
//
// Usage: sort_keys_bench [rows]   (default 1,000,000)
// Columns: file sizes as decimal numbers, the same with one "-1" in a hundred (a mixed column), and
// file names. Baselines: "LC_ALL=C sort -t'|' -k3,3" and, when an English UTF-8 locale is installed,
// the same under that locale (a linguistic sort like ours).
#include "table/row_compare.h"

#include <QTemporaryDir>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Listing {
    std::vector<std::string> sizes;
    std::vector<std::string> mixed;
    std::vector<std::string> names;
};

Listing MakeListing(std::size_t nRows) {
    static const char kNameChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-";
    std::mt19937 rng(20240607);
    Listing listing;
    for (std::size_t i = 0; i < nRows; ++i) {
        const std::uint32_t size = rng() % 2000000000u;
        listing.sizes.push_back(std::to_string(size));
        listing.mixed.push_back(i % 100 == 0 ? "-1" : listing.sizes.back());
        std::string name;
        for (int k = 0; k < 12; ++k)
            name += kNameChars[rng() % (sizeof(kNameChars) - 1)];
        listing.names.push_back(name + ".DAT");
    }
    return listing;
}

bool WriteListing(const Listing& listing, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    for (std::size_t i = 0; i < listing.names.size(); ++i)
        std::fprintf(file, "%08X|%08X|%s\n", static_cast<unsigned>(i),
                     static_cast<unsigned>(std::stoul(listing.sizes[i])), listing.names[i].c_str());
    return std::fclose(file) == 0;
}

double TimeShell(const std::string& command) {
    const Clock::time_point start = Clock::now();
    const int status = std::system(command.c_str());
    const double seconds = SecondsSince(start);
    return status == 0 ? seconds : -1.0;
}

double TimeColumnSort(const std::vector<std::string>& column, bool bAscending,
                      const CTextCollator& collator) {
    std::vector<std::uint32_t> ids(column.size());
    std::iota(ids.begin(), ids.end(), 0u);
    const Clock::time_point start = Clock::now();
    SortRowIdsByColumn(
        ids, [&column](std::uint32_t id) { return std::string_view(column[id]); }, bAscending, collator);
    return SecondsSince(start);
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t nRows = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000;
    std::printf("rows: %zu\n", nRows);
    const Listing listing = MakeListing(nRows);

    QTemporaryDir dir;
    const std::string path = dir.filePath("LBA.TXT").toStdString();
    if (!dir.isValid() || !WriteListing(listing, path)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    const double plainSort = TimeShell("LC_ALL=C sort -t'|' -k3,3 '" + path + "' > /dev/null");
    std::printf("baseline  LC_ALL=C sort -k3,3:           %7.3f s\n", plainSort);
    const char* kEnglish = "en_US.UTF-8";
    if (std::setlocale(LC_COLLATE, kEnglish)) {
        std::setlocale(LC_COLLATE, "C");
        const double localeSort =
            TimeShell(std::string("LC_ALL=") + kEnglish + " sort -t'|' -k3,3 '" + path + "' > /dev/null");
        std::printf("baseline  LC_ALL=%s sort -k3,3: %7.3f s\n", kEnglish, localeSort);
    } else {
        std::printf("baseline  %s sort: skipped, locale not installed\n", kEnglish);
    }

    const CTextCollator collator;
    for (bool bAscending : {true, false}) {
        const char* direction = bAscending ? "ascending " : "descending";
        std::printf("sizes     %s:                  %7.3f s\n", direction,
                    TimeColumnSort(listing.sizes, bAscending, collator));
        std::printf("sizes, 1%% -1 %s:               %7.3f s\n", direction,
                    TimeColumnSort(listing.mixed, bAscending, collator));
        std::printf("names     %s:                  %7.3f s\n", direction,
                    TimeColumnSort(listing.names, bAscending, collator));
    }
    return 0;
}
