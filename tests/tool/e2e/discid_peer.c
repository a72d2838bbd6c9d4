/* The peer for the identifier lines: reads the drive given on the command
 * line with libdiscid and prints, in the lines of zemtra, its disc id and
 * lookup TOC (-mbid -mbtoc), with -submission those and its submission
 * address (-mbid -mbtoc -mburl), or with -freedb its freedb id (-cdid).
 * Prints nothing when libdiscid cannot read the disc. */
#include <discid/discid.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv) {
    const int freedb = argc == 3 && strcmp(argv[2], "-freedb") == 0;
    const int submission = argc == 3 && strcmp(argv[2], "-submission") == 0;
    if (argc != 2 && !freedb && !submission) {
        fprintf(stderr, "usage: discid_peer <device> [-freedb | -submission]\n");
        return 2;
    }
    DiscId* disc = discid_new();
    if (discid_read_sparse(disc, argv[1], 0)) {
        if (freedb) {
            printf("CDID: %s\n", discid_get_freedb_id(disc));
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
