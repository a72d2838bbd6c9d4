// Verifying an image: a 74-minute single-file WAVE image (783 MB, written
// to a temporary folder by the first benchmark that needs it and so in the
// page cache) checked as "zemtra <cue> -arcrc" checks it, against reading
// the same file and summing its bytes; and a FLAC image's check against
// decoding it alone. The argument is the image's audio in seconds, from
// which scripts/bench prints each rate as times real time.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "image/disc_image.h"
#include "image/image_sector_read.h"
#include "stream/file_stream.h"
#include "verify/disc_verification.h"

#if defined(KWCORE_BENCH_FLAC)
#include <FLAC/stream_encoder.h>
#endif

namespace {

constexpr int kWavSeconds = 74 * 60;
constexpr int kFlacSeconds = 10 * 60;
constexpr int kTracks = 20;

// Folder is the temporary folder of the benchmark's files, removed at exit.
struct Folder {
    Folder()
        : path(std::filesystem::temp_directory_path() /
               ("zemtra-image-bench-" + std::to_string(reinterpret_cast<uintptr_t>(this)))) {
        std::filesystem::create_directories(path);
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path path;
};

Folder& folder() {
    static Folder instance;
    return instance;
}

// sampleAt is sample i of a signal that compresses as music does: two tones
// and a little noise on each side.
uint32_t sampleAt(int64_t i, uint32_t& noise) {
    noise = noise * 1664525 + 1013904223;
    const double t = static_cast<double>(i) / 44100.0;
    const auto left = static_cast<int16_t>(9000 * std::sin(2 * std::numbers::pi * 440 * t) +
                                           4000 * std::sin(2 * std::numbers::pi * 1234.5 * t) +
                                           static_cast<int16_t>(noise >> 16) / 64);
    const auto right = static_cast<int16_t>(8000 * std::sin(2 * std::numbers::pi * 330 * t) +
                                            static_cast<int16_t>(noise) / 64);
    return static_cast<uint16_t>(left) | uint32_t{static_cast<uint16_t>(right)} << 16;
}

void putLe(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>(value >> (8 * i)));
    }
}

void writeText(const std::filesystem::path& path, const std::string& text) {
    kwCore::FileStream file;
    file.open(path.string().c_str(), true, false, 0);
    file.write(text.data(), static_cast<int64_t>(text.size()));
}

// writeSheet writes a sheet of kTracks equal tracks in the one file named.
std::string writeSheet(const std::string& name, const std::string& audioFile, int seconds) {
    std::string sheet = "FILE \"" + audioFile + "\" WAVE\n";
    const int32_t length = seconds * 75 / kTracks;
    for (int t = 0; t < kTracks; ++t) {
        const int32_t at = t * length;
        char line[80];
        std::snprintf(line, sizeof line, "  TRACK %02d AUDIO\n    INDEX 01 %02d:%02d:%02d\n", t + 1,
                      at / 4500, at / 75 % 60, at % 75);
        sheet += line;
    }
    const std::filesystem::path path = folder().path / name;
    writeText(path, sheet);
    return path.string();
}

// wavImage returns the sheet of the 74-minute WAVE image, written once.
const std::string& wavImage() {
    static const std::string sheet = [] {
        const int64_t samples = int64_t{kWavSeconds} * 44100;
        std::string header = "RIFF";
        putLe(header, static_cast<uint32_t>(36 + samples * 4), 4);
        header += "WAVEfmt ";
        putLe(header, 16, 4);
        putLe(header, 1, 2);
        putLe(header, 2, 2);
        putLe(header, 44100, 4);
        putLe(header, 176400, 4);
        putLe(header, 4, 2);
        putLe(header, 16, 2);
        header += "data";
        putLe(header, static_cast<uint32_t>(samples * 4), 4);
        kwCore::FileStream file;
        file.open((folder().path / "long.wav").string().c_str(), true, false, 0);
        file.write(header.data(), static_cast<int64_t>(header.size()));
        // Noise: its content costs a check nothing more than music would.
        std::vector<uint32_t> piece(1 << 18);
        uint32_t noise = 1;
        for (int64_t at = 0; at < samples;) {
            const int64_t n = std::min<int64_t>(static_cast<int64_t>(piece.size()), samples - at);
            for (int64_t i = 0; i < n; ++i) {
                noise = noise * 1664525 + 1013904223;
                piece[static_cast<size_t>(i)] = noise;
            }
            file.write(piece.data(), n * 4);
            at += n;
        }
        return writeSheet("long.cue", "long.wav", kWavSeconds);
    }();
    return sheet;
}

