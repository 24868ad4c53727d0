#include "cli/trace_input.h"

#include <string_view>
#include <unordered_map>

#include "cli/cli_io.h"

namespace {

const QString kTraceOption = QStringLiteral("trace");
const QString kFormatOption = QStringLiteral("format");
const QString kImagePathOption = QStringLiteral("image-path");
const QString kSectorSizeOption = QStringLiteral("sector-size");
const QString kSeekMsOption = QStringLiteral("seek-ms");
const QString kKibPerSOption = QStringLiteral("kib-per-s");

std::optional<double> PositiveNumber(const QCommandLineParser& parser, const QString& option) {
    bool valid = false;
    const double value = parser.value(option).toDouble(&valid);
    if (!valid || !(value >= 0) || value > 1e12) {
        PrintError(
            QStringLiteral("--%1 must be a number of 0 or more, not '%2'").arg(option, parser.value(option)));
        return std::nullopt;
    }
    return value;
}

} // namespace

void AddTraceOptions(QCommandLineParser& parser) {
    parser.addOption({kTraceOption,
                      QStringLiteral("The trace of the reads made from the image; - for stdin."),
                      QStringLiteral("file")});
    parser.addOption(
        {kFormatOption,
         QStringLiteral("The trace's format: lba (BLOCK [COUNT] lines), strace or blkparse (default: "
                        "told from its first line)."),
         QStringLiteral("format")});
    parser.addOption(
        {kImagePathOption,
         QStringLiteral("strace: the path the program opened the image by (default: the file it read "
                        "most from)."),
         QStringLiteral("path")});
    parser.addOption({kSectorSizeOption,
                      QStringLiteral("blkparse: the size of a sector in bytes (default: 512)."),
                      QStringLiteral("bytes"), QStringLiteral("512")});
}

std::optional<std::vector<TraceRead>> ReadTraceOption(const QCommandLineParser& parser) {
    if (!parser.isSet(kTraceOption)) {
        PrintError(QStringLiteral("--trace TRACE is required"));
        return std::nullopt;
    }
    TraceOptions options;
    if (parser.isSet(kFormatOption)) {
        options.format = TraceFormatNamed(parser.value(kFormatOption).toStdString());
        if (!options.format) {
            PrintError(QStringLiteral("unknown trace format '%1' (lba, strace or blkparse)")
                           .arg(parser.value(kFormatOption)));
            return std::nullopt;
        }
    }
    options.imagePath = parser.value(kImagePathOption).toStdString();
    bool valid = false;
    options.sectorSize = parser.value(kSectorSizeOption).toULongLong(&valid);
    if (!valid || options.sectorSize == 0) {
        PrintError(QStringLiteral("--sector-size must be a whole number above 0, not '%1'")
                       .arg(parser.value(kSectorSizeOption)));
        return std::nullopt;
    }
    const QString path = parser.value(kTraceOption);
    const std::optional<CInputBytes> content = CInputBytes::Open(path);
    if (!content)
        return std::nullopt;
    TraceResult result = ReadTrace(content->View(), options);
    if (!result.ok) {
        PrintError(path == QStringLiteral("-") ? QStringLiteral("<stdin>") : path, result.errorLine,
                   QString::fromStdString(result.error));
        return std::nullopt;
    }
    return std::move(result.reads);
}

void AddDriveOptions(QCommandLineParser& parser) {
    parser.addOption({kSeekMsOption, QStringLiteral("The time of one seek in milliseconds (default: 100)."),
                      QStringLiteral("ms"), QStringLiteral("100")});
    parser.addOption({kKibPerSOption,
                      QStringLiteral("The reading speed in KiB per second (default: 1385, a 1x DVD)."),
                      QStringLiteral("speed"), QStringLiteral("1385")});
}

std::optional<DriveModel> DriveOptions(const QCommandLineParser& parser) {
    const std::optional<double> seekMs = PositiveNumber(parser, kSeekMsOption);
    const std::optional<double> kibPerS = seekMs ? PositiveNumber(parser, kKibPerSOption) : std::nullopt;
    if (!seekMs || !kibPerS)
        return std::nullopt;
    if (*kibPerS == 0) {
        PrintError(QStringLiteral("--kib-per-s must be above 0"));
        return std::nullopt;
    }
    return DriveModel{*seekMs, *kibPerS};
}

std::optional<TracedListing> ReadTracedListing(const QString& path, const QCommandLineParser& parser) {
    std::optional<ListingInput> input = ReadListing(path, parser);
    if (!input)
        return std::nullopt;
    if (input->layout == ListingLayout::FileList) {
        PrintError(input->ShownName(), 0,
                   QStringLiteral("a file list holds no file sizes to lay the reads over"));
        return std::nullopt;
    }
    TracedListing listing{std::move(*input), {}, {}};
    std::optional<std::vector<ListingLine>> lines = ReadListingLines(listing.input);
    if (!lines)
        return std::nullopt;
    listing.lines = std::move(*lines);
    listing.files.reserve(listing.lines.size());
    for (const ListingLine& line : listing.lines)
        listing.files.push_back({line.startLba, line.fileSize});
    return listing;
}

std::vector<std::uint64_t> NewStarts(const TracedListing& old, const TracedListing& newer,
                                     std::size_t& missing) {
    std::unordered_map<std::string_view, std::uint64_t> byName;
    byName.reserve(newer.lines.size());
    for (const ListingLine& line : newer.lines)
        byName.try_emplace(line.name, line.startLba);
    std::vector<std::uint64_t> starts(old.lines.size(), kNoNewStart);
    missing = 0;
    for (std::size_t i = 0; i < old.lines.size(); ++i) {
        const auto it = byName.find(old.lines[i].name);
        if (it == byName.end())
            ++missing;
        else
            starts[i] = it->second;
    }
    return starts;
}
