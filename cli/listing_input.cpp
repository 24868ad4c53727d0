#include "cli/listing_input.h"

#include <cassert>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

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

long long ReadListingLines(const ListingInput& input, const ListingRowSink& addRow) {
    FilePtr file = OpenBytes(input.Bytes());
    if (!file)
        return 0;
    const long long expected = ExpectedLines(input.layout, CountByte(file.get(), CountedByte(input.layout), {}));
    std::rewind(file.get());
    CLineReader reader(file.get());
    // Each line the reader returns is the input from `start` on, up to its line end; so a name, which ends
    // its line, lies at start + the name offset.
    const std::string_view bytes = input.Bytes();
    const auto nameOffset = static_cast<std::size_t>(NameOffset(input.layout));
    std::size_t start = 0;
    return ReadListingRows(reader, input.layout, expected, [&](const ListingLine& fields, long long index) {
        ListingLine kept = fields;
        kept.name = bytes.substr(start + nameOffset, fields.name.size());
        assert(kept.name == fields.name);
        start += nameOffset + fields.name.size();
        start += bytes.compare(start, 2, "\r\n") == 0 ? 2 : start < bytes.size() ? 1 : 0;
        return addRow(kept, index);
    });
}

void CTextStore::Reserve(std::size_t bytes, std::size_t texts) {
    m_bytes.reserve(bytes);
    m_ends.reserve(texts);
}

void CTextStore::Add(std::string_view text) {
    m_bytes.append(text);
    m_ends.push_back(m_bytes.size());
}
