// quarrow-cli rebuild: a new disc image whose file data lie in the order of a listing's lines.
#include <cstdio>

#include <QFile>

#include "cli/cli_io.h"
#include "cli/commands.h"
#include "disc/disc_image.h"
#include "listing/listing_format.h"
#include "listing/scan_rules.h"

namespace {

constexpr const char* kRebuildUsage =
    "Usage: quarrow-cli rebuild IMAGE --order LISTING -o NEW_IMAGE [--ignore-missing]\n"
    "\n"
    "Writes a new disc image with the files, names (ISO 9660, Rock Ridge, Joliet) and content of IMAGE,\n"
    "whose file data lie in the order of the lines of LISTING: its names (/PATH/NAME, as import writes\n"
    "them) come first, in line order, and the files it does not name follow in their order in IMAGE.\n"
    "LISTING may be any layout the window loads; '-' reads it from standard input. IMAGE is only read.\n"
    "NEW_IMAGE appears only once it is complete.\n"
    "\n"
    "  --order LISTING    the order of the files\n"
    "  -o NEW_IMAGE       the image to write\n"
    "  --ignore-missing   pass over names the image does not hold (otherwise an error naming the line)\n"
    "\n"
    "Exit status: 0 on success, 2 for usage errors, unreadable inputs and failed writes.\n";

int UsageError(const QString& reason) {
    PrintError(QStringLiteral("rebuild: ") + reason + QStringLiteral(" (see quarrow-cli rebuild --help)"));
    return kStatusError;
}

// The layout Scan finds for the first line, when it finds a loader for it.
std::optional<ListingLayout> ScanLayout(const std::string& bytes) {
    ScanCount count;
    for (const char c : bytes) {
        if (c == '\r' || c == '\n')
            break;
        if (c == ',' || c == '|') {
            ++count.counter;
            count.comma = count.comma || c == ',';
            if (count.counter > 4)
                break;
        }
    }
    const ScanDecision decision = DecideScan(count);
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

// The names of the listing's lines, in order, up to the first line without a name, as the loaders read.
std::vector<std::string> ListingNames(const std::string& bytes, ListingLayout layout) {
    std::vector<std::string> names;
    std::string_view rest = bytes;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::string_view name = SplitLine(layout, line).name;
        if (name.empty())
            break;
        names.emplace_back(name);
    }
    return names;
}

}  // namespace

int RunRebuildCommand(const QStringList& args) {
    QString image, order, output;
    bool ignoreMissing = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QStringLiteral("-h") || arg == QStringLiteral("--help")) {
            std::fputs(kRebuildUsage, stdout);
            return kStatusOk;
        } else if (arg == QStringLiteral("--ignore-missing")) {
            ignoreMissing = true;
        } else if (arg == QStringLiteral("-o") || arg == QStringLiteral("--order")) {
            if (i + 1 >= args.size())
                return UsageError(arg + QStringLiteral(" needs a value"));
            (arg == QStringLiteral("-o") ? output : order) = args[++i];
        } else if (arg.startsWith(QLatin1Char('-'))) {
            return UsageError(QStringLiteral("unknown option '%1'").arg(arg));
        } else if (!image.isEmpty()) {
            return UsageError(QStringLiteral("more than one image: '%1' and '%2'").arg(image, arg));
        } else {
            image = arg;
        }
    }
    if (image.isEmpty() || order.isEmpty() || output.isEmpty())
        return UsageError(QStringLiteral("IMAGE, --order LISTING and -o NEW_IMAGE are all needed"));
    if (output == QStringLiteral("-"))
        return UsageError(QStringLiteral("the new image is written to a file, not to standard output"));

    const std::optional<std::string> listing = ReadInput(order);
    if (!listing)
        return kStatusError;
    const QString listingName = order == QStringLiteral("-") ? QStringLiteral("<stdin>") : order;
    const std::optional<ListingLayout> layout = ScanLayout(*listing);
    if (!layout) {
        PrintError(listingName, 1, QStringLiteral("not a listing: its first line fits no layout"));
        return kStatusError;
    }
    const std::vector<std::string> names = ListingNames(*listing, *layout);
    const DiscRebuildResult result = RebuildDiscImage(QFile::encodeName(image).toStdString(), names,
                                                      ignoreMissing, QFile::encodeName(output).toStdString());
    if (result.ok)
        return kStatusOk;
    if (result.missingIndex)
        PrintError(listingName, static_cast<long long>(*result.missingIndex) + 1,
                   QStringLiteral("%1 (--ignore-missing passes over such names)")
                       .arg(QString::fromStdString(result.error)));
    else
        PrintError(image, 0, QString::fromStdString(result.error));
    return kStatusError;
}
