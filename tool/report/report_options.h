#pragma once

#include "disc/disc_data.h"
#include "report/time_format.h"
#include "text/shared_string.h"

namespace zemtra {

// ReportOptions holds the drive and the switches given on the command line.
struct ReportOptions {
    kwCore::SharedString drive;  // the last argument that is not a switch
    bool toc = false;            // -toc: print the per-track table
    bool tocStart = false;       // -tocstart: column with the track's start
    bool tocLength = false;      // -toclength: column with the track's length
    bool tocEnd = false;         // -tocend: column with the track's end
    bool tocCtrl = false;        // -tocctrl: column with the control nibble
    bool tocIdx = false;         // -tocidx: column with the TOC's track number
    bool cdid = false;           // -cdid: print the disc identifier
    bool mbid = false;           // -mbid: print the MusicBrainz disc id
    bool mbtoc = false;          // -mbtoc: print the MusicBrainz lookup TOC
    bool mbUrl = false;          // -mburl: print the MusicBrainz submission address
    bool mbWs = false;           // -mbws: print the MusicBrainz web-service lookup
    bool arid = false;           // -arid: print the AccurateRip disc id
    bool arUrl = false;          // -arurl: print the AccurateRip record's address
    bool cddb = false;           // -cddb: print the CDDB query
    bool length = false;         // -length: print the disc's length
    bool tracks = false;         // -tracks: print the track count
    TimeFormat timeFormat;       // -msf (always on), -secs, -frames
    bool mcn = false;            // -mcn: print the media catalog number
    bool tocIsrc = false;        // -tocisrc: column with the track's ISRC
    bool cdText = false;         // -cdtext: print the CD-TEXT lines
    bool tocPregap = false;      // -tocpregap: column with the track's pregap
    bool tocIndex = false;       // -tocindex: column with the track's further indexes
    bool cue = false;            // -cue: print the cue sheet of a single-file image, alone
    bool cueTracks = false;      // -cuetracks: print the cue sheet of one file per track, alone
    bool json = false;           // -json: the whole report as one JSON document
    bool ctdbId = false;         // -ctdbid: print the CUETools database TOC id
    bool arCrc = false;          // -arcrc: read the audio, print each track's checksums
    int offset = 0;              // -offset=N: the drive's read offset in samples
    bool offsetGiven = false;    // -offset=N was given (0 too)
    kwCore::SharedString arDb;   // -ardb=FILE: the disc's AccurateRip record
    bool findOffset = false;     // -findoffset: find the read offset from the record

    // take applies one command-line argument: an empty one is skipped, one
    // that begins with "-" must name a switch of the switch table
    // (report_switches.h), any other becomes the drive. Returns false for an
    // unknown switch or a value its switch does not take.
    bool take(const kwCore::SharedString& argument);

    // readsAudio tells whether the report reads the disc's audio: -arcrc,
    // -ardb= and -findoffset.
    bool readsAudio() const noexcept { return arCrc || !arDb.isEmpty() || findOffset; }

    // normaliseDrive appends ":" to a one-character drive (D becomes D:).
    void normaliseDrive();

    // applyDefaultColumns turns on the start and length columns when the
    // table is asked for without any of the start, length and end columns
    // (the other columns do not count).
    void applyDefaultColumns();

    // dataRequest returns what the report needs from the disc besides its
    // TOC: the catalog number for -mcn, the ISRCs for -tocisrc, the gaps for
    // -tocpregap or -tocindex (each with -toc or -json), the CD-TEXT for
    // -cdtext; everything a cue sheet holds for -cue and -cuetracks (not
    // with -json, beside which they are text switches that change nothing).
    DiscDataRequest dataRequest() const noexcept;
};

}  // namespace zemtra
