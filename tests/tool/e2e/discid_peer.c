/* The peer for the identifier lines: reads the drive given on the command
 * line with libdiscid and prints its disc id and lookup TOC in the lines of
 * zemtra -mbid -mbtoc, or with -freedb its freedb id in the line of
 * zemtra -cdid. Prints nothing when libdiscid cannot read the disc. */
#include <discid/discid.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv) {
    const int freedb = argc == 3 && strcmp(argv[2], "-freedb") == 0;
    if (argc != 2 && !freedb) {
        fprintf(stderr, "usage: discid_peer <device> [-freedb]\n");
        return 2;
    }
    DiscId* disc = discid_new();
    if (discid_read_sparse(disc, argv[1], 0)) {
        if (freedb) {
            printf("CDID: %s\n", discid_get_freedb_id(disc));
        } else {
            printf("MBID: %s\nMBTOC: %s\n", discid_get_id(disc), discid_get_toc_string(disc));
        }
    } else {
        fprintf(stderr, "discid_peer: %s\n", discid_get_error_msg(disc));
    }
    discid_free(disc);
    return 0;
}
