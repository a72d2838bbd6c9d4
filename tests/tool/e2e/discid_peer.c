/* The peer for the MusicBrainz lines: reads the drive given on the command
 * line with libdiscid and prints its disc id and lookup TOC in the lines of
 * zemtra -mbid -mbtoc. Prints nothing when libdiscid cannot read the disc. */
#include <discid/discid.h>
#include <stdio.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: discid_peer <device>\n");
        return 2;
    }
    DiscId* disc = discid_new();
    if (discid_read_sparse(disc, argv[1], 0)) {
        printf("MBID: %s\nMBTOC: %s\n", discid_get_id(disc), discid_get_toc_string(disc));
    } else {
        fprintf(stderr, "discid_peer: %s\n", discid_get_error_msg(disc));
    }
    discid_free(disc);
    return 0;
}
