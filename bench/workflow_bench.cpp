// The whole workflow on a generated listing in the real main window: Scan + Load 3 col, header clicks,
// Save, and the memory a loaded row takes, each beside a GNU sort of the same file timed in the same run.
//
//   bench/bench_workflow [--names=realistic|numbered|both] [lines...]     (default: both, 1000000)
//   bench/bench_workflow --loads-only [lines]   (three loads and nothing else: CPU a line, or for a profiler)
//   bench/bench_workflow --clicks-only=COLUMN [--negative] [lines]   (five ascending clicks on column 1 to 3,
//   for a profiler; --negative: start blocks from 80000000, once shown as negative numbers, now above 2^31)
//   bench/bench_workflow --long-cell [megabytes]   (a listing of 1000 lines, one with a name of 30 MB:
//                                                   load, repaint and click times, memory against the file)
//
// Runs offscreen unless QT_QPA_PLATFORM says otherwise; for a real window on an X server:
//   QT_QPA_PLATFORM=xcb DISPLAY=:N bench/bench_workflow
//
// Baselines: `LC_ALL=C sort -t'|' -k3,3 FILE` and the same under en_US.UTF-8 (a linguistic order like the
// table's); when the system lacks that locale it is compiled with localedef into a private folder, and the
// benchmark stops when that fails. Every figure is the median of three rounds. A click is timed until the
// table is repainted; Scan + Load until the view shows every row.
//
// Targets: Scan + Load at most 0.4 x the C sort, the FileName click at most 0.4 x the en_US sort, the
// StartLba and FileSize clicks (also a StartLba column from 80000000 up, the former negative numbers) at
// least 5 x faster than the C sort, Save at most 0.25 x the C sort, at most 150 bytes of memory a loaded row.
#include <sys/resource.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QMouseEvent>
#include <QProcess>
#include <QTableView>

#include "app/main_dlg.h"
#include "bench/bench_app.h"
#include "bench/gnu_sort.h"
#include "bench/listing_generator.h"

namespace {

constexpr int kStartLba = 1;
constexpr int kFileSize = 2;
constexpr int kFileName = 3;

struct Timing {
    double seconds = 0; // wall clock
    double cpu = 0;     // user and system time of all threads
};

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Resident memory now, in bytes.
double ResidentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096.0 : 0;
}

// The highest resident memory of the process since the last ResetPeakResident, in bytes.
double PeakResidentBytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() * 1024.0;
    return 0;
}

// Starts the count of PeakResidentBytes again from the memory resident now.
void ResetPeakResident() {
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

Timing Measure(const std::function<void()>& run) {
    QElapsedTimer timer;
    const double cpu = CpuSeconds();
    timer.start();
    run();
    return Timing{static_cast<double>(timer.nsecsElapsed()) / 1e9, CpuSeconds() - cpu};
}

Timing Median(std::vector<Timing> runs) {
    std::sort(runs.begin(), runs.end(),
              [](const Timing& a, const Timing& b) { return a.seconds < b.seconds; });
    return runs[runs.size() / 2];
}

Timing MedianOfThree(const std::function<Timing()>& run) {
    std::vector<Timing> runs;
    for (int i = 0; i < 3; ++i)
        runs.push_back(run());
    return Median(runs);
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "bench_workflow: %s\n", what);
    std::exit(1);
}

// A press and a release in the middle of the column's header item.
void ClickHeader(QHeaderView* header, int nColumn) {
    const QPointF at(header->sectionViewportPosition(nColumn) + header->sectionSize(nColumn) / 2.0,
                     header->height() / 2.0);
    QWidget* viewport = header->viewport();
    QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);
}

// Notes the time of every paint event in the application and the longest time between two of them.
class CPaintClock : public QObject {
public:
    CPaintClock() {
        m_clock.start();
        m_last = 0;
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            Note();
        return QObject::eventFilter(watched, event);
    }
    double LongestGapMs() {
        Note();
        return m_longest / 1e6;
    }

private:
    void Note() {
        const qint64 now = m_clock.nsecsElapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }
    QElapsedTimer m_clock;
    qint64 m_last;
    qint64 m_longest = 0;
};

