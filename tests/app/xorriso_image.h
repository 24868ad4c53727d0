// Real images for the window's disc tests, made by xorriso from a tree the test wrote.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Makes `image` from the folder `tree` with Joliet names; returns xorriso's exit status.
inline int MakeJolietImage(const QString& image, const QString& tree) {
    return QProcess::execute(QStringLiteral("xorriso"),
                             {QStringLiteral("-report_about"), QStringLiteral("SORRY"),
                              QStringLiteral("-outdev"), image, QStringLiteral("-joliet"),
                              QStringLiteral("on"), QStringLiteral("-map"), tree, QStringLiteral("/"),
                              QStringLiteral("-commit")});
}
