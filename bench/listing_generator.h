// Generated three-column listings for the benchmarks, as a disc image's file table looks: growing start
// blocks, sizes of all kinds, and names of one of two styles.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <QFile>
#include <QString>

enum class NameStyle {
    // Names as people give them: 8 to 40 bytes, words in mixed case joined by hyphens, blanks, dots or
    // underscores, an extension mostly, some Latin-1 and some UTF-8 letters. About 44 bytes a line.
    Realistic,
    // Names as tools number them: a folder, FILE, seven digits, four hexadecimal digits, .BIN.
    Numbered,
};

// Reads a --names=realistic|numbered|both argument into styles; false for any other argument.
inline bool ReadNameStyles(const std::string& arg, std::vector<NameStyle>& styles) {
    if (arg == "--names=realistic")
        styles = {NameStyle::Realistic};
    else if (arg == "--names=numbered")
        styles = {NameStyle::Numbered};
    else if (arg == "--names=both")
        styles = {NameStyle::Realistic, NameStyle::Numbered};
    else
        return false;
    return true;
}

struct ListingOptions {
    NameStyle names = NameStyle::Realistic;
    // The first start block. From 0x80000000 up, the table shows the blocks as negative numbers, which
    // sort as text.
    std::uint32_t firstLba = 0x1A;
    // When nonzero, every nth line (the first included) has the size FFFFFFFF, which the table shows as
    // "-1": a text among the numbers of the FileSize column.
    long nMinusOneSizeEvery = 0;
    // When set, each file starts at the block after the last one of the file before, as on a disc image
    // without gaps; otherwise the start blocks grow more slowly than the files, which then overlap.
    bool bBackToBack = false;
};

namespace listing_generator_detail {

inline std::string RealisticName(std::mt19937& random) {
    static const char* const kSyllables[] = {
        "an", "ber", "cor", "dan", "el", "fi", "gor", "han", "is", "jo", "ka", "lo", "mi", "nor", "os",
        "pa", "qu",  "ri",  "sa",  "to", "ur", "vi",  "wa",  "xe", "yo", "za", "ch", "th", "st",  "mer"};
    static const char* const kLatin1[] = {"\xe9", "\xfc", "\xf1", "\xe5", "\xc4"};
    static const char* const kUtf8[] = {"\xc3\xa9", "\xc3\xb6", "\xc3\x9f", "\xc5\x82", "\xe3\x81\x82"};
    static const char* const kJoins[] = {"-", " ", "_", ".", "", "-"};
    static const char* const kExtensions[] = {".txt", ".jpg", ".mp3", ".DAT", ".pdf", ".png", ".BIN", ".doc"};
    const auto pick = [&random](std::size_t n) { return static_cast<std::size_t>(random() % n); };

    const std::size_t length = 8 + pick(33);
    const bool extension = pick(5) != 0;
    const std::size_t stem = extension ? length - 4 : length;
    const std::size_t accent = pick(20); // 0: Latin-1, 1: UTF-8, else none
    std::string name;
    while (name.size() < stem) {
        if (!name.empty())
            name += kJoins[pick(std::size(kJoins))];
        std::string word;
        for (std::size_t s = 1 + pick(3); s > 0; --s)
            word += kSyllables[pick(std::size(kSyllables))];
        const std::size_t shape = pick(10);
        if (shape < 5)
            word[0] = static_cast<char>(word[0] - 'a' + 'A');
        else if (shape == 5)
            for (char& c : word)
                c = static_cast<char>(c - 'a' + 'A');
        if (pick(8) == 0)
            word += std::to_string(pick(100));
        if (accent < 2 && pick(3) == 0)
            word.insert(1 + pick(word.size() - 1),
                        accent == 0 ? kLatin1[pick(std::size(kLatin1))] : kUtf8[pick(std::size(kUtf8))]);
        name += word;
    }
    // Cut to the length without splitting a UTF-8 character.
    std::size_t cut = stem;
    while (cut > 0 && cut < name.size() && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    name.resize(cut);
    if (extension)
        name += kExtensions[pick(std::size(kExtensions))];
    return name;
}

inline std::string NumberedName(std::mt19937& random) {
    static const char* const kFolders[] = {"DATA\\", "MOVIE\\", "SOUND\\BGM\\", "", "MAP\\A\xe9R\\"};
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%sFILE%07lu_%04X.BIN", kFolders[random() % 5],
                  static_cast<unsigned long>(random() % 10000000), static_cast<unsigned>(random() & 0xFFFF));
    return buffer;
}

} // namespace listing_generator_detail

// Writes `lines` lines with CR LF ends to path; ends the program when the file cannot be written.
inline void WriteListing(const QString& path, long lines, const ListingOptions& options = {}) {
    using namespace listing_generator_detail;
    std::mt19937 random(12345);
    std::string text;
    text.reserve(static_cast<std::size_t>(lines) * 48);
    std::uint32_t lba = options.firstLba;
    char buffer[32];
    // Files laid back to back must end below block 2^32, or the later ones would wrap around and overlap
    // the first: a ten-million-line listing gets smaller files (a million lines keep sizes up to 4 MiB).
    const unsigned sizeLimit =
        options.bBackToBack
            ? static_cast<unsigned>(std::min<long long>(0x400000, 0xC0000000LL * 4096 / std::max(lines, 1L)))
            : 0x400000;
    for (long i = 0; i < lines; ++i) {
        const unsigned size = random() % sizeLimit;
        const bool minusOne = options.nMinusOneSizeEvery > 0 && i % options.nMinusOneSizeEvery == 0;
        std::snprintf(buffer, sizeof buffer, "%08X|%08X|", lba, minusOne ? 0xFFFFFFFFu : size);
        text += buffer;
        text += options.names == NameStyle::Realistic ? RealisticName(random) : NumberedName(random);
        text += "\r\n";
        if (options.bBackToBack)
            lba += (size + 2047) / 2048;
        else
            lba += size / 16384 + 1; // slow enough that ten million lines stay below 0x80000000
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), static_cast<qint64>(text.size())) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}