class CWorkflow {
public:
    CWorkflow(CBenchApp& app, const QString& name, long lines) : m_app(app), m_name(name), m_lines(lines) {
        m_app.OpenOn(m_dlg, name);
        m_pView = qobject_cast<QTableView*>(List().GetSafeWidget());
    }
    ~CWorkflow() { m_dlg.DestroyWindow(); }

    QWidget* Widget() const { return m_pView; }
    // The table, found by its identifier as a user finds it.
    CColumnListCtrl& List() const { return dynamic_cast<CColumnListCtrl&>(*m_dlg.GetDlgItem(IDC_LIST)); }
    // A command as a click on its control, or a chosen menu entry, sends it to the window.
    void Command(int id) { static_cast<CDialog&>(m_dlg).OnCommand(id); }

    // Scan + Load 3 col until the view shows every row.
    Timing Load() {
        const Timing timing = Measure([this] {
            Command(IDC_SCAN);
            Command(IDC_LOAD_3COL);
            while (m_pView->model()->rowCount() < m_lines)
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            QApplication::processEvents();
        });
        if (List().GetItemCount() != m_lines)
            Fail("the load did not give every line a row");
        return timing;
    }

    // One click on a header; the table must then be sorted on that column in the direction expected.
    Timing Click(int nColumn, bool bAscending) {
        const Timing timing = Measure([&] {
            ClickHeader(m_pView->horizontalHeader(), nColumn);
            QApplication::processEvents();
        });
        if (List().GetSortColumn() != nColumn || (List().IsSortAscending() != FALSE) != bAscending ||
            List().GetItemCount() != m_lines)
            Fail("a click did not sort the table");
        return timing;
    }

    // One click on a header, as Click, also giving the longest time in milliseconds between two paints of
    // any part of the window while the sort ran (from the click to the first paint, and from the last to
    // the end, count too).
    Timing ClickWatchingPaints(int nColumn, bool bAscending, double& longestGapMs) {
        CPaintClock clock;
        qApp->installEventFilter(&clock);
        const Timing timing = Click(nColumn, bAscending);
        qApp->removeEventFilter(&clock);
        longestGapMs = clock.LongestGapMs();
        return timing;
    }

    // Moves `chosen` rows, spread over the table, to the top and back down by one; the time of each.
    std::pair<Timing, Timing> MoveRows(long chosen) {
        std::vector<std::uint32_t> rows;
        for (long i = 0; i < chosen; ++i)
            rows.push_back(static_cast<std::uint32_t>(i * (m_lines / chosen)));
        List().SelectRows(rows);
        const Timing toTop = Measure([this] {
            Command(IDM_MOVE_TO_TOP);
            QApplication::processEvents();
        });
        if (List().GetSelectedRows().size() != static_cast<std::size_t>(chosen) ||
            List().GetSelectedRows().back() != static_cast<std::uint32_t>(chosen - 1))
            Fail("Move to Top did not move the selected rows");
        const Timing down = Measure([this] {
            Command(IDM_MOVE_DOWN);
            QApplication::processEvents();
        });
        return {toTop, down};
    }

    // A click not timed: on another column, so that the next click on a column sorts it ascending.
    void ClickOnce(int nColumn) {
        ClickHeader(m_pView->horizontalHeader(), nColumn);
        QApplication::processEvents();
    }

    Timing Save() {
        const Timing timing = Measure([this] { Command(IDC_SAVE); });
        QFile in(m_app.Folder() + QLatin1Char('/') + m_name);
        QFile out(m_app.Folder() + QStringLiteral("/Sorted-") + m_name);
        if (in.size() != out.size())
            Fail("Save did not write every byte back");
        return timing;
    }

private:
    CBenchApp& m_app;
    QString m_name;
    long m_lines;
    CMainDlg m_dlg;
    QTableView* m_pView = nullptr;
};

struct Phase {
    std::string what;
    Timing timing;
    double baseline;
    const char* baselineName;
    double limit; // ratio to meet
    bool bAtMost; // ratio at most limit, else baseline / time at least limit
};

