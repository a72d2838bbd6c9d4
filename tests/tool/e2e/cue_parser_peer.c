/* The cue sheet peer: parses the sheet named on the command line with
 * libcue and prints what it holds, one value a line, in the form the cue
 * probe prints zemtra's reading in: the catalog number, the album's texts,
 * then per track its file, mode, flags, PREGAP and POSTGAP, ISRC, indexes
 * (frames from the file's start) and texts. Exit status 1 when libcue
 * refuses the sheet. */
#include <libcue.h>
#include <stdio.h>

static const char* const fieldNames[] = {"title", "performer", "songwriter",
                                         "composer", "arranger", "message"};

static void printTexts(int track, const Cdtext* text) {
    int field;
    for (field = 0; field < 6 && text != NULL; ++field) {
        const char* value = cdtext_get((enum Pti)(PTI_TITLE + field), text);
        if (value != NULL) {
            printf("text %d %s %s\n", track, fieldNames[field], value);
        }
    }
}

static const char* modeName(enum TrackMode mode) {
    switch (mode) {
    case MODE_AUDIO: return "AUDIO";
    case MODE_MODE1_RAW: return "MODE1/2352";
    case MODE_MODE2_RAW: return "MODE2/2352";
    default: return "other";
    }
}

int main(int argc, char** argv) {
    FILE* file;
    Cd* cd;
    int k;
    if (argc != 2 || (file = fopen(argv[1], "rb")) == NULL) {
        fprintf(stderr, "usage: cue_peer <sheet>\n");
        return 2;
    }
    cd = cue_parse_file(file);
    fclose(file);
    if (cd == NULL) {
        printf("refused\n");
        return 1;
    }
    /* libcue keeps the catalog number among the album's texts. */
    if (cd_get_cdtext(cd) != NULL && cdtext_get(PTI_UPC_ISRC, cd_get_cdtext(cd)) != NULL) {
        printf("catalog %s\n", cdtext_get(PTI_UPC_ISRC, cd_get_cdtext(cd)));
    }
    printTexts(0, cd_get_cdtext(cd));
    for (k = 1; k <= cd_get_ntrack(cd); ++k) {
        const Track* track = cd_get_track(cd, k);
        int index;
        printf("track %d file %s mode %s flags %d pregap %ld postgap %ld isrc %s\n", k,
               track_get_filename(track), modeName(track_get_mode(track)),
               (track_is_set_flag(track, FLAG_PRE_EMPHASIS) ? 1 : 0) |
                   (track_is_set_flag(track, FLAG_COPY_PERMITTED) ? 2 : 0) |
                   (track_is_set_flag(track, FLAG_FOUR_CHANNEL) ? 8 : 0),
               track_get_zero_pre(track), track_get_zero_post(track),
               track_get_isrc(track) != NULL ? track_get_isrc(track) : "-");
        for (index = 0; index < 100; ++index) {
            const long at = track_get_index(track, index);
            if (at >= 0) {
                printf("index %d %d %ld\n", k, index, at);
            }
        }
        printTexts(k, track_get_cdtext(track));
    }
    cd_delete(cd);
    return 0;
}
