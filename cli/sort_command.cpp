// quarrow-cli sort: the window's load, one header click (two for a descending order) and Save, from the
// shell. Every rule comes from the pure library the window uses: Scan, the line pass, the cell texts, the
// sort and the saved line.
#include <algorithm>
#include <array>
#include <cstdint>
#include <numeric>
#include <vector>

#include <QCommandLineParser>

#include "base/parallel_parts.h"
#include "cli/cli_io.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/listing_input.h"
#include "listing/sorted_path.h"
#include "sorting/radix_sort.h"
#include "sorting/row_compare.h"
#include "sorting/sort_key_column.h"
#include "sorting/text_collator.h"

namespace {

// Rows ahead of the one being formed whose places in the output are asked for.
constexpr std::size_t kWriteAhead = 16;

std::optional<CellColumn> ColumnNamed(const QString& name) {
    for (int c = 0; c < CellCount; ++c) {
        const std::string_view columnName = kColumnNames[c];
        if (name.compare(QLatin1String(columnName.data(), static_cast<qsizetype>(columnName.size())),
                         Qt::CaseInsensitive) == 0)
            return static_cast<CellColumn>(c);
    }
    return std::nullopt;
}

// The boxes of a comma-separated list of column names; a failure for an unknown name.
CResult<ColumnChoice> ColumnsNamed(const QString& list) {
    ColumnChoice choice;
    for (const QString& name : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const std::optional<CellColumn> column = ColumnNamed(name.trimmed());
        if (!column)
            return FailureOf(QStringLiteral("unknown column '%1' in --columns").arg(name));
        choice.Set(*column);
    }
    return choice;
}

// Runs work(begin, end, part) on the first half of 0 to count (part 0) on this thread and on the second
// half (part 1) on another, and returns when both are done.
template <class Work> void InTwoHalves(std::size_t count, const Work& work) {
    const std::size_t half = count / 2;
    RunParts(2, [&](unsigned part) {
        if (part == 0)
            work(0, half, 0);
        else
            work(half, count, 1);
    });
}

// The order one click on a column of numbers gives the rows (two clicks: descending), when every cell of
// the column is the decimal text of an unsigned value: such texts compare as their values, and a stable
// sort of the values gives that order without forming a text. Rows of equal value keep their order in
// both directions, as a stable descending sort of the ascending order leaves them. None for a column whose
// cells can be other texts (the row number, a column the layout lacks, the file name).
std::optional<std::vector<std::uint32_t>>
OrderByValue(ListingLayout layout, const std::vector<ListingLine>& rows, CellColumn column, bool descending) {
    // A file list's number has seven digits, so it is never negative.
    std::uint32_t ListingLine::*field = nullptr;
    switch (column) {
    case CellStartLba:
        field = &ListingLine::startLba;
        break;
    case CellFileSize:
        field = &ListingLine::fileSize;
        break;
    case CellLbaPos:
        field = &ListingLine::lbaPos;
        break;
    case CellColumn6:
        field = &ListingLine::digit;
        break;
    default:
        break;
    }
    if (field == nullptr || !FieldColumns(layout).Has(column) || rows.size() > UINT32_MAX)
        return std::nullopt;
    // The value in the high half of the key, the row in the low half, which the sort leaves out.
    struct Item {
        std::uint64_t key;
    };
    UninitVector<Item> items(rows.size());
    const std::uint32_t flip = descending ? UINT32_MAX : 0;
    for (std::size_t row = 0; row < rows.size(); ++row)
        items[row].key = (std::uint64_t{rows[row].*field ^ flip} << 32) | row;
    RadixSortByKey(items, 32);
    std::vector<std::uint32_t> order(rows.size());
    for (std::size_t k = 0; k < items.size(); ++k)
        order[k] = static_cast<std::uint32_t>(items[k].key);
    return order;
}

} // namespace

