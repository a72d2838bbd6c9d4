/* The peer for the CD-TEXT lines: libcdio's CD-TEXT parser given a file of
 * packs (18 bytes each, without the 4-byte header) prints block 0's text in
 * the lines of zemtra -cdtext for the album and the tracks first to last,
 * each control byte as "?".
 * Usage: cdtext_peer <packs file> <first track> <last track> */
#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <cdio/logging.h>
#include <stdio.h>
#include <stdlib.h>

static const char* const fieldNames[] = {"title",    "performer", "songwriter",
                                         "composer", "arranger",  "message"};
/* libcdio's fields in the order of the report. */
static const cdtext_field_t fields[] = {CDTEXT_FIELD_TITLE,      CDTEXT_FIELD_PERFORMER,
                                        CDTEXT_FIELD_SONGWRITER, CDTEXT_FIELD_COMPOSER,
                                        CDTEXT_FIELD_ARRANGER,   CDTEXT_FIELD_MESSAGE};

static void printText(const char* text) {
    for (; *text != '\0'; ++text) {
        const unsigned char c = (unsigned char)*text;
        putchar(c < 0x20 || c == 0x7F ? '?' : c);
    }
}

static void printTrack(cdtext_t* cdtext, int track) {
    int f;
    for (f = 0; f < 6; ++f) {
        const char* text = cdtext_get_const(cdtext, fields[f], (track_t)track);
        if (text == NULL || *text == '\0') {
            continue;
        }
        if (track == 0) {
            printf("Album %s: ", fieldNames[f]);
        } else {
            printf("Track %d %s: ", track, fieldNames[f]);
        }
        printText(text);
        printf("\n");
    }
}

int main(int argc, char** argv) {
    static uint8_t packs[65536];
    FILE* file;
    size_t size;
    cdtext_t* cdtext;
    int track;
    if (argc != 4 || (file = fopen(argv[1], "rb")) == NULL) {
        fprintf(stderr, "usage: cdtext_peer <packs file> <first track> <last track>\n");
        return 2;
    }
    size = fread(packs, 1, sizeof packs, file);
    fclose(file);
    cdio_loglevel_default = CDIO_LOG_ERROR;
    cdtext = cdtext_init();
    if (size > 0 && cdtext_data_init(cdtext, packs, size) == 0 &&
        cdtext_set_language_index(cdtext, 0)) {
        printTrack(cdtext, 0);
        for (track = atoi(argv[2]); track <= atoi(argv[3]); ++track) {
            printTrack(cdtext, track);
        }
    }
    cdtext_destroy(cdtext);
    return 0;
}
