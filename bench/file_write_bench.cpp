// Writing 64 MiB to a new file in 16-byte pieces: BufferedFileStream with a
// 64 KiB block against stdio's fwrite with its default buffer and against
// the unbuffered FileStream. Each iteration creates the file, writes it and
// closes it; the wall clock counts, since most of the time is the system's.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "stream/buffered_file_stream.h"
#include "stream/file_stream.h"

namespace {

constexpr int64_t kFileSize = int64_t{64} << 20;
constexpr int32_t kBlock = 64 * 1024;

const std::string& benchFile() {
    static const std::string name =
        (std::filesystem::temp_directory_path() / "kwcore-bench-file-write.bin").string();
    return name;
}

// source is what the pieces are cut from: a small buffer that stays cached.
const unsigned char* source() {
    static unsigned char bytes[4096];
    for (size_t i = 0; i < sizeof bytes; ++i) {
        bytes[i] = static_cast<unsigned char>(i * 13);
    }
    return bytes;
}

template <class Writer>
void writeFile(benchmark::State& state) {
    const auto piece = static_cast<int64_t>(state.range(0));
    const unsigned char* bytes = source();
    for (auto _ : state) {
        Writer writer;
        if (!writer.open(benchFile().c_str())) {
            state.SkipWithError("the file does not open");
            break;
        }
        for (int64_t at = 0; at < kFileSize; at += piece) {
            writer.write(bytes + (at & 4095 & ~(piece - 1)), piece);
        }
        writer.close();
    }
    std::filesystem::remove(benchFile());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kFileSize);
}

struct Buffered {
    kwCore::BufferedFileStream stream{kBlock};
    bool open(const char* name) { return stream.open(name, true, false); }
    void write(const void* data, int64_t count) { stream.write(data, count); }
    void close() { stream.close(); }
};

struct Stdio {
    std::FILE* file = nullptr;
    bool open(const char* name) { return (file = std::fopen(name, "wb")) != nullptr; }
    void write(const void* data, int64_t count) {
        std::fwrite(data, 1, static_cast<size_t>(count), file);
    }
    void close() { std::fclose(file); }
};

struct Unbuffered {
    kwCore::FileStream stream;
    bool open(const char* name) { return stream.open(name, true, false, 0); }
    void write(const void* data, int64_t count) { stream.write(data, count); }
    void close() { stream.close(); }
};

}  // namespace

BENCHMARK(writeFile<Buffered>)->Name("BM_FileWrite/BufferedFileStream")->Arg(16)->UseRealTime();
BENCHMARK(writeFile<Stdio>)->Name("BM_FileWrite/fwrite")->Arg(16)->UseRealTime();
BENCHMARK(writeFile<Unbuffered>)->Name("BM_FileWrite/FileStream")->Arg(16)->UseRealTime();
