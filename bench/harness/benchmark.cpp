// The runner of the stand-in benchmark library: finds how many iterations
// fill the minimum time, runs the repetitions (in random order when asked),
// prints one line per run and writes the JSON results.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "benchmark/benchmark.h"

namespace benchmark {

namespace {

int64_t nowNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::vector<std::unique_ptr<internal::Benchmark>>& families() {
    static std::vector<std::unique_ptr<internal::Benchmark>> all;
    return all;
}

struct Options {
    double minTime = 0.5;
    int repetitions = 1;
    bool aggregatesOnly = false;
    bool interleave = false;
    std::string filter = ".";
    std::string out;
};

// Instance is one family with one argument list; its runs are the
// per-iteration times of its repetitions, in nanoseconds.
struct Instance {
    const internal::Benchmark* family = nullptr;
    size_t familyIndex = 0;
    size_t instanceIndex = 0;
    std::vector<int64_t> arguments;
    std::string name;
    int64_t iterations = 0;
    std::vector<double> runs;
    std::string error;
};

std::string nameOf(const internal::Benchmark& family, const std::vector<int64_t>& arguments) {
    std::string name = family.name();
    for (const int64_t argument : arguments) {
        name += "/" + std::to_string(argument);
    }
    if (family.processTime()) {
        name += "/process_time";
    }
    if (family.realTime()) {
        name += "/real_time";
    }
    return name;
}

// runOnce runs instance for iterations turns and returns the seconds taken.
double runOnce(Instance& instance, int64_t iterations, State* last = nullptr) {
    State state(instance.arguments, iterations);
    instance.family->run(state);
    if (!state.error().empty()) {
        instance.error = state.error();
    }
    if (last != nullptr) {
        *last = state;
    }
    return state.seconds();
}

// calibrate finds the iterations that take at least minTime, growing them
// tenfold at most per trial, as Google Benchmark does.
int64_t calibrate(Instance& instance, double minTime) {
    int64_t iterations = 1;
    for (;;) {
        const double seconds = runOnce(instance, iterations);
        if (!instance.error.empty() || seconds >= minTime || iterations >= 1'000'000'000) {
            return iterations;
        }
        const double factor = seconds <= minTime / 10 ? 10.0 : 1.4 * minTime / seconds;
        iterations = std::max(iterations + 1, static_cast<int64_t>(iterations * factor));
    }
}

const char* unitName(TimeUnit unit) {
    switch (unit) {
        case kNanosecond:
            return "ns";
        case kMicrosecond:
            return "us";
        case kMillisecond:
            return "ms";
        case kSecond:
            return "s";
    }
    return "ns";
}

double perUnit(TimeUnit unit) {
    switch (unit) {
        case kNanosecond:
            return 1;
        case kMicrosecond:
            return 1e3;
        case kMillisecond:
            return 1e6;
        case kSecond:
            return 1e9;
    }
    return 1;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string jsonString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

void writeRun(std::ofstream& out, bool& first, const Instance& instance, const char* runType,
              const char* aggregate, double nanoseconds) {
    const double time = nanoseconds / perUnit(instance.family->unit());
    out << (first ? "\n" : ",\n") << "    {\"name\": "
        << jsonString(instance.name + (aggregate[0] ? std::string("_") + aggregate : ""))
        << ", \"family_index\": " << instance.familyIndex
        << ", \"per_family_instance_index\": " << instance.instanceIndex
        << ", \"run_name\": " << jsonString(instance.name) << ", \"run_type\": \"" << runType
        << "\"";
    if (aggregate[0]) {
        out << ", \"aggregate_name\": \"" << aggregate << "\"";
    }
    out << ", \"repetitions\": " << instance.runs.size()
        << ", \"iterations\": " << instance.iterations << ", \"real_time\": " << time
        << ", \"cpu_time\": " << time << ", \"time_unit\": \"" << unitName(instance.family->unit())
        << "\"}";
    first = false;
}

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&](const char* flag) -> const char* {
            const size_t n = std::strlen(flag);
            return arg.compare(0, n, flag) == 0 ? argv[i] + n : nullptr;
        };
        if (const char* v = value("--benchmark_min_time=")) {
            options.minTime = std::atof(v);
        } else if (const char* v = value("--benchmark_repetitions=")) {
            options.repetitions = std::max(1, std::atoi(v));
        } else if (const char* v = value("--benchmark_report_aggregates_only=")) {
            options.aggregatesOnly = std::strcmp(v, "true") == 0;
        } else if (value("--benchmark_display_aggregates_only=") != nullptr) {
            // Every run is printed and written either way.
        } else if (const char* v = value("--benchmark_enable_random_interleaving=")) {
            options.interleave = std::strcmp(v, "true") == 0;
        } else if (const char* v = value("--benchmark_filter=")) {
            options.filter = v;
        } else if (const char* v = value("--benchmark_out=")) {
            options.out = v;
        } else if (value("--benchmark_out_format=") != nullptr) {
            // JSON is the only format written.
        } else {
            std::fprintf(stderr, "unknown argument: %s\n", argv[i]);
            return false;
        }
    }
    return true;
}

}  // namespace

