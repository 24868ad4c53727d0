// Runs the built quarrow-cli (and the disc image tools) as processes and collects what they print.
#pragma once

#include <string>

#include <QProcess>
#include <QString>
#include <QStringList>

struct ProcessResult {
    int status = -1; // exit status; -1 when the program did not start or crashed
    std::string out;
    std::string err;
};

inline ProcessResult RunProgram(const QString& program, const QStringList& args,
                                const QString& workingDir = {}, const std::string& input = {}) {
    QProcess process;
    if (!workingDir.isEmpty())
        process.setWorkingDirectory(workingDir);
    process.start(program, args);
    ProcessResult result;
    if (!process.waitForStarted())
        return result;
    process.write(input.data(), static_cast<qint64>(input.size()));
    process.closeWriteChannel();
    process.waitForFinished(120000);
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    if (process.exitStatus() == QProcess::NormalExit)
        result.status = process.exitCode();
    return result;
}

inline ProcessResult RunCli(const QStringList& args, const QString& workingDir = {},
                            const std::string& input = {}) {
    return RunProgram(QStringLiteral(QUARROW_CLI_PATH), args, workingDir, input);
}
