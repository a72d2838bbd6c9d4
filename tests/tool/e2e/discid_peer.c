/* The peer for the identifier lines: reads the drive given on the command
 * line with libdiscid and prints, in the lines of zemtra, its disc id and
 * lookup TOC (-mbid -mbtoc), with -submission those and its submission
 * address (-mbid -mbtoc -mburl), with -freedb its freedb id (-cdid), or
 * with -mcnisrc the catalog number in the line of zemtra -mcn and then,
 * for each track, its number and ISRC (or "-"). With -put FIRST LAST
 * LEADOUT OFFSET... instead of a drive it takes that TOC (frame addresses,
 * as discid_put does) and prints its id, lookup TOC and freedb id.
 * Prints nothing when libdiscid cannot read the disc. */
#include <discid/discid.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* printMcnIsrc prints what libdiscid read of the catalog number and the
 * ISRCs; libdiscid passes on a catalog number of zeros as it is. */
static void printMcnIsrc(DiscId* disc) {
    const char* mcn = discid_get_mcn(disc);
    int track;
    if (mcn != NULL && *mcn != '\0' && strspn(mcn, "0") != strlen(mcn)) {
        printf("MCN: %s\n", mcn);
    }
    for (track = discid_get_first_track_num(disc); track <= discid_get_last_track_num(disc);
         ++track) {
        const char* isrc = discid_get_track_isrc(disc, track);
        printf("%d %s\n", track, isrc != NULL && *isrc != '\0' ? isrc : "-");
    }
}

/* putToc prints the lines of the TOC given on the command line. */
static int putToc(int argc, char** argv) {
    int offsets[100] = {0};
    int first, last, i;
    DiscId* disc = discid_new();
    if (argc < 5 || argc > 104) {
        return 2;
    }
    first = atoi(argv[2]);
    last = atoi(argv[3]);
    for (i = 4; i < argc; ++i) {
        offsets[i - 4] = atoi(argv[i]);
    }
    if (discid_put(disc, first, last, offsets)) {
        printf("MBID: %s\nMBTOC: %s\nCDID: %s\n", discid_get_id(disc),
               discid_get_toc_string(disc), discid_get_freedb_id(disc));
    } else {
        fprintf(stderr, "discid_peer: %s\n", discid_get_error_msg(disc));
    }
    discid_free(disc);
    return 0;
}

int main(int argc, char** argv) {
    const int freedb = argc == 3 && strcmp(argv[2], "-freedb") == 0;
    const int mcnIsrc = argc == 3 && strcmp(argv[2], "-mcnisrc") == 0;
    const int submission = argc == 3 && strcmp(argv[2], "-submission") == 0;
    unsigned features = mcnIsrc ? DISCID_FEATURE_MCN | DISCID_FEATURE_ISRC : 0;
    DiscId* disc;
    if (argc > 1 && strcmp(argv[1], "-put") == 0) {
        return putToc(argc, argv);
    }
    if (argc != 2 && !freedb && !mcnIsrc && !submission) {
        fprintf(stderr, "usage: discid_peer <device> [-freedb | -mcnisrc | -submission]\n");
        return 2;
    }
    disc = discid_new();
    if (discid_read_sparse(disc, argv[1], features)) {
        if (freedb) {
            printf("CDID: %s\n", discid_get_freedb_id(disc));
        } else if (mcnIsrc) {
            printMcnIsrc(disc);
        } else {
            printf("MBID: %s\nMBTOC: %s\n", discid_get_id(disc), discid_get_toc_string(disc));
            if (submission) {
                printf("MBURL: %s\n", discid_get_submission_url(disc));
            }
        }
    } else {
        fprintf(stderr, "discid_peer: %s\n", discid_get_error_msg(disc));
    }
    discid_free(disc);
    return 0;
}
