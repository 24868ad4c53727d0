// Load and save of generated three-column listings through the real main window offscreen, beside GNU sort
// of the same file measured in the same run.
//
//   bench/bench_listing [lines...]        (default: 100000 1000000)
//
// Prints per size: Scan + Load 3 col time, Save time, their sum as a ratio of `LC_ALL=C sort -t'|' -k3,3`
// on the same file, and the process's peak resident memory.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include "app/main_dlg.h"
#include "bench/bench_app.h"
#include "bench/gnu_sort.h"
#include "bench/listing_generator.h"

namespace {

double Seconds(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e9; }

long PeakMemoryMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

}  // namespace

int main(int argc, char** argv) {
    CBenchApp app(argc, argv);

    std::vector<long> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atol(argv[i]));
    if (sizes.empty())
        sizes = {100000, 1000000};

    std::printf("%10s %10s %10s %10s %12s %12s %10s\n", "lines", "load s", "save s", "sort s", "(load+save)",
                "/sort", "peak MiB");
    for (long lines : sizes) {
        const QString name = QStringLiteral("LBA%1.TXT").arg(lines);
        WriteListing(app.Folder() + QLatin1Char('/') + name, lines);
        const double sortSeconds = TimeGnuSort(app.Folder() + QLatin1Char('/') + name);

        CMainDlg dlg;
        app.OpenOn(dlg, name);

        QElapsedTimer timer;
        timer.start();
        dlg.OnScan();
        dlg.OnLoad3Col();
        const double loadSeconds = Seconds(timer);
        if (dlg.m_list.GetItemCount() != lines) {
            std::fprintf(stderr, "loaded %d rows of %ld\n", dlg.m_list.GetItemCount(), lines);
            return 1;
        }
        timer.restart();
        dlg.OnSave();
        const double saveSeconds = Seconds(timer);
        QFile in(app.Folder() + QLatin1Char('/') + name);
        QFile out(app.Folder() + QStringLiteral("/Sorted-") + name);
        if (in.size() != out.size()) {
            std::fprintf(stderr, "saved %lld bytes of %lld\n", out.size(), in.size());
            return 1;
        }
        std::printf("%10ld %10.3f %10.3f %10.3f %12.3f %12.2f %10ld\n", lines, loadSeconds, saveSeconds,
                    sortSeconds, loadSeconds + saveSeconds, (loadSeconds + saveSeconds) / sortSeconds,
                    PeakMemoryMiB());
        std::fflush(stdout);
        dlg.DestroyWindow();
    }
    return 0;
}