void PrintPhases(const std::vector<Phase>& phases) {
    std::printf("  %-34s %9s %9s %9s  %-26s %s\n", "phase", "time s", "cpu s", "ratio", "target", "");
    for (const Phase& p : phases) {
        const double ratio = p.timing.seconds / p.baseline;
        const bool met = p.bAtMost ? ratio <= p.limit : ratio <= 1.0 / p.limit;
        char target[64];
        if (p.bAtMost)
            std::snprintf(target, sizeof target, "<= %.2gx %s", p.limit, p.baselineName);
        else
            std::snprintf(target, sizeof target, ">= %.0fx faster than %s", p.limit, p.baselineName);
        std::printf("  %-34s %9.3f %9.3f %9.3f  %-26s %s\n", p.what.c_str(), p.timing.seconds, p.timing.cpu,
                    ratio, target, met ? "met" : "MISSED");
    }
}

void RunSize(CBenchApp& app, const QString& localePath, NameStyle style, long lines) {
    const char* styleName = style == NameStyle::Realistic ? "realistic" : "numbered";
    const QString name = QStringLiteral("LBA-%1-%2.TXT").arg(QLatin1String(styleName)).arg(lines);
    const QString path = app.Folder() + QLatin1Char('/') + name;
    WriteListing(path, lines, ListingOptions{style, 0x1A, 100});
    const QString negativeName = QStringLiteral("NEG-%1-%2.TXT").arg(QLatin1String(styleName)).arg(lines);
    WriteListing(app.Folder() + QLatin1Char('/') + negativeName, lines,
                 ListingOptions{style, 0x80000000u, 0});

    const auto gnuSort = [&](const QString& locale, const QString& locPath) {
        return MedianOfThree([&] {
            const double seconds = TimeGnuSort(path, locale, locPath);
            if (seconds < 0)
                Fail("GNU sort failed");
            return Timing{seconds, 0};
        });
    };
    const double cSort = gnuSort(QStringLiteral("C"), QString()).seconds;
    const double localeSort = gnuSort(QStringLiteral("en_US.UTF-8"), localePath).seconds;
    const double fileBytes = static_cast<double>(QFile(path).size());
    std::printf("\n%s names, %ld lines, %.1f bytes a line\n", styleName, lines,
                fileBytes / static_cast<double>(lines));
    std::printf("  baseline LC_ALL=C sort -t'|' -k3,3:           %8.3f s\n", cSort);
    std::printf("  baseline LC_ALL=en_US.UTF-8 sort -t'|' -k3,3: %8.3f s\n", localeSort);
    std::fflush(stdout);

#if defined(__GLIBC__)
    // Memory the previous size freed goes back to the system, so that it is not counted as reused.
    malloc_trim(0);
#endif
    std::vector<Phase> phases;
    double bytesPerRow = 0;
    double loadCpuPerLine = 0;
    double afterSortBytesPerRow = 0;
    double peakBytesPerRow = 0;
    double loadPeakBytesPerRow = 0;
    {
        const double before = ResidentBytes();
        ResetPeakResident();
        CWorkflow flow(app, name, lines);
        std::vector<Timing> loads;
        loads.push_back(flow.Load());
        bytesPerRow = (ResidentBytes() - before) / static_cast<double>(lines);
        loads.push_back(flow.Load());
        loads.push_back(flow.Load());
        loadPeakBytesPerRow = (PeakResidentBytes() - before) / static_cast<double>(lines);
        const Timing load = Median(loads);
        loadCpuPerLine = load.cpu / static_cast<double>(lines) * 1e6;
        phases.push_back({"Scan + Load 3 col", load, cSort, "C sort", 0.4, true});
        phases.push_back({"Save, table as loaded", MedianOfThree([&] { return flow.Save(); }), cSort,
                          "C sort", 0.25, true});

        struct Click {
            const char* what;
            int nColumn;
            int nOther;
            double baseline;
            const char* baselineName;
            double limit;
            bool bAtMost;
        };
        const Click clicks[] = {
            {"FileName click", kFileName, kStartLba, localeSort, "en_US sort", 0.4, true},
            {"StartLba click", kStartLba, kFileName, cSort, "C sort", 5, false},
            {"FileSize click (1 in 100 is -1)", kFileSize, kFileName, cSort, "C sort", 5, false},
        };
        double longestPaintGapMs = 0;
        for (const Click& click : clicks) {
            std::vector<Timing> ascending;
            std::vector<Timing> descending;
            if (click.nColumn == kFileName)
                ResetPeakResident();
            for (int round = 0; round < 3; ++round) {
                flow.ClickOnce(click.nOther);
                double gapMs = 0;
                ascending.push_back(flow.ClickWatchingPaints(click.nColumn, true, gapMs));
                if (click.nColumn == kFileName)
                    longestPaintGapMs = std::max(longestPaintGapMs, gapMs);
                descending.push_back(flow.Click(click.nColumn, false));
            }
            phases.push_back({std::string(click.what) + " ascending", Median(ascending), click.baseline,
                              click.baselineName, click.limit, click.bAtMost});
            phases.push_back({std::string(click.what) + " descending", Median(descending), click.baseline,
                              click.baselineName, click.limit, click.bAtMost});
            if (click.nColumn == kFileName) {
                afterSortBytesPerRow = (ResidentBytes() - before) / static_cast<double>(lines);
                peakBytesPerRow = (PeakResidentBytes() - before) / static_cast<double>(lines);
            }
        }
        std::printf("  longest time between two paints during a FileName click: %.0f ms (target <= 100)\n",
                    longestPaintGapMs);
        flow.ClickOnce(kFileName);
        phases.push_back({"Save after a FileName sort", MedianOfThree([&] { return flow.Save(); }), cSort,
                          "C sort", 0.25, true});
        if (lines >= 100000) {
            const auto [toTop, down] = flow.MoveRows(lines / 100);
            std::printf(
                "  moving %ld selected rows: Move to Top %.3f s, Move Down %.3f s (target < 0.2 s; %.3fx "
                "and %.3fx the C sort)\n",
                lines / 100, toTop.seconds, down.seconds, toTop.seconds / cSort, down.seconds / cSort);
        }
    }
    {
        CWorkflow flow(app, negativeName, lines);
        flow.Load();
        std::vector<Timing> ascending;
        std::vector<Timing> descending;
        for (int round = 0; round < 3; ++round) {
            flow.ClickOnce(kFileName);
            ascending.push_back(flow.Click(kStartLba, true));
            descending.push_back(flow.Click(kStartLba, false));
        }
        phases.push_back(
            {"StartLba click, negative, ascending", Median(ascending), cSort, "C sort", 5, false});
        phases.push_back(
            {"StartLba click, negative, descending", Median(descending), cSort, "C sort", 5, false});
    }
    PrintPhases(phases);
    std::printf("  memory once loaded: %.0f bytes a row (target <= 150), at the highest while loading: %.0f; "
                "after the "
                "name sorts: %.0f bytes a row, at the highest during them: %.0f (target <= 300)\n",
                bytesPerRow, loadPeakBytesPerRow, afterSortBytesPerRow, peakBytesPerRow);
    std::printf("  load CPU: %.3f us a line\n", loadCpuPerLine);
    std::fflush(stdout);
}

