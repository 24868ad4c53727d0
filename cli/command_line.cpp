#include "cli/command_line.h"

#include <cstdio>

#include <QCoreApplication>

#include "cli/cli_io.h"

void SetUpCommand(QCommandLineParser& parser, const char* description, const char* argument,
                  const char* argumentHelp) {
    parser.setApplicationDescription(QString::fromUtf8(description));
    parser.addHelpOption();
    parser.addPositionalArgument(QString::fromUtf8(argument), QString::fromUtf8(argumentHelp));
}

std::optional<int> HelpIfAsked(const QCommandLineParser& parser, const char* name) {
    if (!parser.isSet(QStringLiteral("help")) && !parser.isSet(QStringLiteral("help-all")))
        return std::nullopt;
    // The parser names the program by the path it was started with; the usage line names the command.
    QString help = parser.helpText();
    help.replace(QStringLiteral("Usage: ") + QCoreApplication::arguments().constFirst(),
                 QStringLiteral("Usage: quarrow-cli ") + QString::fromUtf8(name));
    std::fputs(help.toLocal8Bit().constData(), stdout);
    return kStatusOk;
}

std::optional<int> ParseCommand(QCommandLineParser& parser, const char* name, const QStringList& args) {
    const QString command = QStringLiteral("quarrow-cli ") + QString::fromUtf8(name);
    if (!parser.parse(QStringList{command} + args)) {
        QString reason = parser.errorText();
        if (reason.endsWith(QLatin1Char('.')))
            reason.chop(1);
        PrintError(QStringLiteral("%1: %2 (see quarrow-cli %1 --help)").arg(QString::fromUtf8(name), reason));
        return kStatusError;
    }
    if (const std::optional<int> status = HelpIfAsked(parser, name))
        return status;
    if (parser.positionalArguments().size() != 1) {
        PrintError(QStringLiteral("%1: expects one %2 (see quarrow-cli %1 --help)")
                       .arg(QString::fromUtf8(name), parser.positionalArguments().isEmpty()
                                                         ? QStringLiteral("argument")
                                                         : QStringLiteral("argument only")));
        return kStatusError;
    }
    return std::nullopt;
}
