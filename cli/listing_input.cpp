#include "cli/listing_input.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <QCommandLineParser>

#include "base/display_text.h"
#include "base/parallel_parts.h"
#include "cli/cli_io.h"
#include "listing/line_reader.h"
#include "listing/scan_rules.h"
#include "sorting/radix_sort.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

const QString kLayoutOption = QStringLiteral("layout");

// The bytes as a stream, for the readers the window uses on files.
FilePtr OpenBytes(std::string_view bytes) {
    return FilePtr(fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb"));
}

std::optional<ListingLayout> LayoutNamed(const QString& name) {
    if (name == QStringLiteral("3"))
        return ListingLayout::ThreeColumns;
    if (name == QStringLiteral("4"))
        return ListingLayout::FourColumns;
    if (name == QStringLiteral("5"))
        return ListingLayout::FiveColumns;
    if (name.compare(QStringLiteral("filelist"), Qt::CaseInsensitive) == 0)
        return ListingLayout::FileList;
    return std::nullopt;
}

} // namespace

QString ListingInput::ShownName() const {
    return path == QStringLiteral("-") ? QStringLiteral("<stdin>") : path;
}

void AddLayoutOption(QCommandLineParser& parser) {
    parser.addOption(
        {kLayoutOption,
         QStringLiteral("Read the listing as 3, 4 or 5 columns or as a file list (filelist), instead "
                        "of by its first line as Scan does."),
         QStringLiteral("layout")});
}

CResult<ListingInput> ReadListing(const QString& path, const QCommandLineParser& parser) {
    ListingInput input;
    input.path = path;
    CResult<CInputBytes> content = CInputBytes::Open(path);
    if (!content)
        return content.Error();
    input.content = std::move(*content);
    if (input.Bytes().empty())
        return FailureIn(input.ShownName(), 0, QStringLiteral("the file is empty"));
    // The layout comes from the first line that is not blank: blank lines are skipped wherever they stand.
    const std::string_view bytes = input.Bytes();
    const std::size_t firstData = std::min(bytes.find_first_not_of("\r\n"), bytes.size());
    if (firstData == bytes.size())
        return FailureIn(input.ShownName(), 0, QStringLiteral("the file holds only blank lines"));
    const long long firstDataLine =
        1 + std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(firstData), '\n');
    FilePtr file = OpenBytes(bytes.substr(firstData));
    if (!file)
        return FailureIn(input.ShownName(), 0, QString::fromLocal8Bit(std::strerror(errno)));
    const ScanDecision decision = DecideScan(ScanFirstLine(file.get()));
    input.scanBoxes = decision.columns;

    if (parser.isSet(kLayoutOption)) {
        const std::optional<ListingLayout> layout = LayoutNamed(parser.value(kLayoutOption));
        if (!layout)
            return FailureOf(
                QStringLiteral("unknown layout '%1' (3, 4, 5 or filelist)").arg(parser.value(kLayoutOption)));
        input.layout = *layout;
        return input;
    }
    const std::optional<ListingLayout> layout = LayoutToLoad(decision);
    if (!layout) {
        return FailureIn(input.ShownName(), firstDataLine,
                         QStringLiteral("the first line is not a listing or file list line (give --layout)"));
    }
    input.layout = *layout;
    return input;
}

namespace {

// The window's line pass over `part`, a run of whole lines of the input; the rows go to `rows` with their
// names in the input.
ListingPass ReadPart(std::string_view part, ListingLayout layout, std::vector<ListingLine>& rows) {
    CMemoryLineReader reader(part);
    return ReadListingRowsFrom(reader, layout, [&rows](const ListingLine& fields, long long) {
        rows.push_back(fields);
        return true;
    });
}

// Below this size a listing is read in one pass.
constexpr std::size_t kTwoHalvesSize = 1 << 20;

// The characters of a bad line that its message shows.
constexpr qsizetype kShownLineLength = 80;

} // namespace

CResult<std::vector<ListingLine>> ReadListingLines(const ListingInput& input) {
    const std::string_view bytes = input.Bytes();
    std::vector<ListingLine> rows;
    // The count over the whole content, as the window's count pass makes it over the whole file: the most
    // rows the content can hold, unless names hold the counted byte.
    const long long expected = ExpectedLines(input.layout, CountByteIn(bytes, CountedByte(input.layout)));
    rows.reserve(
        static_cast<std::size_t>(std::min<long long>(expected, static_cast<long long>(bytes.size() / 16))));
    AdviseHugePages(rows.data(), rows.capacity() * sizeof(ListingLine));

    // A large listing is read in two halves side by side, split after a line feed; the second half's line
    // numbers then count on from the first half's lines.
    const std::size_t split =
        bytes.size() < kTwoHalvesSize ? std::string_view::npos : bytes.find('\n', bytes.size() / 2);
    ListingPass pass;
    if (split == std::string_view::npos || split + 1 == bytes.size()) {
        pass = ReadPart(bytes, input.layout, rows);
    } else {
        std::vector<ListingLine> secondRows;
        secondRows.reserve(rows.capacity() / 2);
        AdviseHugePages(secondRows.data(), secondRows.capacity() * sizeof(ListingLine));
        ListingPass second;
        const std::string_view first = bytes.substr(0, split + 1);
        RunParts(2, [&](unsigned part) {
            if (part == 0)
                pass = ReadPart(first, input.layout, rows);
            else
                second = ReadPart(bytes.substr(split + 1), input.layout, secondRows);
        });
        const bool secondHasData = second.rows > 0 || second.Failed() || second.endLine != 0;
        if (pass.Failed()) {
        } else if (pass.endLine != 0 && secondHasData) {
            // The empty name that ended the first half's data is followed by more data.
            pass.badLine = pass.endLine;
            pass.badText = pass.endText;
        } else if (second.Failed()) {
            pass.badLine = second.badLine + CountByteIn(first, '\n');
            pass.badText = std::move(second.badText);
        } else {
            rows.insert(rows.end(), secondRows.begin(), secondRows.end());
        }
    }
    if (pass.Failed()) {
        return FailureIn(input.ShownName(), pass.badLine,
                         QStringLiteral("not a %1 line: %2")
                             .arg(QLatin1String(LayoutName(input.layout)),
                                  DecodeForDisplay(pass.badText).left(kShownLineLength)));
    }
    return rows;
}

namespace {

// Calls `onRow(lineNumber)` for each row in order until it returns false; returns the last line number read.
// Every line that is not blank is a row, up to the last row.
template <typename OnRow> long long ForEachRowLine(const ListingInput& input, OnRow onRow) {
    CMemoryLineReader reader(input.Bytes());
    std::string_view line;
    long long number = 0;
    while (reader.ReadLine(line)) {
        ++number;
        const bool blank = line.empty() || (line.size() == 1 && line[0] == '\r');
        if (!blank && !onRow(number))
            break;
    }
    return number;
}

} // namespace

long long LineNumberOfRow(const ListingInput& input, std::size_t row) {
    std::size_t rows = 0;
    return ForEachRowLine(input, [&](long long) { return rows++ != row; });
}

std::vector<long long> LineNumbersOfRows(const ListingInput& input) {
    std::vector<long long> numbers;
    ForEachRowLine(input, [&](long long number) {
        numbers.push_back(number);
        return true;
    });
    return numbers;
}

void CTextStore::Reserve(std::size_t bytes, std::size_t texts) {
    m_bytes.reserve(bytes);
    m_ends.reserve(texts);
}

void CTextStore::Add(std::string_view text) {
    m_bytes.append(text);
    m_ends.push_back(m_bytes.size());
}
