// quarrow-cli plot: the picture of a listing's layout, and of a trace on it, as SVG or PNG. The one
// command that needs Qt GUI: it runs under a QGuiApplication of its own on the offscreen platform, so no
// display is needed.
#include <cerrno>
#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>

#include "cli/cli_io.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/trace_input.h"
#include "plot/picture_file.h"
#include "plot/trace_picture.h"

namespace {

CResult<int> Pixels(const char* option, const QString& text) {
    bool valid = false;
    const int value = text.toInt(&valid);
    if (!valid || value < 200 || value > 20000) {
        return FailureOf(QStringLiteral("--%1 must be a whole number of pixels from 200 to 20000, not '%2'")
                             .arg(QString::fromUtf8(option), text));
    }
    return value;
}

} // namespace

int RunPlotCommand(const QStringList& args) {
    QCommandLineParser parser;
    SetUpCommand(
        parser,
        "Draws the listing's layout (the image's blocks left to right, a coloured bar a file, gaps "
        "light, overlaps red) and, with --trace, the reads (read number across, block up); with --new, "
        "the reads on the old and the new layout side by side. Writes SVG or PNG by the name of -o.",
        "listing", "The listing to draw; - for stdin.");
    AddTraceOptions(parser);
    const QCommandLineOption newOption(QStringLiteral("new"), QStringLiteral("The listing of a new layout."),
                                       QStringLiteral("listing"));
    const QCommandLineOption outputOption(
        QStringLiteral("o"), QStringLiteral("The picture: FILE.svg or FILE.png."), QStringLiteral("file"));
    const QCommandLineOption widthOption(QStringLiteral("width"),
                                         QStringLiteral("Width in pixels (default: 1200)."),
                                         QStringLiteral("pixels"), QStringLiteral("1200"));
    const QCommandLineOption heightOption(
        QStringLiteral("height"), QStringLiteral("Height in pixels (default: 700 with a trace, else 200)."),
        QStringLiteral("pixels"));
    parser.addOptions({newOption, outputOption, widthOption, heightOption});
    AddLayoutOption(parser);
    if (const std::optional<int> status = ParseCommand(parser, "plot", args))
        return *status;

    const QString output = parser.value(outputOption);
    const std::optional<PictureKind> kind = PictureKindOf(output);
    if (!kind) {
        PrintError(QStringLiteral("plot: -o FILE.svg or -o FILE.png is required"));
        return kStatusError;
    }
    const bool withTrace = parser.isSet(QStringLiteral("trace"));
    if (parser.isSet(newOption) && !withTrace) {
        PrintError(QStringLiteral("plot: --new needs --trace"));
        return kStatusError;
    }
    const QString heightText = parser.isSet(heightOption) ? parser.value(heightOption)
                               : withTrace                ? QStringLiteral("700")
                                                          : QStringLiteral("200");
    const CResult<int> width = Pixels("width", parser.value(widthOption));
    if (!width)
        return ReportFailure(width.Error());
    const CResult<int> height = Pixels("height", heightText);
    if (!height)
        return ReportFailure(height.Error());

    const CResult<TracedListing> listing = ReadTracedListing(parser.positionalArguments().first(), parser);
    if (!listing)
        return ReportFailure(listing.Error());
    CTracePicture picture;
    picture.SetFiles(listing->files);
    if (withTrace) {
        CResult<std::vector<TraceRead>> reads = ReadTraceOption(parser);
        if (!reads)
            return ReportFailure(reads.Error());
        if (parser.isSet(newOption)) {
            const CResult<TracedListing> newer = ReadTracedListing(parser.value(newOption), parser);
            if (!newer)
                return ReportFailure(newer.Error());
            std::size_t missing = 0;
            picture.SetReplayedReads(
                ReplayReads(listing->files, NewStarts(*listing, *newer, missing), *reads));
        }
        picture.SetReads(std::move(*reads));
    }
    return ExitStatusOf(WriteOutput(output, RenderPicture(picture, QSize(*width, *height), *kind)));
}

int RunPlotProgram(int argc, char** argv) {
    // Drawing text needs a GUI application; the offscreen platform needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The folder Qt falls back on when the session names none, made here so that Qt need not warn.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray runtime =
            QDir::tempPath().toLocal8Bit() + "/runtime-" + QByteArray::number(getuid());
        if (::mkdir(runtime.constData(), 0700) == 0 || errno == EEXIST)
            qputenv("XDG_RUNTIME_DIR", runtime);
    }
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quarrow-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUARROW_VERSION));
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    args.removeFirst(); // "plot"
    return RunPlotCommand(args);
}
