// quarrow-cli check: overlapping files and unused blocks in the layout a listing describes.
#include <charconv>
#include <cstdio>
#include <vector>

#include <QCommandLineParser>

#include "cli/cli_io.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/listing_input.h"
#include "listing/layout_check.h"

namespace {

void AppendNumber(std::string& out, std::uint64_t value) {
    char text[24];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    (void)ec; // 24 bytes hold every 64-bit value
    out.append(text, end);
}

// "line N (NAME)", the name as its bytes; N counts the file's lines, blank ones too.
void AppendFile(std::string& out, const std::vector<ListingLine>& rows, const std::vector<long long>& lineOf,
                std::size_t index) {
    out.append("line ");
    AppendNumber(out, static_cast<std::uint64_t>(lineOf[index]));
    out.append(" (");
    out.append(rows[index].name);
    out.push_back(')');
}

void AppendBlocks(std::string& out, std::uint64_t first, std::uint64_t last) {
    const bool one = first == last;
    out.append(one ? "block " : "blocks ");
    AppendNumber(out, first);
    if (!one) {
        out.push_back('-');
        AppendNumber(out, last);
    }
}

} // namespace

int RunCheckCommand(const QStringList& args) {
    QCommandLineParser parser;
    SetUpCommand(parser,
                 "Checks the layout a listing describes: files that share blocks (overlaps), unused blocks "
                 "between files (gaps, in block order), and a summary. A file covers the blocks StartLba to "
                 "StartLba + ceil(FileSize / block size) - 1. Exit status 1 when files overlap.",
                 "listing", "The listing to check; - for stdin.");
    const QCommandLineOption blockSizeOption(QStringLiteral("block-size"),
                                             QStringLiteral("The size of a block in bytes (default: 2048)."),
                                             QStringLiteral("bytes"), QStringLiteral("2048"));
    parser.addOption(blockSizeOption);
    AddLayoutOption(parser);
    if (const std::optional<int> status = ParseCommand(parser, "check", args))
        return *status;

    bool valid = false;
    const uint blockSize = parser.value(blockSizeOption).toUInt(&valid);
    if (!valid || blockSize == 0) {
        PrintError(QStringLiteral("--block-size must be a whole number above 0, not '%1'")
                       .arg(parser.value(blockSizeOption)));
        return kStatusError;
    }
    const QString path = parser.positionalArguments().first();
    const CResult<ListingInput> input = ReadListing(path, parser);
    if (!input)
        return ReportFailure(input.Error());
    if (input->layout == ListingLayout::FileList) {
        PrintError(input->ShownName(), 0, QStringLiteral("a file list holds no file sizes to check"));
        return kStatusError;
    }

    const CResult<std::vector<ListingLine>> lines = ReadListingLines(*input);
    if (!lines)
        return ReportFailure(lines.Error());
    const std::vector<ListingLine>& rows = *lines;
    std::vector<LayoutFile> files;
    files.reserve(rows.size());
    for (const ListingLine& row : rows)
        files.push_back({row.startLba, row.fileSize});
    const LayoutReport report = CheckLayout(files, blockSize);

    // Rows and lines differ where the listing has blank lines; the numbers are found only when needed.
    std::vector<long long> lineOf;
    if (!report.overlaps.empty() || !report.shared.empty() || !report.gaps.empty())
        lineOf = LineNumbersOfRows(*input);
    const QByteArray shownName = input->ShownName().toLocal8Bit();
    std::string out;
    for (const LayoutOverlap& overlap : report.overlaps) {
        out.append(shownName.constData(), static_cast<std::size_t>(shownName.size()));
        out.append(": overlap: ");
        AppendFile(out, rows, lineOf, overlap.second);
        out.append(" shares ");
        AppendBlocks(out, overlap.firstShared, overlap.lastShared);
        out.append(" with ");
        AppendFile(out, rows, lineOf, overlap.first);
        out.push_back('\n');
    }
    for (const LayoutShared& shared : report.shared) {
        out.append(shownName.constData(), static_cast<std::size_t>(shownName.size()));
        out.append(": shared: line ");
        AppendNumber(out, static_cast<std::uint64_t>(lineOf[shared.first]));
        out.append(" and line ");
        AppendNumber(out, static_cast<std::uint64_t>(lineOf[shared.second]));
        out.append(" (same blocks)\n");
    }
    for (const LayoutGap& gap : report.gaps) {
        out.append(shownName.constData(), static_cast<std::size_t>(shownName.size()));
        out.append(": gap: ");
        AppendBlocks(out, gap.firstBlock, gap.lastBlock);
        out.append(" unused (");
        AppendNumber(out, gap.lastBlock - gap.firstBlock + 1);
        out.append(") between ");
        AppendFile(out, rows, lineOf, gap.before);
        out.append(" and ");
        AppendFile(out, rows, lineOf, gap.after);
        out.push_back('\n');
    }
    out.append("files: ");
    AppendNumber(out, report.files);
    out.append(" (");
    AppendNumber(out, report.files - report.filesWithBlocks);
    out.append(" empty), first block: ");
    AppendNumber(out, report.firstBlock);
    out.append(", last block: ");
    AppendNumber(out, report.lastBlock);
    out.append(", blocks used: ");
    AppendNumber(out, report.blocksUsed);
    out.append(", blocks in gaps: ");
    AppendNumber(out, report.gapBlocks);
    out.append(", overlaps: ");
    AppendNumber(out, report.overlaps.size());
    out.append(", shared extents: ");
    AppendNumber(out, report.shared.size());
    out.push_back('\n');
    if (const CResult<void> written = WriteOutput(QStringLiteral("-"), out); !written)
        return ReportFailure(written.Error());
    return report.overlaps.empty() ? kStatusOk : kStatusProblemFound;
}
