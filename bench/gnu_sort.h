// GNU sort of a listing by its name field, the baseline the benchmarks print their times beside.
#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

// Seconds that `sort -t'|' -k3,3 path` takes with LC_ALL=locale, output discarded; negative when sort
// fails. locPath, when not empty, is where sort looks for the locale (LOCPATH).
inline double TimeGnuSort(const QString& path, const QString& locale = QStringLiteral("C"),
                          const QString& locPath = QString()) {
    QProcess sort;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), locale);
    if (!locPath.isEmpty())
        env.insert(QStringLiteral("LOCPATH"), locPath);
    sort.setProcessEnvironment(env);
    sort.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    sort.start(QStringLiteral("sort"), {QStringLiteral("-t|"), QStringLiteral("-k3,3"), path});
    if (!sort.waitForFinished(-1) || sort.exitStatus() != QProcess::NormalExit || sort.exitCode() != 0)
        return -1.0;
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}
