// Cost of the banner ripple: one effect step on a busy 575 x 40 field, and one whole timer tick of the real
// main window (step plus repaint of the banner rectangle), each against the 30 ms timer period, beside a
// plain copy of the 575 x 80 image measured in the same run.
//
//   bench/bench_banner [steps] [ticks]        (default: 2000 1000)
//
// Runs offscreen unless QT_QPA_PLATFORM says otherwise (e.g. QT_QPA_PLATFORM=xcb with a display).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QWindow>

#include "app/dib_image.h"
#include "app/main_dlg.h"
#include "banner/water_effect.h"
#include "bench/bench_app.h"
#include "platform/picture_holder.h"
#include "res/resource.h"

namespace {

constexpr double kPeriodUs = 30000.0;
constexpr int kWidth = 575;
constexpr int kHeight = 80;

double Micro(qint64 ns) {
    return static_cast<double>(ns) / 1000.0;
}

// One result line: mean, median and 99th percentile of the samples (ns each), the mean as a share of the
// timer period.
void PrintLine(const char* what, qint64 totalNs, int count, std::vector<qint64> samples) {
    std::sort(samples.begin(), samples.end());
    const double mean = Micro(totalNs) / count;
    std::printf("%-46s %9.1f us %9.1f us %9.1f us %8.3f %%\n", what, mean, Micro(samples[samples.size() / 2]),
                Micro(samples[samples.size() * 99 / 100]), 100.0 * mean / kPeriodUs);
}

// Counts the paint events of the window, so the tick benchmark can check that every tick repainted.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint &&
            static_cast<QPaintEvent*>(event)->rect() == QRect(0, 0, 575, 80))
            ++count;
        return false;
    }
    int count = 0;
};

// Copies of the 575 x 80 image with memcpy, timed in batches of 100: the least any redraw of the banner
// could cost.
void BenchMemcpy(int batches) {
    std::vector<uint32_t> from(kWidth * kHeight, 0x00336699u), to(kWidth * kHeight);
    std::vector<qint64> samples;
    qint64 total = 0;
    QElapsedTimer timer;
    constexpr int kBatch = 100;
    for (int b = 0; b < batches; ++b) {
        timer.start();
        for (int i = 0; i < kBatch; ++i) {
            from[static_cast<size_t>(b * kBatch + i) % from.size()] = static_cast<uint32_t>(i);
            std::memcpy(to.data(), from.data(), from.size() * sizeof(uint32_t));
        }
        const qint64 ns = timer.nsecsElapsed();
        total += ns;
        samples.push_back(ns / kBatch);
    }
    volatile uint32_t sink = to[static_cast<size_t>(batches) % to.size()];
    (void)sink;
    PrintLine("memcpy of the 575 x 80 image (baseline)", total, batches * kBatch, samples);
}

// Steps on the banner picture with the water kept busy: 400 large drops first and a fresh burst of 20
// every 50 steps, so damping never flattens it. Only the steps are timed.
void BenchStep(int steps) {
    CPictureHolder picture;
    picture.CreateFromBitmap(IDB_BANNER);
    CDibImage source, target;
    source.CreateFromPicture(picture, kWidth, kHeight);
    target.CreateFromPicture(picture, kWidth, kHeight);
    CWaterEffect water;
    water.Create(kWidth, 40);
    std::srand(1971);
    for (int i = 0; i < 400; ++i)
        water.AddDrop(std::rand() % kWidth, std::rand() % 40, 10, 200, water.GetPage());

    std::vector<qint64> batches;
    constexpr int kBatch = 50;
    QElapsedTimer timer;
    qint64 total = 0;
    int done = 0;
    while (done < steps) {
        const int n = std::min(kBatch, steps - done);
        timer.start();
        for (int i = 0; i < n; ++i)
            water.Step(source.GetPixels(), target.GetPixels());
        const qint64 ns = timer.nsecsElapsed();
        total += ns;
        batches.push_back(ns / n);
        done += n;
        for (int i = 0; i < 20; ++i)
            water.AddDrop(std::rand() % kWidth, std::rand() % 40, 5, 50, water.GetPage());
    }
    int rippled = 0;
    for (int i = 0; i < kWidth * 40; ++i)
        rippled += source.GetPixels()[i] != target.GetPixels()[i];
    char label[96];
    std::snprintf(label, sizeof label, "Step, 575 x 40, busy (%d%% of pixels moved)",
                  rippled * 100 / (kWidth * 40));
    PrintLine(label, total, steps, batches);
}

// OnTimer(1971) of the real window with the Effect box ticked and the pointer moving over the water: the
// step and the repaint of the banner rectangle.
bool BenchTick(int ticks) {
    CMainDlg dlg;
    dlg.CreateModeless();
    QWidget* window = dlg.GetSafeWidget();
    QElapsedTimer wait;
    wait.start();
    while (!(window->windowHandle() && window->windowHandle()->isExposed()) && wait.elapsed() < 5000)
        QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    auto* box = qobject_cast<QAbstractButton*>(dlg.GetDlgItem(IDC_EFFECT)->GetSafeWidget());
    box->click();
    // The benchmark drives the ticks itself; the running timer would only add untimed ones.
    dlg.KillTimer(CMainDlg::kEffectTimer);
    for (int x = 10; x < kWidth; x += 15)
        static_cast<CDialog&>(dlg).OnLButtonDown(0, CPoint(x, 40 + (x % 40)));

    PaintCounter counter;
    window->installEventFilter(&counter);
    std::vector<qint64> samples;
    samples.reserve(static_cast<size_t>(ticks));
    QElapsedTimer timer;
    qint64 total = 0;
    for (int i = 0; i < ticks; ++i) {
        static_cast<CDialog&>(dlg).OnMouseMove(0, CPoint((i * 7) % kWidth, 41 + (i % 39)));
        timer.start();
        static_cast<CDialog&>(dlg).OnTimer(CMainDlg::kEffectTimer);
        const qint64 ns = timer.nsecsElapsed();
        total += ns;
        samples.push_back(ns);
    }
    window->removeEventFilter(&counter);
    PrintLine("Tick: OnTimer(1971), step + banner repaint", total, ticks, samples);
    const bool repainted = counter.count == ticks;
    if (!repainted)
        std::fprintf(stderr, "only %d of %d ticks repainted the banner\n", counter.count, ticks);
    dlg.DestroyWindow();
    return repainted;
}

} // namespace

int main(int argc, char** argv) {
    CBenchApp app(argc, argv);

    const int steps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    const int ticks = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;

    std::printf("platform %s, timer period 30 ms, target: a tick under 10 %% of it (3000 us)\n",
                qPrintable(QGuiApplication::platformName()));
    std::printf("%-46s %12s %12s %12s %10s\n", "", "mean", "median", "p99", "mean/30ms");
    BenchMemcpy(200);
    BenchStep(steps);
    return BenchTick(ticks) ? 0 : 1;
}
