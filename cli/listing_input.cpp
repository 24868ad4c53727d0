#include "cli/listing_input.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <memory>
#include <thread>

#include <QCommandLineParser>

#include "cli/cli_io.h"
#include "listing/line_reader.h"
#include "listing/scan_rules.h"

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

// The loader Scan leaves enabled; a listing loader before the file-list loader when a first line with a
// comma in its name enables both.
std::optional<ListingLayout> LayoutOfScan(const ScanDecision& decision) {
    if (decision.load3.value_or(false))
        return ListingLayout::ThreeColumns;
    if (decision.load4.value_or(false))
        return ListingLayout::FourColumns;
    if (decision.load5.value_or(false))
        return ListingLayout::FiveColumns;
    if (decision.filelistLoad.value_or(false))
        return ListingLayout::FileList;
    return std::nullopt;
}

}  // namespace

QString ListingInput::ShownName() const { return path == QStringLiteral("-") ? QStringLiteral("<stdin>") : path; }

void AddLayoutOption(QCommandLineParser& parser) {
    parser.addOption({kLayoutOption,
                      QStringLiteral("Read the listing as 3, 4 or 5 columns or as a file list (filelist), instead "
                                     "of by its first line as Scan does."),
                      QStringLiteral("layout")});
}

std::optional<ListingInput> ReadListing(const QString& path, const QCommandLineParser& parser) {
    ListingInput input;
    input.path = path;
    std::optional<CInputBytes> content = CInputBytes::Open(path);
    if (!content)
        return std::nullopt;
    input.content = std::move(*content);
    if (input.Bytes().empty()) {
        PrintError(input.ShownName(), 0, QStringLiteral("the file is empty"));
        return std::nullopt;
    }
    FilePtr file = OpenBytes(input.Bytes());
    if (!file) {
        PrintError(input.ShownName(), 0, QString::fromLocal8Bit(std::strerror(errno)));
        return std::nullopt;
    }
    const ScanDecision decision = DecideScan(ScanFirstLine(file.get()));
    input.scanBoxes = decision.boxes;

    if (parser.isSet(kLayoutOption)) {
        const std::optional<ListingLayout> layout = LayoutNamed(parser.value(kLayoutOption));
        if (!layout) {
            PrintError(QStringLiteral("unknown layout '%1' (3, 4, 5 or filelist)").arg(parser.value(kLayoutOption)));
            return std::nullopt;
        }
        input.layout = *layout;
        return input;
    }
    const std::optional<ListingLayout> layout =
        decision.invalidFormat ? std::nullopt : LayoutOfScan(decision);
    if (!layout) {
        PrintError(input.ShownName(), 1,
                   QStringLiteral("the first line is not a listing or file list line (give --layout)"));
        return std::nullopt;
    }
    input.layout = *layout;
    return input;
}

namespace {

// The window's line pass over `part`, a run of whole lines of the input, expecting `expected` lines; the
// rows go to `rows` with their names in the input.
void ReadPart(std::string_view part, ListingLayout layout, long long expected, std::vector<ListingLine>& rows) {
    CMemoryLineReader reader(part);
    ReadListingRowsFrom(reader, layout, expected, [&rows](const ListingLine& fields, long long) {
        rows.push_back(fields);
        return true;
    });
}

// Below this size a listing is read in one pass.
constexpr std::size_t kTwoHalvesSize = 1 << 20;

}  // namespace

std::vector<ListingLine> ReadListingLines(const ListingInput& input) {
    const std::string_view bytes = input.Bytes();
    std::vector<ListingLine> rows;
    // The count over the whole content, as the window's count pass makes it over the whole file.
    const long long expected = ExpectedLines(
        input.layout, static_cast<long long>(std::count(bytes.begin(), bytes.end(), CountedByte(input.layout))));
    rows.reserve(bytes.size() / 32);

    // A large listing is read in two halves side by side, split after a line feed. The first half holds
    // `lines` whole lines. The pass over the second half counts only when the first half gave a row for
    // every one of its lines and the count promised more; it then goes on exactly as one pass would.
    const std::size_t split = bytes.size() < kTwoHalvesSize ? std::string_view::npos : bytes.find('\n', bytes.size() / 2);
    if (split == std::string_view::npos || split + 1 == bytes.size()) {
        ReadPart(bytes, input.layout, expected, rows);
        return rows;
    }
    const std::string_view first = bytes.substr(0, split + 1);
    const auto lines = static_cast<long long>(std::count(first.begin(), first.end(), '\n'));
    std::vector<ListingLine> secondRows;
    std::thread second;
    if (lines < expected) {
        secondRows.reserve(bytes.size() / 64);
        second = std::thread(
            [&] { ReadPart(bytes.substr(split + 1), input.layout, expected - lines, secondRows); });
    }
    ReadPart(first, input.layout, std::min(expected, lines), rows);
    if (second.joinable()) {
        second.join();
        if (static_cast<long long>(rows.size()) == lines)
            rows.insert(rows.end(), secondRows.begin(), secondRows.end());
    }
    return rows;
}

void CTextStore::Reserve(std::size_t bytes, std::size_t texts) {
    m_bytes.reserve(bytes);
    m_ends.reserve(texts);
}

void CTextStore::Add(std::string_view text) {
    m_bytes.append(text);
    m_ends.push_back(m_bytes.size());
}