// verifyImage checks every track of the image at sheet as -arcrc does.
void verifyImage(benchmark::State& state, const std::string& sheet) {
    for (auto _ : state) {
        zemtra::DiscImage image;
        std::string message;
        if (!image.open(sheet, message)) {
            state.SkipWithError(message.c_str());
            break;
        }
        zemtra::DiscInfo info;
        zemtra::DiscData data;
        image.describe(info, data, zemtra::DiscDataRequest{});
        zemtra::AudioLayout layout;
        zemtra::findAudioLayout(info.toc, layout);
        std::string failure;
        const zemtra::VerifyResult result = zemtra::verifyDisc(
            layout, zemtra::VerifyRequest{}, zemtra::imageSectorRead(image, failure));
        benchmark::DoNotOptimize(result.tracks.back().values.crc32);
    }
}

void verifyWav(benchmark::State& state) {
    verifyImage(state, wavImage());
}

// readAndSum reads the WAVE file in 1 MiB pieces and sums its bytes.
void readAndSum(benchmark::State& state) {
    wavImage();
    const std::string path = (folder().path / "long.wav").string();
    std::vector<uint8_t> piece(1 << 20);
    for (auto _ : state) {
        kwCore::FileStream file;
        file.open(path.c_str(), false, false, 1);
        uint64_t sum = 0;
        for (int64_t got;
             (got = file.read(piece.data(), static_cast<int64_t>(piece.size()))) > 0;) {
            for (int64_t i = 0; i < got; ++i) {
                sum += piece[static_cast<size_t>(i)];
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}

}  // namespace

BENCHMARK(verifyWav)
    ->Name("BM_ImageWav/verify")
    ->Arg(kWavSeconds)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(readAndSum)
    ->Name("BM_ImageWav/readAndSum")
    ->Arg(kWavSeconds)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

#if defined(KWCORE_BENCH_FLAC)
namespace {

// flacImage returns the sheet of a ten-minute FLAC image, encoded once at
// libFLAC's default level.
const std::string& flacImage() {
    static const std::string sheet = [] {
        FLAC__StreamEncoder* encoder = FLAC__stream_encoder_new();
        FLAC__stream_encoder_set_channels(encoder, 2);
        FLAC__stream_encoder_set_bits_per_sample(encoder, 16);
        FLAC__stream_encoder_set_sample_rate(encoder, 44100);
        FLAC__stream_encoder_set_compression_level(encoder, 5);
        const int64_t samples = int64_t{kFlacSeconds} * 44100;
        FLAC__stream_encoder_set_total_samples_estimate(encoder,
                                                        static_cast<FLAC__uint64>(samples));
        FLAC__stream_encoder_init_file(encoder, (folder().path / "long.flac").string().c_str(),
                                       nullptr, nullptr);
        std::vector<FLAC__int32> piece(2 * 4096);
        uint32_t noise = 1;
        for (int64_t at = 0; at < samples;) {
            const int64_t n = std::min<int64_t>(4096, samples - at);
            for (int64_t i = 0; i < n; ++i) {
                const uint32_t s = sampleAt(at + i, noise);
                piece[static_cast<size_t>(2 * i)] = static_cast<int16_t>(s);
                piece[static_cast<size_t>(2 * i + 1)] = static_cast<int16_t>(s >> 16);
            }
            FLAC__stream_encoder_process_interleaved(encoder, piece.data(),
                                                     static_cast<unsigned>(n));
            at += n;
        }
        FLAC__stream_encoder_finish(encoder);
        FLAC__stream_encoder_delete(encoder);
        return writeSheet("long-flac.cue", "long.flac", kFlacSeconds);
    }();
    return sheet;
}

void verifyFlac(benchmark::State& state) {
    verifyImage(state, flacImage());
}

// decodeFlac reads every sector of the FLAC image, in the pieces a check
// reads, and does nothing else with them.
void decodeFlac(benchmark::State& state) {
    const std::string& sheet = flacImage();
    std::vector<uint8_t> piece(zemtra::kSectorsPerRead * zemtra::kSectorBytes);
    for (auto _ : state) {
        zemtra::DiscImage image;
        std::string message;
        if (!image.open(sheet, message)) {
            state.SkipWithError(message.c_str());
            break;
        }
        for (int32_t lba = 0; lba < image.leadOut(); lba += zemtra::kSectorsPerRead) {
            const int32_t count = std::min(zemtra::kSectorsPerRead, image.leadOut() - lba);
            image.readSectors(lba, count, piece.data(), message);
        }
        benchmark::DoNotOptimize(piece.data());
    }
}

}  // namespace

BENCHMARK(verifyFlac)
    ->Name("BM_ImageFlac/verify")
    ->Arg(kFlacSeconds)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(decodeFlac)
    ->Name("BM_ImageFlac/decode")
    ->Arg(kFlacSeconds)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
#endif