int RunSortCommand(const QStringList& args) {
    QCommandLineParser parser;
    SetUpCommand(
        parser,
        "Sorts a listing as one click on a column header of the Quarrow window does (two clicks with "
        "--descending), and saves it as the window's Save does.",
        "listing", "The listing to sort; - for stdin.");
    const QCommandLineOption byOption(
        QStringLiteral("by"),
        QStringLiteral("The column to sort by: Number, StartLba, FileSize, FileName, "
                       "LbaPos or Column6."),
        QStringLiteral("column"));
    const QCommandLineOption descendingOption(QStringLiteral("descending"),
                                              QStringLiteral("Sort in descending order (a second click)."));
    const QCommandLineOption columnsOption(
        QStringLiteral("columns"),
        QStringLiteral(
            "The columns to write, comma-separated, as the boxes of the window (default: the boxes "
            "Scan ticks; for a file list, the file list the window's Filelist Save writes)."),
        QStringLiteral("list"));
    const QCommandLineOption outputOption(
        QStringLiteral("o"),
        QStringLiteral("Write to file (- for stdout; default: Sorted-<name> beside the listing)."),
        QStringLiteral("file"));
    parser.addOptions({byOption, descendingOption, columnsOption, outputOption});
    AddLayoutOption(parser);
    if (const std::optional<int> status = ParseCommand(parser, "sort", args))
        return *status;

    if (!parser.isSet(byOption)) {
        PrintError(QStringLiteral("sort: --by COLUMN is required (see quarrow-cli sort --help)"));
        return kStatusError;
    }
    const std::optional<CellColumn> column = ColumnNamed(parser.value(byOption));
    if (!column) {
        PrintError(QStringLiteral("unknown column '%1' for --by").arg(parser.value(byOption)));
        return kStatusError;
    }
    std::optional<ColumnChoice> columns;
    if (parser.isSet(columnsOption)) {
        const CResult<ColumnChoice> named = ColumnsNamed(parser.value(columnsOption));
        if (!named)
            return ReportFailure(named.Error());
        columns = *named;
    }

    const QString path = parser.positionalArguments().first();
    const CResult<ListingInput> input = ReadListing(path, parser);
    if (!input)
        return ReportFailure(input.Error());
    const bool fileListSave = !columns && input->layout == ListingLayout::FileList;
    if (!columns)
        columns = input->scanBoxes.value_or(ColumnChoice{});

    // The rows: each line's fields, with its name in the input. The cell texts are formed from them when
    // they are needed, which costs less than keeping six texts a row.
    const CResult<std::vector<ListingLine>> lines = ReadListingLines(*input);
    if (!lines)
        return ReportFailure(lines.Error());
    const std::vector<ListingLine>& rows = *lines;

    const bool descending = parser.isSet(descendingOption);
    const std::optional<std::vector<std::uint32_t>> byValue =
        OrderByValue(input->layout, rows, *column, descending);
    std::vector<std::uint32_t> order;
    if (byValue) {
        order = std::move(*byValue);
    } else {
        // The texts of the sorted column, made in two halves side by side.
        const bool byName = *column == CellFileName;
        const std::size_t half = rows.size() / 2;
        CTextStore sortTexts[2];
        if (!byName) {
            InTwoHalves(rows.size(), [&](std::size_t begin, std::size_t end, int part) {
                sortTexts[part].Reserve((end - begin) * 12, end - begin);
                for (std::size_t row = begin; row < end; ++row)
                    sortTexts[part].Add(
                        FormRowCell(input->layout, rows[row], static_cast<long long>(row), *column));
            });
        }
        const RowTextAccessor textOf =
            byName ? RowTextAccessor([&rows](std::uint32_t row) { return rows[row].name; })
                   : RowTextAccessor([&sortTexts, half](std::uint32_t row) {
                         return row < half ? sortTexts[0].At(row) : sortTexts[1].At(row - half);
                     });
        order.resize(rows.size());
        std::iota(order.begin(), order.end(), 0u);
        const CTextCollator collator;
        SortRowIdsByColumn(order, textOf, true, collator);
        if (descending)
            SortRowIdsByColumn(order, textOf, false, collator);
    }

    const QString outputPath = parser.isSet(outputOption)    ? parser.value(outputOption)
                               : path == QStringLiteral("-") ? QStringLiteral("-")
                                                             : SortedPathBeside(path);
    COutput output(outputPath);
    if (const CResult<void> opened = output.Open(); !opened)
        return ReportFailure(opened.Error());
    // Each line is formed once, straight into its place in the sorted output: its size first, then where
    // it goes, then the line itself. Both passes read the rows in file order, in two halves side by side;
    // only the writes are scattered, which keeps the loop from waiting on memory as reading the rows and
    // names in sorted order does.
    const auto valuesOf = [&](std::size_t row) {
        return ValuesOfFields(input->layout, rows[row], static_cast<long long>(row));
    };
    UninitVector<std::size_t> places(rows.size()); // each row's line size, then where it starts
    InTwoHalves(rows.size(), [&](std::size_t begin, std::size_t end, int) {
        for (std::size_t row = begin; row < end; ++row)
            places[row] = fileListSave ? FileListLineSizeCrLf(valuesOf(row))
                                       : ListingLineSizeCrLf(valuesOf(row), *columns);
    });
    std::size_t total = 0;
    for (const std::uint32_t row : order) {
        const std::size_t size = places[row];
        places[row] = total;
        total += size;
    }
    UninitVector<char> sorted(total);
    AdviseHugePages(sorted.data(), total);
    InTwoHalves(rows.size(), [&](std::size_t begin, std::size_t end, int) {
        for (std::size_t row = begin; row < end; ++row) {
            // The lines land scattered over the output; asking for their places ahead hides the wait
            // for each place's memory.
            if (row + kWriteAhead < end) {
                const std::size_t ahead = places[row + kWriteAhead];
                __builtin_prefetch(sorted.data() + ahead, 1);
                __builtin_prefetch(sorted.data() + std::min(ahead + 63, total - 1), 1);
            }
            char* const at = sorted.data() + places[row];
            if (fileListSave)
                FormFileListLineCrLf(at, valuesOf(row));
            else
                FormListingLineCrLf(at, valuesOf(row), *columns);
        }
    });
    output.Write(std::string_view(sorted.data(), sorted.size()));
    return ExitStatusOf(output.Commit());
}
