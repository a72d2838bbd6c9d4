/* The peer for the cue sheets: libcue reads a sheet from standard input
 * and prints what it took from it, one item a line:
 *   catalog <digits>
 *   album <field> <text>            field 0 title ... 5 message
 *   track <n> <file>               n counts the sheet's tracks from 1
 *   index <i> <frames>             each index libcue holds (0 to 99)
 *   pregap <frames>                a PREGAP line's length
 *   isrc <code>
 *   flags <dcp> <4ch> <pre>
 *   text <field> <text>
 * Exit status 1 when libcue rejects the sheet.
 * Usage: cue_peer < sheet */
#include <libcue.h>
#include <stdio.h>
#include <stdlib.h>

static const enum Pti fields[] = {PTI_TITLE,    PTI_PERFORMER, PTI_SONGWRITER,
                                  PTI_COMPOSER, PTI_ARRANGER,  PTI_MESSAGE};

static void printTexts(const char* kind, Cdtext* cdtext) {
    for (int f = 0; f < 6 && cdtext != NULL; ++f) {
        const char* text = cdtext_get(fields[f], cdtext);
        if (text != NULL && *text != '\0') {
            printf("%s %d %s\n", kind, f, text);
        }
    }
}

int main(void) {
    static char sheet[1 << 20];
    const size_t size = fread(sheet, 1, sizeof sheet - 1, stdin);
    sheet[size] = '\0';
    Cd* cd = cue_parse_string(sheet);
    if (cd == NULL) {
        return 1;
    }
    Cdtext* album = cd_get_cdtext(cd);
    const char* catalog = album != NULL ? cdtext_get(PTI_UPC_ISRC, album) : NULL;
    if (catalog != NULL && *catalog != '\0') {
        printf("catalog %s\n", catalog);
    }
    printTexts("album", album);
    for (int t = 1; t <= cd_get_ntrack(cd); ++t) {
        const Track* track = cd_get_track(cd, t);
        const char* file = track_get_filename(track);
        printf("track %d %s\n", t, file != NULL ? file : "-");
        for (int i = 0; i < 100; ++i) {
            const long index = track_get_index(track, i);
            if (index >= 0) {
                printf("index %d %ld\n", i, index);
            }
        }
        if (track_get_zero_pre(track) > 0) {
            printf("pregap %ld\n", track_get_zero_pre(track));
        }
        const char* isrc = track_get_isrc(track);
        if (isrc != NULL && *isrc != '\0') {
            printf("isrc %s\n", isrc);
        }
        printf("flags %d %d %d\n", track_is_set_flag(track, FLAG_COPY_PERMITTED) != 0,
               track_is_set_flag(track, FLAG_FOUR_CHANNEL) != 0,
               track_is_set_flag(track, FLAG_PRE_EMPHASIS) != 0);
        printTexts("text", track_get_cdtext(track));
    }
    cd_delete(cd);
    return 0;
}
