// GNU sort of a listing by its name field, the baseline the benchmarks print their times beside.
#pragma once

#include <optional>

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

// Where sort finds the en_US.UTF-8 locale: an empty text when the system has it, else `folder`, into which
// it is compiled with localedef. None when it is missing and cannot be made (no localedef, no sources):
// sort would then quietly fall back to the C order, so a baseline under it would measure the wrong thing.
inline std::optional<QString> FindOrMakeEnglishLocale(const QString& folder) {
    QProcess list;
    list.start(QStringLiteral("locale"), {QStringLiteral("-a")});
    if (list.waitForFinished(-1) && list.exitCode() == 0) {
        for (const QByteArray& name : list.readAllStandardOutput().split('\n')) {
            if (name.trimmed().toLower() == "en_us.utf8")
                return QString();
        }
    }
    QProcess localedef;
    localedef.setStandardOutputFile(QProcess::nullDevice());
    localedef.setStandardErrorFile(QProcess::nullDevice());
    localedef.start(QStringLiteral("localedef"),
                    {QStringLiteral("-i"), QStringLiteral("en_US"), QStringLiteral("-f"),
                     QStringLiteral("UTF-8"), folder + QStringLiteral("/en_US.UTF-8")});
    if (!localedef.waitForFinished(-1) || localedef.exitStatus() != QProcess::NormalExit ||
        localedef.exitCode() != 0)
        return std::nullopt;
    return folder;
}
