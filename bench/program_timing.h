// Timing a program run as a process with its output discarded, for the benchmarks of quarrow-cli.
#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Seconds the program takes with its output discarded; negative when it fails (exit status above 1, since
// 1 is a check's finding, not a failure). cLocale runs it with LC_ALL=C.
inline double TimeProgram(const QString& program, const QStringList& args, bool cLocale = false) {
    QProcess process;
    if (cLocale) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        process.setProcessEnvironment(env);
    }
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, args);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() > 1)
        return -1.0;
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// The best of three runs: the least disturbed by the other work on the machine; negative if any failed.
template <class Run> double BestOfThree(Run run) {
    double best = -1.0;
    for (int i = 0; i < 3; ++i) {
        const double seconds = run();
        if (seconds < 0)
            return -1.0;
        if (best < 0 || seconds < best)
            best = seconds;
    }
    return best;
}
