// The string operations the tool leans on against their standard-library
// counterparts: copying a 64-character string, and formatting a time value.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "text/shared_string.h"
#include "text/string_format.h"

namespace {

const char kText64[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ+-";
static_assert(sizeof(kText64) == 65);

void copySharedString(benchmark::State& state) {
    const kwCore::SharedString original(kText64);
    for (auto _ : state) {
        kwCore::SharedString copy(original);
        benchmark::DoNotOptimize(copy);
    }
}

void copyStdString(benchmark::State& state) {
    const std::string original(kText64);
    for (auto _ : state) {
        std::string copy(original);
        benchmark::DoNotOptimize(copy);
    }
}

void formatSharedString(benchmark::State& state) {
    int minutes = 1;
    int seconds = 2;
    int frames = 3;
    for (auto _ : state) {
        benchmark::DoNotOptimize(minutes);
        kwCore::SharedString text = kwCore::format("%03d:%02d:%02d ", minutes, seconds, frames);
        benchmark::DoNotOptimize(text);
    }
}

// snprintfStdString formats into a std::string with the same 256-byte first
// attempt that format makes, then cuts it to the formatted length.
void snprintfStdString(benchmark::State& state) {
    int minutes = 1;
    int seconds = 2;
    int frames = 3;
    for (auto _ : state) {
        benchmark::DoNotOptimize(minutes);
        std::string text(256, '\0');
        const int n =
            std::snprintf(text.data(), text.size(), "%03d:%02d:%02d ", minutes, seconds, frames);
        text.resize(n > 0 ? static_cast<size_t>(n) : 0);
        benchmark::DoNotOptimize(text);
    }
}

}  // namespace

BENCHMARK(copySharedString)->Name("BM_StringCopy/SharedString");
BENCHMARK(copyStdString)->Name("BM_StringCopy/std::string");
BENCHMARK(formatSharedString)->Name("BM_Format/format");
BENCHMARK(snprintfStdString)->Name("BM_Format/snprintf");
