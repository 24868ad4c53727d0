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

CResult<double> PositiveNumber(const QCommandLineParser& parser, const QString& option) {
    bool valid = false;
    const double value = parser.value(option).toDouble(&valid);
    if (!valid || !(value >= 0) || value > 1e12) {
        return FailureOf(
            QStringLiteral("--%1 must be a number of 0 or more, not '%2'").arg(option, parser.value(option)));
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

CResult<std::vector<TraceRead>> ReadTraceOption(const QCommandLineParser& parser) {
    if (!parser.isSet(kTraceOption))
        return FailureOf(QStringLiteral("--trace TRACE is required"));
    TraceOptions options;
    if (parser.isSet(kFormatOption)) {
        options.format = TraceFormatNamed(parser.value(kFormatOption).toStdString());
        if (!options.format) {
            return FailureOf(QStringLiteral("unknown trace format '%1' (lba, strace or blkparse)")
                                 .arg(parser.value(kFormatOption)));
        }
    }
    options.imagePath = parser.value(kImagePathOption).toStdString();
    bool valid = false;
    options.sectorSize = parser.value(kSectorSizeOption).toULongLong(&valid);
    if (!valid || options.sectorSize == 0) {
        return FailureOf(QStringLiteral("--sector-size must be a whole number above 0, not '%1'")
                             .arg(parser.value(kSectorSizeOption)));
    }
    const QString path = parser.value(kTraceOption);
    const CResult<CInputBytes> content = CInputBytes::Open(path);
    if (!content)
        return content.Error();
    CResult<Trace> trace = ReadTrace(content->View(), options);
    if (!trace)
        return PlacedIn(path == QStringLiteral("-") ? QStringLiteral("<stdin>") : path, trace.Error());
    return std::move(trace->reads);
}

void AddDriveOptions(QCommandLineParser& parser) {
    parser.addOption({kSeekMsOption, QStringLiteral("The time of one seek in milliseconds (default: 100)."),
                      QStringLiteral("ms"), QStringLiteral("100")});
    parser.addOption({kKibPerSOption,
                      QStringLiteral("The reading speed in KiB per second (default: 1385, a 1x DVD)."),
                      QStringLiteral("speed"), QStringLiteral("1385")});
}

CResult<DriveModel> DriveOptions(const QCommandLineParser& parser) {
    const CResult<double> seekMs = PositiveNumber(parser, kSeekMsOption);
    if (!seekMs)
        return seekMs.Error();
    const CResult<double> kibPerS = PositiveNumber(parser, kKibPerSOption);
    if (!kibPerS)
        return kibPerS.Error();
    if (*kibPerS == 0)
        return FailureOf(QStringLiteral("--kib-per-s must be above 0"));
    return DriveModel{*seekMs, *kibPerS};
}

CResult<TracedListing> ReadTracedListing(const QString& path, const QCommandLineParser& parser) {
    CResult<ListingInput> input = ReadListing(path, parser);
    if (!input)
        return input.Error();
    if (input->layout == ListingLayout::FileList)
        return FailureIn(input->ShownName(), 0,
                         QStringLiteral("a file list holds no file sizes to lay the reads over"));
    TracedListing listing{std::move(*input), {}, {}};
    CResult<std::vector<ListingLine>> lines = ReadListingLines(listing.input);
    if (!lines)
        return lines.Error();
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
