// quarrow-cli sort: the window's load, one header click (two for a descending order) and Save, from the
// shell. Every rule comes from the pure library the window uses: Scan, the line pass, the cell texts, the
// sort and the saved line.
#include <array>
#include <numeric>
#include <vector>

#include <QCommandLineParser>
#include <QFileInfo>

#include "cli/cli_io.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/listing_input.h"
#include "table/row_compare.h"
#include "table/text_collator.h"

namespace {

constexpr const char* kColumnNames[CellCount] = {"Number", "StartLba", "FileSize", "FileName", "LbaPos", "Column6"};

std::optional<int> ColumnNamed(const QString& name) {
    for (int c = 0; c < CellCount; ++c) {
        if (name.compare(QLatin1String(kColumnNames[c]), Qt::CaseInsensitive) == 0)
            return c;
    }
    return std::nullopt;
}

// The boxes of a comma-separated list of column names; none (after reporting) for an unknown name.
std::optional<ColumnChoice> ColumnsNamed(const QString& list) {
    ColumnChoice choice;
    bool* boxes[CellCount] = {&choice.number,   &choice.startLba, &choice.fileSize,
                              &choice.fileName, &choice.lbaPos,   &choice.column6};
    for (const QString& name : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const std::optional<int> column = ColumnNamed(name.trimmed());
        if (!column) {
            PrintError(QStringLiteral("unknown column '%1' in --columns").arg(name));
            return std::nullopt;
        }
        *boxes[*column] = true;
    }
    return choice;
}

// The folder of the listing, "Sorted-", then its name: where the window's Save writes.
QString SortedPathBeside(const QString& path) {
    const QFileInfo info(path);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return path.left(slash + 1) + QStringLiteral("Sorted-") + info.fileName();
}

// Ends the line just appended with CR LF, as the window's text-mode output does.
void EndLineCrLf(std::string& out) {
    out.back() = '\r';
    out.push_back('\n');
}

}  // namespace

int RunSortCommand(const QStringList& args) {
    QCommandLineParser parser;
    SetUpCommand(parser,
                 "Sorts a listing as one click on a column header of the Quarrow window does (two clicks with "
                 "--descending), and saves it as the window's Save does.",
                 "listing", "The listing to sort; - for stdin.");
    const QCommandLineOption byOption(QStringLiteral("by"),
                                      QStringLiteral("The column to sort by: Number, StartLba, FileSize, FileName, "
                                                     "LbaPos or Column6."),
                                      QStringLiteral("column"));
    const QCommandLineOption descendingOption(QStringLiteral("descending"),
                                              QStringLiteral("Sort in descending order (a second click)."));
    const QCommandLineOption columnsOption(
        QStringLiteral("columns"),
        QStringLiteral("The columns to write, comma-separated, as the boxes of the window (default: the boxes "
                       "Scan ticks; for a file list, the file list the window's Filelist Save writes)."),
        QStringLiteral("list"));
    const QCommandLineOption outputOption(
        QStringLiteral("o"), QStringLiteral("Write to file (- for stdout; default: Sorted-<name> beside the listing)."),
        QStringLiteral("file"));
    parser.addOptions({byOption, descendingOption, columnsOption, outputOption});
    AddLayoutOption(parser);
    if (const std::optional<int> status = ParseCommand(parser, "sort", args))
        return *status;

    if (!parser.isSet(byOption)) {
        PrintError(QStringLiteral("sort: --by COLUMN is required (see quarrow-cli sort --help)"));
        return kStatusError;
    }
    const std::optional<int> column = ColumnNamed(parser.value(byOption));
    if (!column) {
        PrintError(QStringLiteral("unknown column '%1' for --by").arg(parser.value(byOption)));
        return kStatusError;
    }
    std::optional<ColumnChoice> columns;
    if (parser.isSet(columnsOption)) {
        columns = ColumnsNamed(parser.value(columnsOption));
        if (!columns)
            return kStatusError;
    }

    const QString path = parser.positionalArguments().first();
    const std::optional<ListingInput> input = ReadListing(path, parser);
    if (!input)
        return kStatusError;
    const bool fileListSave = !columns && input->layout == ListingLayout::FileList;
    if (!columns)
        columns = input->scanBoxes.value_or(ColumnChoice{});

    // The rows as the window's table holds them: six cell texts each, in file order.
    CTextStore cells;
    cells.Reserve(input->bytes.size() + input->bytes.size() / 2, input->bytes.size() / 4);
    ReadListingLines(*input, [&](const ListingLine& fields, long long index) {
        for (const std::string& cell : FormRowCells(input->layout, fields, index))
            cells.Add(cell);
        return true;
    });
    const auto rows = static_cast<std::uint32_t>(cells.GetCount() / CellCount);

    std::vector<std::uint32_t> order(rows);
    std::iota(order.begin(), order.end(), 0u);
    const auto textOf = [&cells, column = static_cast<std::size_t>(*column)](std::uint32_t row) {
        return cells.At(std::size_t{row} * CellCount + column);
    };
    const CTextCollator collator;
    SortRowIdsByColumn(order, textOf, true, collator);
    if (parser.isSet(descendingOption))
        SortRowIdsByColumn(order, textOf, false, collator);

    std::string out;
    out.reserve(input->bytes.size() + rows * 2u);
    for (const std::uint32_t row : order) {
        std::array<std::string_view, CellCount> texts;
        for (std::size_t c = 0; c < CellCount; ++c)
            texts[c] = cells.At(std::size_t{row} * CellCount + c);
        if (fileListSave)
            AppendFileListLine(out, texts[CellStartLba], texts[CellFileName]);
        else
            AppendSortedLine(out, texts, *columns);
        EndLineCrLf(out);
    }
    const QString output = parser.isSet(outputOption) ? parser.value(outputOption)
                           : path == QStringLiteral("-") ? QStringLiteral("-")
                                                          : SortedPathBeside(path);
    return WriteOutput(output, out) ? kStatusOk : kStatusError;
}