void State::stopClock() {
    if (running_) {
        seconds_ = static_cast<double>(nowNanoseconds() - startNanoseconds_) * 1e-9;
        running_ = false;
    }
}

State::Iterator State::begin() {
    remaining_ = error_.empty() ? iterations_ : 0;
    running_ = true;
    startNanoseconds_ = nowNanoseconds();
    return Iterator(this);
}

internal::Benchmark* internal::registerBenchmark(const char* name, void (*function)(State&)) {
    families().push_back(std::make_unique<Benchmark>(name, function));
    return families().back().get();
}

}  // namespace benchmark

int main(int argc, char** argv) {
    using namespace benchmark;
    Options options;
    if (!parse(argc, argv, options)) {
        return 1;
    }
    const std::regex filter(options.filter);
    std::vector<Instance> instances;
    for (size_t f = 0; f < families().size(); ++f) {
        const internal::Benchmark& family = *families()[f];
        std::vector<std::vector<int64_t>> lists = family.arguments();
        if (lists.empty()) {
            lists.push_back({});
        }
        for (size_t a = 0; a < lists.size(); ++a) {
            Instance instance;
            instance.family = &family;
            instance.familyIndex = f;
            instance.instanceIndex = a;
            instance.arguments = lists[a];
            instance.name = nameOf(family, lists[a]);
            if (std::regex_search(instance.name, filter)) {
                instances.push_back(std::move(instance));
            }
        }
    }

    // Every repetition is one turn; interleaved, the turns are shuffled, so
    // a slow spell of the machine falls on different benchmarks.
    std::vector<size_t> turns;
    for (size_t i = 0; i < instances.size(); ++i) {
        turns.insert(turns.end(), static_cast<size_t>(options.repetitions), i);
    }
    if (options.interleave) {
        std::shuffle(turns.begin(), turns.end(), std::mt19937(std::random_device()()));
    }
    // Interleaved repetitions are shorter, as Google Benchmark makes them.
    const double minTime =
        options.interleave ? options.minTime / options.repetitions * 2 : options.minTime;
    for (const size_t i : turns) {
        Instance& instance = instances[i];
        if (instance.iterations == 0) {
            instance.iterations = calibrate(instance, std::min(minTime, options.minTime));
        }
        if (!instance.error.empty()) {
            continue;
        }
        State last({}, 0);
        const double seconds = runOnce(instance, instance.iterations, &last);
        const double nanoseconds = seconds * 1e9 / static_cast<double>(instance.iterations);
        instance.runs.push_back(nanoseconds);
        const double unit = perUnit(instance.family->unit());
        std::printf("%-50s %14.2f %s %12lld", instance.name.c_str(), nanoseconds / unit,
                    unitName(instance.family->unit()), static_cast<long long>(instance.iterations));
        if (last.bytes() > 0) {
            std::printf(" bytes_per_second=%.4gG/s",
                        static_cast<double>(last.bytes()) / seconds / 1e9);
        }
        std::printf("\n");
        std::fflush(stdout);
    }

    if (!options.out.empty()) {
        std::ofstream out(options.out);
        out << "{\n  \"context\": {\"library_build_type\": \"release\"},\n  \"benchmarks\": [";
        bool first = true;
        for (const Instance& instance : instances) {
            if (!instance.error.empty()) {
                std::fprintf(stderr, "%s: %s\n", instance.name.c_str(), instance.error.c_str());
                continue;
            }
            if (!options.aggregatesOnly || instance.runs.size() == 1) {
                for (const double run : instance.runs) {
                    writeRun(out, first, instance, "iteration", "", run);
                }
            }
            if (instance.runs.size() > 1) {
                writeRun(out, first, instance, "aggregate", "median", median(instance.runs));
            }
        }
        out << "\n  ]\n}\n";
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", options.out.c_str());
            return 1;
        }
    }
    return 0;
}
