// The title cache is rewritten whole after every online look-up and read whole
// at the first look-up of a run; this measures both for caches of a few
// hundred to several thousand discs.
//
//   cmake --build build --target bench_title_cache && ./build/bench/bench_title_cache

#include "metadata/title_cache_file.h"

#include <benchmark/benchmark.h>

#include <string>

namespace tesslow {
namespace {

TitleCacheEntries MakeEntries(int discs)
{
    TitleCacheEntries entries;
    for (int d = 0; d < discs; ++d) {
        AlbumInfo album;
        album.artist = "Artist & Band " + std::to_string(d);
        album.album = "Album \"" + std::to_string(d) + "\" — Ça va";
        album.year = "1999";
        album.source = "6f1c2a3e-1b7d-4d3c-9f2a-" + std::to_string(100000000000 + d);
        for (int t = 1; t <= 14; ++t) album.trackTitles.push_back("Guest " + std::to_string(t) + " / Title <" +
                                                                   std::to_string(t) + "> of disc " + std::to_string(d));
        entries.emplace("DiscId" + std::to_string(1000000 + d) + "abcdefghijklmnopq-", std::move(album));
    }
    return entries;
}

void WriteCache(benchmark::State& state)
{
    const TitleCacheEntries entries = MakeEntries(static_cast<int>(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = SerializeTitleCache(entries);
        bytes += text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

void ReadCache(benchmark::State& state)
{
    const std::string text = SerializeTitleCache(MakeEntries(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        const TitleCacheEntries entries = ParseTitleCache(text).entries;
        benchmark::DoNotOptimize(entries.size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

BENCHMARK(WriteCache)->Arg(300)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadCache)->Arg(300)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tesslow

BENCHMARK_MAIN();
