// The Layout Map's repaint with a million files and a million reads, beside a plain fill of the same
// picture measured in the same run.
//
//   QT_QPA_PLATFORM=offscreen bench/bench_layout_map [files] [reads]     (default: 1000000 1000000)
//
// Times, the median of 21 paints into an image of the window's default size (1000 x 480): the view's
// paintEvent (strip, reads, axes, legend), and QImage::fill of the same image as the baseline.
// Target: a repaint under 50 ms.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>

#include "app/layout_map_view.h"

namespace {

template <class Work> double MedianMs(Work work) {
    std::vector<double> times;
    for (int i = 0; i < 21; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const long files = argc > 1 ? std::atol(argv[1]) : 1000000;
    const long reads = argc > 2 ? std::atol(argv[2]) : 1000000;
    std::mt19937_64 random(7);
    std::vector<TracedFile> layout;
    std::uint64_t block = 20;
    for (long i = 0; i < files; ++i) {
        const std::uint64_t size = random() % 0x400000;
        layout.push_back({block, size});
        block += (size + 2047) / 2048 + (random() % 50 == 0 ? 3 : 0);
    }
    std::vector<TraceRead> trace;
    for (long i = 0; i < reads; ++i) {
        const TracedFile& f = layout[random() % layout.size()];
        trace.push_back({f.startLba * 2048, 16 * 2048});
    }
    CLayoutMapView view;
    view.resize(1000, 480);
    view.Picture().SetFiles(layout);
    view.Picture().SetReads(trace);
    std::vector<bool> selected(layout.size(), false);
    for (std::size_t i = 0; i < selected.size(); i += 1000)
        selected[i] = true;
    view.Picture().SetSelected(selected);

    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    const double fill = MedianMs([&] { image.fill(Qt::white); });
    const double paint = MedianMs([&] { view.render(&image); });
    view.Zoom(500, 10);
    const double zoomed = MedianMs([&] { view.render(&image); });
    std::printf("files: %ld, reads: %ld, picture %dx%d\n", files, reads, view.width(), view.height());
    std::printf("%-40s %9.3f ms\n", "baseline QImage::fill", fill);
    std::printf("%-40s %9.3f ms  %8.1fx   %s\n", "Layout Map repaint, whole layout", paint, paint / fill,
                paint < 50 ? "met: under 50 ms" : "MISSED: under 50 ms");
    std::printf("%-40s %9.3f ms  %8.1fx   %s\n", "Layout Map repaint, zoomed 10 steps", zoomed, zoomed / fill,
                zoomed < 50 ? "met: under 50 ms" : "MISSED: under 50 ms");
    return 0;
}
