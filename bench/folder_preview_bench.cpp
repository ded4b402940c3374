// The destination page's folder preview with a very long folder, run by hand:
//
//     cmake --build build --target bench_folder_preview
//     QT_QPA_PLATFORM=offscreen build/bench/bench_folder_preview
//
// Times one paint of the preview strip (which shortens the folder to its
// width) for folders of 4 K and 32 K characters, the longest a folder box or
// a setting could hold. Goal: the page shows in well under 100 ms.

#include "ui/controls/preview_strip.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

void PaintLongFolder(benchmark::State& state)
{
    tesslow::PreviewStrip strip(QImage(), tesslow::PreviewStrip::Shortening::Middle);
    strip.resize(420, 20);
    strip.SetText(QStringLiteral("/home/") + QString(static_cast<qsizetype>(state.range(0)), QLatin1Char('m')) +
                  QStringLiteral("/Artist/Album"));
    QImage target(strip.size(), QImage::Format_ARGB32);
    for (auto _ : state) {
        strip.render(&target);
        benchmark::DoNotOptimize(target.bits());
    }
}
BENCHMARK(PaintLongFolder)->Arg(4096)->Arg(32760)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
