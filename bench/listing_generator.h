// Generated three-column listings for the benchmarks, as a disc image's file table looks: growing start
// blocks, sizes of all kinds, names with folders and some bytes above 0x7F.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include <QFile>
#include <QString>

struct ListingOptions {
    // When nonzero, every nth line (the first included) has the size FFFFFFFF, which the table shows as
    // "-1": a text among the numbers of the FileSize column.
    long nMinusOneSizeEvery = 0;
};

// Writes `lines` lines with CR LF ends to path; ends the program when the file cannot be written.
inline void WriteListing(const QString& path, long lines, const ListingOptions& options = {}) {
    std::mt19937 random(12345);
    std::string text;
    text.reserve(static_cast<std::size_t>(lines) * 48);
    const char* folders[] = {"DATA\\", "MOVIE\\", "SOUND\\BGM\\", "", "MAP\\A\xe9R\\"};
    unsigned lba = 0x1A;
    char buffer[128];
    for (long i = 0; i < lines; ++i) {
        const unsigned size = random() % 0x400000;
        const bool minusOne = options.nMinusOneSizeEvery > 0 && i % options.nMinusOneSizeEvery == 0;
        std::snprintf(buffer, sizeof buffer, "%08X|%08X|%sFILE%07lu_%04X.BIN\r\n", lba, minusOne ? 0xFFFFFFFFu : size,
                      folders[random() % 5], static_cast<unsigned long>(random() % 10000000),
                      static_cast<unsigned>(random() & 0xFFFF));
        text += buffer;
        lba += size / 2048 + 1;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), static_cast<qint64>(text.size())) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}
