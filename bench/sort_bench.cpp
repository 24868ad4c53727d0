// Header-click sorts of a generated listing in the real main window offscreen, beside GNU sort of the same
// file measured in the same run.
//
//   bench/bench_sort [lines]        (default: 1000000)
//
// The listing is loaded with Scan and Load 3 col; one line in a hundred has the size FFFFFFFF, so the
// FileSize column holds "-1" among its numbers (a column of mixed kinds). Each sort is one click on a
// column header, timed until the view has caught up: FileName (text) from the block order, StartLba
// (numbers) and FileSize (mixed) from the name order, each ascending and then descending, best of three
// rounds. Baselines, best of three runs:
// `LC_ALL=C sort -t'|' -k3,3 FILE` and the same under en_US.UTF-8, a linguistic order like the table's;
// that locale is compiled into a temporary folder with localedef when the system has its source.
// Targets: numbers at least 3 times faster than the C sort, text faster than the locale-aware sort.
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMouseEvent>
#include <QProcess>
#include <QTableView>

#include "app/main_dlg.h"
#include "bench/bench_app.h"
#include "bench/gnu_sort.h"
#include "bench/listing_generator.h"
#include "table/row_compare.h"

namespace {

constexpr int kStartLba = 1;
constexpr int kFileSize = 2;
constexpr int kFileName = 3;

double Seconds(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e9; }

long PeakMemoryMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// The best of three runs: the least disturbed by the other work on the machine.
template <class Run> double BestOfThree(Run run) {
    double best = -1.0;
    for (int i = 0; i < 3; ++i) {
        const double seconds = run();
        if (seconds >= 0 && (best < 0 || seconds < best))
            best = seconds;
    }
    return best;
}

// Compiles en_US.UTF-8 into folder; false when the system lacks localedef or the locale's source.
bool MakeEnglishLocale(const QString& folder) {
    QProcess localedef;
    localedef.setStandardOutputFile(QProcess::nullDevice());
    localedef.setStandardErrorFile(QProcess::nullDevice());
    localedef.start(QStringLiteral("localedef"),
                    {QStringLiteral("-i"), QStringLiteral("en_US"), QStringLiteral("-f"), QStringLiteral("UTF-8"),
                     folder + QStringLiteral("/en_US.UTF-8")});
    return localedef.waitForFinished(-1) && localedef.exitStatus() == QProcess::NormalExit &&
           localedef.exitCode() == 0;
}

// A press and a release in the middle of the column's header item.
void ClickHeader(QHeaderView* header, int nColumn) {
    const QPointF at(header->sectionViewportPosition(nColumn) + header->sectionSize(nColumn) / 2.0,
                     header->height() / 2.0);
    QWidget* viewport = header->viewport();
    QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);
}

// True when every neighbouring pair of rows is in order for the column's sort; a column of mixed kinds
// has no such order, so it is checked only for keeping all its rows.
bool NumbersInOrder(const CColumnListCtrl& list, int nColumn, bool bAscending) {
    for (int i = 1; i < list.GetItemCount(); ++i) {
        const int r = CompareAsNumbers(list.GetItemText(i - 1, nColumn), list.GetItemText(i, nColumn));
        if (bAscending ? r > 0 : r < 0)
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    CBenchApp app(argc, argv);

    const long lines = argc > 1 ? std::atol(argv[1]) : 1000000;
    const QString name = QStringLiteral("LBA.TXT");
    const QString path = app.Folder() + QLatin1Char('/') + name;
    WriteListing(path, lines, ListingOptions{100});

    const double cSort = BestOfThree([&] { return TimeGnuSort(path); });
    double localeSort = -1.0;
    if (MakeEnglishLocale(app.Folder()))
        localeSort = BestOfThree([&] { return TimeGnuSort(path, QStringLiteral("en_US.UTF-8"), app.Folder()); });
    std::printf("lines: %ld\n", lines);
    std::printf("baseline LC_ALL=C sort -t'|' -k3,3:           %8.3f s\n", cSort);
    if (localeSort >= 0)
        std::printf("baseline LC_ALL=en_US.UTF-8 sort -t'|' -k3,3: %8.3f s\n", localeSort);
    else
        std::printf("baseline LC_ALL=en_US.UTF-8 sort: skipped, the locale could not be made\n");

    CMainDlg dlg;
    app.OpenOn(dlg, name);
    QElapsedTimer timer;
    timer.start();
    dlg.OnScan();
    dlg.OnLoad3Col();
    QApplication::processEvents();
    std::printf("Scan + Load 3 col:                            %8.3f s\n", Seconds(timer));
    if (dlg.m_list.GetItemCount() != lines) {
        std::fprintf(stderr, "loaded %d rows of %ld\n", dlg.m_list.GetItemCount(), lines);
        return 1;
    }
    QHeaderView* header = qobject_cast<QTableView*>(dlg.m_list.GetSafeWidget())->horizontalHeader();

    // Each column is sorted in three rounds of two clicks (ascending, then descending), and the best time
    // of each click is shown. Before each round a click on another column, not timed, puts the rows in the
    // same starting order: names start from block order, the others from name order.
    struct Sort {
        const char* what;
        int nColumn;
        int nStartColumn;
        bool bNumbers;
    };
    const Sort sorts[] = {{"FileName (text)", kFileName, kStartLba, false},
                          {"StartLba (numbers)", kStartLba, kFileName, true},
                          {"FileSize (mixed)", kFileSize, kFileName, false}};
    std::printf("\n%-20s %-10s %10s %12s %17s %14s\n", "column", "direction", "click s", "C sort / it",
                "locale sort / it", "target");
    for (const Sort& sort : sorts) {
        double best[2] = {-1.0, -1.0};
        for (int round = 0; round < 3; ++round) {
            ClickHeader(header, sort.nStartColumn);
            QApplication::processEvents();
            for (int click = 0; click < 2; ++click) {
                timer.restart();
                ClickHeader(header, sort.nColumn);
                QApplication::processEvents();
                const double seconds = Seconds(timer);
                const bool bAscending = dlg.m_list.IsSortAscending() != FALSE;
                if (dlg.m_list.GetSortColumn() != sort.nColumn || bAscending != (click == 0) ||
                    dlg.m_list.GetItemCount() != lines ||
                    (sort.bNumbers && !NumbersInOrder(dlg.m_list, sort.nColumn, bAscending))) {
                    std::fprintf(stderr, "the click on %s did not sort the table\n", sort.what);
                    return 1;
                }
                if (best[click] < 0 || seconds < best[click])
                    best[click] = seconds;
            }
        }
        for (int click = 0; click < 2; ++click) {
            const double seconds = best[click];
            const char* target = "";
            if (sort.nColumn == kStartLba)
                target = cSort >= 3 * seconds ? "met (3x C)" : "MISSED (3x C)";
            else if (sort.nColumn == kFileName && localeSort >= 0)
                target = localeSort > seconds ? "met (< locale)" : "MISSED (< locale)";
            std::printf("%-20s %-10s %10.3f %12.2f %17.2f %14s\n", sort.what, click == 0 ? "ascending" : "descending",
                        seconds, cSort / seconds, localeSort >= 0 ? localeSort / seconds : 0.0, target);
            std::fflush(stdout);
        }
    }
    std::printf("\npeak resident memory: %ld MiB\n", PeakMemoryMiB());
    dlg.DestroyWindow();
    return 0;
}
