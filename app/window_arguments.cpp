#include "app/window_arguments.h"

#include <cstdio>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int kStatusUsage = 2;

// The options QGuiApplication and QApplication take out of the arguments themselves. They are known here
// only so that their values are not taken for the file name.
void AddQtWindowOptions(QCommandLineParser& parser) {
    const char* const withValue[] = {"platform",
                                     "platformpluginpath",
                                     "platformtheme",
                                     "plugin",
                                     "qwindowgeometry",
                                     "geometry",
                                     "qwindowtitle",
                                     "title",
                                     "qwindowicon",
                                     "icon",
                                     "session",
                                     "display",
                                     "name",
                                     "style",
                                     "stylesheet",
                                     "qmljsdebugger"};
    const char* const flags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"};
    for (const char* name : withValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : flags) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

WindowCommandLine Ending(int status, const QString& output, const QString& error) {
    WindowCommandLine answer;
    answer.exitStatus = status;
    answer.output = output;
    answer.error = error;
    return answer;
}

} // namespace

QString FolderFieldText(const QString& absoluteFilePath) {
    const qsizetype separator = absoluteFilePath.lastIndexOf(QLatin1Char('/'));
    return (separator < 0 ? QString() : absoluteFilePath.left(separator)) + QLatin1Char('/');
}

WindowCommandLine ParseWindowCommandLine(const QStringList& arguments) {
    const QString program =
        arguments.isEmpty() ? QStringLiteral("quarrow") : QFileInfo(arguments.first()).fileName();

    QCommandLineParser parser;
    // Qt's options are written with one dash (-platform xcb); short options are never grouped here.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Shows a disc image's file listing as a table, sorts it by a click on a column header\n"
        "and saves it in the new order as Sorted-<name> next to the listing."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral("A listing or file list to open: fills the folder and file fields as Browse does."),
        QStringLiteral("[file]"));
    AddQtWindowOptions(parser);

    const QString tryHelp = QStringLiteral("Try '%1 --help' for more information.\n").arg(program);
    if (!parser.parse(arguments))
        return Ending(kStatusUsage, QString(),
                      program + QStringLiteral(": ") + parser.errorText() + QLatin1Char('\n') + tryHelp);
    // --help-all would add Qt's own options; the short help serves for both.
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        // Without an application object the parser cannot know the program's name.
        QString text = parser.helpText();
        text.replace(QStringLiteral("<executable_name>"), program);
        return Ending(0, text, QString());
    }
    if (parser.isSet(version))
        return Ending(0, QStringLiteral("quarrow " QUARROW_VERSION "\n"), QString());

    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return Ending(kStatusUsage, QString(), program + QStringLiteral(": one file at most\n") + tryHelp);

    WindowCommandLine answer;
    if (files.isEmpty())
        return answer;
    const QFileInfo file(files.first());
    if (!file.exists())
        return Ending(kStatusUsage, QString(),
                      program + QStringLiteral(": %1: No such file\n").arg(files.first()));
    if (!file.isFile())
        return Ending(kStatusUsage, QString(),
                      program + QStringLiteral(": %1: Not a regular file\n").arg(files.first()));
    answer.folderText = FolderFieldText(QDir::cleanPath(file.absoluteFilePath()));
    answer.fileName = file.fileName();
    return answer;
}

QStringList ArgumentList(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));
    return arguments;
}

int PrintCommandLineAnswer(const WindowCommandLine& commandLine) {
    std::fputs(commandLine.output.toLocal8Bit().constData(), stdout);
    std::fputs(commandLine.error.toLocal8Bit().constData(), stderr);
    std::fflush(stdout);
    return commandLine.exitStatus;
}
