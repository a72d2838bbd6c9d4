/* Encodes raw CD audio (16-bit little-endian stereo at 44,100 Hz, read from
 * the file named first) into the FLAC file named second with libFLAC, for
 * the image tests. */
#include <FLAC/stream_encoder.h>
#include <stdio.h>

int main(int argc, char** argv) {
    FILE* in;
    FLAC__StreamEncoder* encoder;
    unsigned char bytes[4096 * 4];
    FLAC__int32 samples[4096 * 2];
    size_t got;
    long total;
    int ok;
    if (argc != 3 || (in = fopen(argv[1], "rb")) == NULL) {
        fprintf(stderr, "usage: flac_encode <raw> <flac>\n");
        return 2;
    }
    fseek(in, 0, SEEK_END);
    total = ftell(in) / 4;
    fseek(in, 0, SEEK_SET);
    encoder = FLAC__stream_encoder_new();
    FLAC__stream_encoder_set_channels(encoder, 2);
    FLAC__stream_encoder_set_bits_per_sample(encoder, 16);
    FLAC__stream_encoder_set_sample_rate(encoder, 44100);
    FLAC__stream_encoder_set_compression_level(encoder, 1);
    FLAC__stream_encoder_set_total_samples_estimate(encoder, (FLAC__uint64)total);
    ok = FLAC__stream_encoder_init_file(encoder, argv[2], NULL, NULL) ==
         FLAC__STREAM_ENCODER_INIT_STATUS_OK;
    while (ok && (got = fread(bytes, 4, 4096, in)) > 0) {
        size_t i;
        for (i = 0; i < got * 2; ++i) {
            samples[i] = (FLAC__int16)(bytes[2 * i] | bytes[2 * i + 1] << 8);
        }
        ok = FLAC__stream_encoder_process_interleaved(encoder, samples, (unsigned)got);
    }
    ok = FLAC__stream_encoder_finish(encoder) && ok;
    FLAC__stream_encoder_delete(encoder);
    fclose(in);
    return ok ? 0 : 1;
}