// A listing of 1000 lines whose 500th name is `megabytes` long.
void RunLongCell(CBenchApp& app, long megabytes) {
    const QString name = QStringLiteral("LONG.TXT");
    const QString path = app.Folder() + QLatin1Char('/') + name;
    WriteListing(path, 1000, ListingOptions{NameStyle::Realistic, 0x1A, 0});
    {
        QFile file(path);
        file.open(QIODevice::ReadWrite);
        QByteArray text = file.readAll();
        qsizetype at = 0;
        for (int line = 0; line < 499; ++line)
            at = text.indexOf('\n', at) + 1;
        text.insert(at + 18, QByteArray(megabytes << 20, 'N'));
        file.seek(0);
        file.write(text);
    }
    const double fileBytes = static_cast<double>(QFile(path).size());
    const double before = ResidentBytes();
    CWorkflow flow(app, name, 1000);
    const Timing load = flow.Load();
    const double grown = ResidentBytes() - before;
    auto* view = qobject_cast<QTableView*>(flow.Widget());
    view->scrollTo(view->model()->index(499, 3), QAbstractItemView::PositionAtCenter);
    QApplication::processEvents();
    std::vector<Timing> paints;
    for (int i = 0; i < 5; ++i)
        paints.push_back(Measure([view] { view->viewport()->repaint(); }));
    const Timing lbaClick = flow.Click(kStartLba, true);
    const Timing click = flow.Click(kFileName, true);
    std::printf("a name of %ld MB in a file of %.1f MB\n", megabytes, fileBytes / 1048576.0);
    std::printf("  Scan + Load 3 col %.3f s, memory grew by %.1f MB (%.2f x the file)\n", load.seconds,
                grown / 1048576.0, grown / fileBytes);
    std::printf("  repaint with the long cell in view: median %.2f ms\n", Median(paints).seconds * 1e3);
    std::printf("  StartLba click: %.2f ms; FileName click (collates the long name whole): %.2f ms\n",
                lbaClick.seconds * 1e3, click.seconds * 1e3);
    flow.Save();
    QFile in(path);
    QFile out(app.Folder() + QStringLiteral("/Sorted-") + name);
    std::printf("  Save wrote %lld bytes of %lld\n", out.size(), in.size());
}

} // namespace

