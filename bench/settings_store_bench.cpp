// A settings store is read whole by every Settings snapshot; this measures
// reading stores of many keys, and of one key with many values, which a
// store edited by other programs may hold.
//
//   cmake --build build --target bench_settings_store && ./build/bench/bench_settings_store

#include "app/reg_document.h"

#include <benchmark/benchmark.h>

#include <string>

namespace tesslow {
namespace {

std::string ManyKeys(int keys)
{
    std::string text = "Windows Registry Editor Version 5.00\n\n";
    for (int k = 0; k < keys; ++k)
        text += "[HKEY_CURRENT_USER\\Software\\Vendor" + std::to_string(k) + "\\Product]\n\"Count\"=dword:0000000" +
                std::to_string(k % 10) + "\n\"Name\"=\"value " + std::to_string(k) + "\"\n\n";
    return text;
}

std::string ManyValues(int values)
{
    std::string text = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Corvalen\\tesslow]\n";
    for (int v = 0; v < values; ++v) text += "\"Value" + std::to_string(v) + "\"=dword:00000001\n";
    return text;
}

void ReadStore(benchmark::State& state, std::string (*make)(int))
{
    const std::string text = make(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const RegDocument document = RegDocument::Parse(text);
        benchmark::DoNotOptimize(document.Keys().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void ReadManyKeys(benchmark::State& state) { ReadStore(state, ManyKeys); }
void ReadManyValues(benchmark::State& state) { ReadStore(state, ManyValues); }

BENCHMARK(ReadManyKeys)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadManyValues)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tesslow

BENCHMARK_MAIN();