int main(int argc, char** argv) {
    CBenchApp app(argc, argv);
    std::vector<NameStyle> styles = {NameStyle::Realistic, NameStyle::Numbered};
    std::vector<long> sizes;
    bool bLoadsOnly = false;
    bool bLongCell = false;
    int nClicksOnly = -1;
    std::uint32_t firstLba = 0x1A;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--loads-only")
            bLoadsOnly = true;
        else if (arg.rfind("--clicks-only=", 0) == 0)
            nClicksOnly = std::atoi(arg.c_str() + 14);
        else if (arg == "--negative")
            firstLba = 0x80000000u;
        else if (arg == "--long-cell")
            bLongCell = true;
        else if (ReadNameStyles(arg, styles))
            continue;
        else if (std::atol(argv[i]) > 0)
            sizes.push_back(std::atol(argv[i]));
        else
            Fail("usage: bench_workflow [--names=realistic|numbered|both] [lines...]");
    }
    if (sizes.empty())
        sizes = {1000000};
    if (bLongCell) {
        RunLongCell(app, sizes[0] == 1000000 ? 30 : sizes[0]);
        return 0;
    }
    if (nClicksOnly >= 0) {
        const QString name = QStringLiteral("LBA.TXT");
        WriteListing(app.Folder() + QLatin1Char('/') + name, sizes[0],
                     ListingOptions{NameStyle::Realistic, firstLba, 100});
        CWorkflow flow(app, name, sizes[0]);
        flow.Load();
        for (int i = 0; i < 5; ++i) {
            flow.ClickOnce(nClicksOnly == kStartLba ? kFileSize : kStartLba);
            const Timing click = flow.Click(nClicksOnly, true);
            std::printf("click on column %d: %.3f s, CPU %.3f s\n", nClicksOnly, click.seconds, click.cpu);
        }
        return 0;
    }
    if (bLoadsOnly) {
        const QString name = QStringLiteral("LBA.TXT");
        WriteListing(app.Folder() + QLatin1Char('/') + name, sizes[0], ListingOptions{});
        CWorkflow flow(app, name, sizes[0]);
        for (int i = 0; i < 3; ++i) {
            const Timing load = flow.Load();
            std::printf("%ld lines: Scan + Load 3 col %.3f s, CPU %.3f us a line\n", sizes[0], load.seconds,
                        load.cpu / static_cast<double>(sizes[0]) * 1e6);
        }
        return 0;
    }
    const std::optional<QString> localePath = FindOrMakeEnglishLocale(app.Folder());
    if (!localePath)
        Fail("en_US.UTF-8 is not installed and localedef could not compile it (install the locales package)");
    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
    for (long lines : sizes)
        for (NameStyle style : styles)
            RunSize(app, *localePath, style, lines);
    return 0;
}
