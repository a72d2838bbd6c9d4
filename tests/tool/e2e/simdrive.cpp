// A simulated CD drive for end-to-end tests, loaded with LD_PRELOAD.
//
// Opening the path in ZEMTRA_SIMDRIVE_DEVICE (with any of the libc open
// functions) yields a descriptor of /dev/null that stands for the drive.
// A descriptor of the file named by ZEMTRA_SIMDRIVE_NODE stands for it too,
// whoever opened it: it is recognised by its device and inode, as under
// Wine, whose server opens the device (the prefix's dosdevices/d:: link)
// and hands the Windows process a descriptor; the simulated drive is then
// preloaded into the wine64 loader, whose ntdll makes the requests.
// On the drive CDROMREADTOCHDR and CDROMREADTOCENTRY are answered from the
// disc description file named by ZEMTRA_SIMDRIVE_DISC, read at open time
// (for a ZEMTRA_SIMDRIVE_NODE descriptor: at the process's first request):
//
//   # comment
//   tracks <first> <last>          TOC header
//   track <number> <control> <m>:<s>:<f>
//   leadout <m>:<s>:<f>
//   nodisc                         every TOC request fails (ENOMEDIUM)
//   unsettled <n>                  read r of the first n (each read begins
//                                  with a header request) answers the
//                                  lead-out r minutes later, as a drive may
//                                  just after a disc goes in
//   mcn <13 characters>            the media catalog number, valid
//   mcninvalid                     ... answered with its valid bit clear
//   isrc <track> <12 characters>   a track's ISRC, valid
//   isrcinvalid <track>            ... answered with its valid bit clear
//   subchannelfail                 every READ SUB-CHANNEL command fails
//   subchanneldeliver <n>          ... delivers at most n bytes
//   cdtext <hex bytes...>          CD-TEXT packs, appended (several lines)
//   cdtextclaim <n>                the CD-TEXT header's count (default: the
//                                  bytes of the packs plus 2)
//   cdtextdeliver <n>              a CD-TEXT command delivers at most n bytes
//   cdtextfail <n>                 CD-TEXT commands n and later (from 1)
//                                  fail
//   sgiofail <errno name>          every SG_IO request fails with that errno
//                                  (EPERM: a user without the right to send
//                                  the command; ENOTTY: a device that takes
//                                  no SCSI commands; EIO)
//   scsiclaim <n>                  each answered SCSI command claims n bytes
//                                  more than it delivered (resid goes below
//                                  what was left, below 0 too)
//   silence <track>                the audio track is all zero samples
//   seed <track> <n>               the audio track's signal seed (default:
//                                  its number); sim_audio.h gives the signal
//   driveoffset <n>                the drive's read offset: its sample m is
//                                  the disc's sample m - n
//   readfail <lba>                 READ CD of a range holding the sector
//                                  fails (up to 16 lines)
//
// The Q sub-channel of each sector, answered to READ CD (BEh) with
// sub-channel selection 02h (formatted Q, 16 bytes), follows the TOC: a
// track runs from its INDEX 00 to the next one's; sectors before the first
// track belong to its INDEX 00; a data track's sectors and those from the
// lead-out on fail to read as CD-DA. LBAs below are sectors (LBA 0 is
// 0:2:0).
//   pregap <track> <frames>        INDEX 00 of the track: frames before its
//                                  TOC start
//   index <track> <n> <m>:<s>:<f>  INDEX n (2 and up) of the track starts there
//   qother <period> <phase>        sectors with LBA % period == phase answer
//                                  a mode-2 frame (mode 3 on odd multiples)
//   qbadcrc <from> <to>            sectors from..to answer a wrong CRC
//   qfail <from> <to> [n]          READ CD of sectors from..to fails (the
//                                  first n times each, when n is given)
//   qjunk <from> <to>              sectors from..to answer 16 bytes 0xFF
//   qtrack <from> <to> <track>     sectors from..to name another track
//   qbinary                        numbers in binary rather than BCD
//   qnocrc                         CRC bytes zero
//   qslip <d>                      every answer is the Q of LBA + d
//   qdeliver <n>                   an answer delivers at most n bytes
//
// SCSI commands come through SG_IO: READ SUB-CHANNEL (42h, formats 02h and
// 03h), READ TOC/PMA/ATIP format 05h and READ CD of audio (BEh, byte 9 10h,
// byte 10 0: up to 27 sectors of the disc's samples, shifted by the drive's
// offset; logged as "readcd <lba>"; a range reaching past the lead-out
// fails). A command that fails returns 0 from the ioctl with CHECK
// CONDITION in its status, as Linux does, and leaves stale bytes in the
// buffer without counting them in resid (a reader that looks only at the
// ioctl's result takes them for an answer: a valid catalog number
// "1111111111111"). A sub-channel answer without a value (no mcn line, a
// track without an isrc line) has its valid bit clear. CDROM_GET_MCN
// answers the 13 catalog number bytes whatever their valid bit, and fails
// with the sub-channel. CDROMSUBCHNL (which Wine asks before each Q
// sub-channel request) answers no audio status.
//
// A request for a track the file does not list fails with EIO. When
// ZEMTRA_SIMDRIVE_LOG names a file, each open, close and request on the
// drive appends a line to it ("open", "close", "tochdr", "tocentry <n>",
// "subchannel <format> <track>", "cdtext <allocation length>", "getmcn",
// "subchnl", "sgio refused", "readcd <lba>", "readq <lba>"); a
// ZEMTRA_SIMDRIVE_NODE descriptor is opened and closed elsewhere, so only
// its requests are logged.
// Every other path and descriptor goes straight to the C library.
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <scsi/sg.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "sim_audio.h"

namespace {

struct Track {
    int control;
    int minute, second, frame;
    bool present;
};

struct Disc {
    bool loaded;
    bool noDisc;
    bool hasHeader;
    int first, last;
    int unsettledReads;
    int headerRequests;
    Track tracks[256];  // by track number; 0xAA (CDROM_LEADOUT) is the lead-out
    char mcn[14];
    bool mcnValid;
    char isrc[256][13];
    bool isrcValid[256];
    bool subChannelFails;
    int subChannelDeliver;  // -1: all
    unsigned char cdText[65536 + 4];
    int cdTextLength;  // pack bytes
    int cdTextClaim;   // -1: cdTextLength + 2
    int cdTextDeliver;
    int cdTextFailFrom;  // 0: never
    int cdTextCommands;
    int sgioErrno;       // 0: SG_IO is answered
    int scsiClaim;       // bytes an answer claims beyond those it delivered
    uint32_t seed[256];  // 0: the track's number
    bool silent[256];
    int driveOffset;
    int readFails[16];
    int readFailCount;
    int pregap[256];                // Q sub-channel: INDEX 00 frames by track
    int indexStart[256][100];       // LBA of INDEX n by track, 0: none
    int qOtherPeriod, qOtherPhase;  // 0: no mode-2/3 frames
    bool qBinary, qNoCrc;
    int qSlip;
    int qDeliver;  // -1: all
    struct QRange {
        char kind;            // 'c' bad CRC, 'f' fail, 'j' junk, 't' other track
        int from, to, value;  // value: fail count (-1 always) or track
        int failures;
    } qRanges[64];
    int qRangeCount;
};

constexpr int kMaxOpen = 32;
int openDescriptors[kMaxOpen];
int openCount = 0;
Disc disc;

template <typename F>
F real(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

bool isDevice(const char* path) {
    const char* device = getenv("ZEMTRA_SIMDRIVE_DEVICE");
    return path != nullptr && device != nullptr && *device != '\0' && strcmp(path, device) == 0;
}

void loadDisc();

// isNode tells whether fd is a descriptor of the ZEMTRA_SIMDRIVE_NODE file,
// by its device and inode; the disc is loaded at the first such descriptor.
bool isNode(int fd) {
    static bool nodeLoaded = false;
    const char* node = getenv("ZEMTRA_SIMDRIVE_NODE");
    struct stat nodeStatus, fdStatus;
    const int saved = errno;
    const bool same = node != nullptr && *node != '\0' && fstat(fd, &fdStatus) == 0 &&
                      stat(node, &nodeStatus) == 0 && fdStatus.st_dev == nodeStatus.st_dev &&
                      fdStatus.st_ino == nodeStatus.st_ino;
    errno = saved;
    if (same && !nodeLoaded) {
        loadDisc();
        nodeLoaded = true;
    }
    return same;
}

bool isDrive(int fd) {
    for (int i = 0; i < openCount; ++i) {
        if (openDescriptors[i] == fd) {
            return true;
        }
    }
    return isNode(fd);
}

// logRequest appends one line to the request log, when there is one.
void logRequest(const char* format, int value = 0) {
    const char* path = getenv("ZEMTRA_SIMDRIVE_LOG");
    FILE* log = path != nullptr && *path != '\0' ? fopen(path, "a") : nullptr;
    if (log != nullptr) {
        fprintf(log, format, value);
        fputc('\n', log);
        fclose(log);
    }
}

bool parseMsf(const char* text, Track& track) {
    return sscanf(text, "%d:%d:%d", &track.minute, &track.second, &track.frame) == 3;
}

// appendHex appends the hexadecimal bytes of text to the CD-TEXT packs.
void appendHex(const char* text) {
    unsigned value = 0;
    int used = 0;
    while (sscanf(text, " %2x%n", &value, &used) == 1) {
        if (disc.cdTextLength < 65536) {
            disc.cdText[4 + disc.cdTextLength++] = static_cast<unsigned char>(value);
        }
        text += used;
    }
}

// loadQLine takes a line of the Q sub-channel keywords; false for another.
bool loadQLine(const char* line) {
    char word[32] = "", msf[64] = "";
    int a = 0, b = 0, c = -1;
    Track at{};
    if (sscanf(line, "%31s", word) != 1) {
        return false;
    }
    if (sscanf(line, "pregap %d %d", &a, &b) == 2 && a > 0 && a < 256) {
        disc.pregap[a] = b;
    } else if (sscanf(line, "index %d %d %63s", &a, &b, msf) == 3 && a > 0 && a < 256 && b > 1 &&
               b < 100 && parseMsf(msf, at)) {
        disc.indexStart[a][b] = (at.minute * 60 + at.second) * 75 + at.frame - 150;
    } else if (sscanf(line, "qother %d %d", &a, &b) == 2) {
        disc.qOtherPeriod = a;
        disc.qOtherPhase = b;
    } else if (strcmp(word, "qbinary") == 0) {
        disc.qBinary = true;
    } else if (strcmp(word, "qnocrc") == 0) {
        disc.qNoCrc = true;
    } else if (sscanf(line, "qslip %d", &a) == 1) {
        disc.qSlip = a;
    } else if (sscanf(line, "qdeliver %d", &a) == 1) {
        disc.qDeliver = a;
    } else if ((strcmp(word, "qbadcrc") == 0 || strcmp(word, "qfail") == 0 ||
                strcmp(word, "qjunk") == 0 || strcmp(word, "qtrack") == 0) &&
               sscanf(line, "%*s %d %d %d", &a, &b, &c) >= 2 && disc.qRangeCount < 64) {
        disc.qRanges[disc.qRangeCount++] = {word[1] == 't'   ? 't'
                                            : word[1] == 'j' ? 'j'
                                            : word[1] == 'f' ? 'f'
                                                             : 'c',
                                            a, b, c, 0};
    } else {
        return false;
    }
    return true;
}

void loadDisc() {
    memset(&disc, 0, sizeof disc);
    disc.subChannelDeliver = -1;
    disc.cdTextClaim = -1;
    disc.cdTextDeliver = -1;
    disc.qDeliver = -1;
    const char* path = getenv("ZEMTRA_SIMDRIVE_DISC");
    FILE* file = path ? fopen(path, "r") : nullptr;
    if (file == nullptr) {
        disc.noDisc = true;
        return;
    }
    char line[256];
    while (fgets(line, sizeof line, file)) {
        char word[32] = "";
        char msf[64] = "";
        int number = 0, control = 0, first = 0, last = 0;
        if (sscanf(line, "%31s", word) != 1 || word[0] == '#') {
            continue;
        }
        if (strcmp(word, "nodisc") == 0) {
            disc.noDisc = true;
        } else if (sscanf(line, "unsettled %d", &number) == 1) {
            disc.unsettledReads = number;
        } else if (sscanf(line, "tracks %d %d", &first, &last) == 2) {
            disc.hasHeader = true;
            disc.first = first;
            disc.last = last;
        } else if (sscanf(line, "track %d %d %63s", &number, &control, msf) == 3 && number > 0 &&
                   number < 256) {
            Track& track = disc.tracks[number];
            track.control = control;
            track.present = parseMsf(msf, track);
        } else if (strcmp(word, "mcn") == 0 && sscanf(line, "mcn %13s", disc.mcn) == 1) {
            disc.mcnValid = true;
        } else if (strcmp(word, "mcninvalid") == 0) {
            disc.mcnValid = false;
        } else if (strcmp(word, "isrc") == 0 && sscanf(line, "isrc %d %12s", &number, msf) == 2 &&
                   number > 0 && number < 256) {
            memcpy(disc.isrc[number], msf, 13);
            disc.isrcValid[number] = true;
        } else if (sscanf(line, "isrcinvalid %d", &number) == 1 && number > 0 && number < 256) {
            disc.isrcValid[number] = false;
        } else if (strcmp(word, "subchannelfail") == 0) {
            disc.subChannelFails = true;
        } else if (sscanf(line, "subchanneldeliver %d", &number) == 1) {
            disc.subChannelDeliver = number;
        } else if (strcmp(word, "cdtext") == 0) {
            appendHex(line + 6);
        } else if (sscanf(line, "cdtextclaim %d", &number) == 1) {
            disc.cdTextClaim = number;
        } else if (sscanf(line, "cdtextdeliver %d", &number) == 1) {
            disc.cdTextDeliver = number;
        } else if (sscanf(line, "cdtextfail %d", &number) == 1) {
            disc.cdTextFailFrom = number;
        } else if (sscanf(line, "sgiofail %63s", msf) == 1) {
            disc.sgioErrno = strcmp(msf, "EPERM") == 0    ? EPERM
                             : strcmp(msf, "ENOTTY") == 0 ? ENOTTY
                                                          : EIO;
        } else if (sscanf(line, "scsiclaim %d", &number) == 1) {
            disc.scsiClaim = number;
        } else if (sscanf(line, "silence %d", &number) == 1 && number > 0 && number < 256) {
            disc.silent[number] = true;
        } else if (unsigned seed = 0;
                   sscanf(line, "seed %d %u", &number, &seed) == 2 && number > 0 && number < 256) {
            disc.seed[number] = seed;
        } else if (sscanf(line, "driveoffset %d", &number) == 1) {
            disc.driveOffset = number;
        } else if (sscanf(line, "readfail %d", &number) == 1 && disc.readFailCount < 16) {
            disc.readFails[disc.readFailCount++] = number;
        } else if (loadQLine(line)) {
        } else if (sscanf(line, "leadout %63s", msf) == 1) {
            Track& track = disc.tracks[CDROM_LEADOUT];
            track.present = parseMsf(msf, track);
        } else {
            fprintf(stderr, "simdrive: cannot read line: %s", line);
        }
    }
    fclose(file);
    disc.loaded = true;
}

int openDrive(int flags) {
    if (openCount == kMaxOpen) {
        errno = EMFILE;
        return -1;
    }
    using OpenFunction = int (*)(const char*, int, ...);
    const int fd = real<OpenFunction>("open")("/dev/null", O_RDONLY | (flags & O_CLOEXEC));
    if (fd >= 0) {
        loadDisc();
        openDescriptors[openCount++] = fd;
        logRequest("open");
    }
    return fd;
}

int answerHeader(cdrom_tochdr* header) {
    ++disc.headerRequests;
    logRequest("tochdr");
    if (disc.noDisc || !disc.hasHeader) {
        errno = disc.noDisc ? ENOMEDIUM : EIO;
        return -1;
    }
    header->cdth_trk0 = static_cast<__u8>(disc.first);
    header->cdth_trk1 = static_cast<__u8>(disc.last);
    return 0;
}

int answerEntry(cdrom_tocentry* entry) {
    logRequest("tocentry %d", entry->cdte_track);
    if (disc.noDisc) {
        errno = ENOMEDIUM;
        return -1;
    }
    Track track = disc.tracks[entry->cdte_track];
    if (!track.present) {
        errno = EIO;
        return -1;
    }
    if (entry->cdte_track == CDROM_LEADOUT && disc.headerRequests <= disc.unsettledReads) {
        track.minute += disc.headerRequests;
    }
    entry->cdte_adr = 1;
    entry->cdte_ctrl = static_cast<__u8>(track.control) & 0x0F;
    entry->cdte_datamode = 0;
    if (entry->cdte_format == CDROM_LBA) {
        entry->cdte_addr.lba =
            (track.minute * 60 + track.second) * CD_FRAMES + track.frame - CD_MSF_OFFSET;
    } else if (entry->cdte_format == CDROM_MSF) {
        entry->cdte_addr.msf.minute = static_cast<__u8>(track.minute);
        entry->cdte_addr.msf.second = static_cast<__u8>(track.second);
        entry->cdte_addr.msf.frame = static_cast<__u8>(track.frame);
    } else {
        errno = EINVAL;
        return -1;
    }
    return 0;
}

// failCommand ends a SCSI command with CHECK CONDITION and ILLEGAL REQUEST
// sense data; the ioctl itself succeeds.
int failCommand(sg_io_hdr_t* request) {
    static const unsigned char sense[18] = {0x70, 0, 0x05, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x24};
    const unsigned room = request->mx_sb_len < sizeof sense ? request->mx_sb_len : sizeof sense;
    if (request->sbp != nullptr) {
        memcpy(request->sbp, sense, room);
    }
    request->sb_len_wr = static_cast<unsigned char>(room);
    request->status = 0x02;
    request->masked_status = 0x01;
    request->driver_status = 0x08;
    request->host_status = 0;
    request->info = SG_INFO_CHECK;
    request->resid = 0;
    auto* stale = static_cast<unsigned char*>(request->dxferp);
    if (stale != nullptr && request->dxfer_len > 0) {
        memset(stale, '1', request->dxfer_len);
        stale[request->dxfer_len > 8 ? 8 : 0] = 0x80;
    }
    return 0;
}

// deliver copies at most limit (-1: any) of the answer's size bytes into
// the command's buffer and ends it well.
int deliver(sg_io_hdr_t* request, const unsigned char* answer, int size, int limit) {
    int count =
        static_cast<int>(request->dxfer_len) < size ? static_cast<int>(request->dxfer_len) : size;
    if (limit >= 0 && count > limit) {
        count = limit;
    }
    memcpy(request->dxferp, answer, static_cast<size_t>(count));
    request->status = 0;
    request->masked_status = 0;
    request->driver_status = 0;
    request->host_status = 0;
    request->sb_len_wr = 0;
    request->info = SG_INFO_OK;
    request->resid = static_cast<int>(request->dxfer_len) - count - disc.scsiClaim;
    return 0;
}

// subChannelAnswer builds the 24-byte answer for format 2 or 3.
void subChannelAnswer(int format, int track, unsigned char (&answer)[24]) {
    memset(answer, 0, sizeof answer);
    answer[3] = 20;
    answer[4] = static_cast<unsigned char>(format);
    if (format == 2) {
        answer[8] = disc.mcnValid ? 0x80 : 0;
        memcpy(answer + 9, disc.mcn, 13);
    } else {
        answer[6] = static_cast<unsigned char>(track);
        answer[8] = disc.isrcValid[track] ? 0x80 : 0;
        memcpy(answer + 9, disc.isrc[track], 12);
    }
}

// sectorOf returns the sector of a track's address (frame address less 150).
int64_t sectorOf(const Track& track) {
    return (track.minute * 60 + track.second) * 75 + track.frame - 150;
}

// audioTracks lists the disc's audio tracks as sim_audio.h reads them.
int audioTracks(simaudio::AudioTrack (&tracks)[100]) {
    int count = 0;
    const int64_t leadOut = sectorOf(disc.tracks[CDROM_LEADOUT]);
    for (int n = disc.first; n <= disc.last && n < 100 && n > 0; ++n) {
        const Track& track = disc.tracks[n];
        if (!track.present || (track.control & 4) != 0) {
            continue;
        }
        int64_t end = leadOut;
        if (n < disc.last && disc.tracks[n + 1].present) {
            end = sectorOf(disc.tracks[n + 1]);
            if ((disc.tracks[n + 1].control & 4) != 0 && n + 1 == disc.last &&
                end - 11400 > sectorOf(track)) {
                end -= 11400;
            }
        }
        tracks[count++] = {sectorOf(track), end,
                           disc.seed[n] != 0 ? disc.seed[n] : static_cast<uint32_t>(n),
                           disc.silent[n]};
    }
    return count;
}

// answerReadCd answers READ CD of CD-DA user data: each sample m of the
// range is the disc's sample m - driveoffset, in its four little-endian
// bytes.
int answerReadCd(sg_io_hdr_t* request) {
    const unsigned char* command = request->cmdp;
    const int64_t lba =
        static_cast<int64_t>(command[2]) << 24 | command[3] << 16 | command[4] << 8 | command[5];
    const int count = command[6] << 16 | command[7] << 8 | command[8];
    logRequest("readcd %d", static_cast<int>(lba));
    if (count < 1 || count > 27 || request->dxfer_len < static_cast<unsigned>(count) * 2352 ||
        lba + count > sectorOf(disc.tracks[CDROM_LEADOUT])) {
        return failCommand(request);
    }
    for (int i = 0; i < disc.readFailCount; ++i) {
        if (disc.readFails[i] >= lba && disc.readFails[i] < lba + count) {
            return failCommand(request);
        }
    }
    simaudio::AudioTrack tracks[100];
    const int trackCount = audioTracks(tracks);
    static unsigned char sectors[27 * 2352];
    unsigned char* out = sectors;
    for (int64_t m = lba * 588; m < (lba + count) * 588; ++m) {
        const uint32_t value = simaudio::discSample(tracks, trackCount, m - disc.driveOffset);
        for (int b = 0; b < 4; ++b) {
            *out++ = static_cast<unsigned char>(value >> (8 * b));
        }
    }
    return deliver(request, sectors, count * 2352, -1);
}

int toBcd(int value) {
    return disc.qBinary ? value : (value / 10) << 4 | value % 10;
}

int lbaOf(const Track& track) {
    return static_cast<int>(sectorOf(track));
}

// qRange returns the first range of kind holding lba, or null.
Disc::QRange* qRange(char kind, int lba) {
    for (int i = 0; i < disc.qRangeCount; ++i) {
        Disc::QRange& range = disc.qRanges[i];
        if (range.kind == kind && lba >= range.from && lba <= range.to) {
            return &range;
        }
    }
    return nullptr;
}

// answerReadQ answers READ CD with sub-channel selection 02h: the formatted
// Q of one sector, without main-channel data.
int answerReadQ(sg_io_hdr_t* request) {
    const unsigned char* command = request->cmdp;
    const int asked = command[2] << 24 | command[3] << 16 | command[4] << 8 | command[5];
    logRequest("readq %d", asked);
    if (Disc::QRange* failing = qRange('f', asked)) {
        if (failing->value < 0 || failing->failures++ < failing->value) {
            return failCommand(request);
        }
    }
    const int lba = asked + disc.qSlip;
    // The track holding lba: the last whose INDEX 00 starts at or before it.
    int track = 0;
    for (int t = disc.first; t <= disc.last && t < 256; ++t) {
        if (disc.tracks[t].present &&
            (t == disc.first || lbaOf(disc.tracks[t]) - disc.pregap[t] <= lba)) {
            track = t;
        }
    }
    const Track& leadOut = disc.tracks[CDROM_LEADOUT];
    if (track == 0 || command[8] != 1 || (command[1] & 0x1C) != 0x04 || lba < -150 ||
        !leadOut.present || lba >= lbaOf(leadOut) || (disc.tracks[track].control & 4) != 0) {
        return failCommand(request);
    }
    const int start = lbaOf(disc.tracks[track]);
    int index = lba < start ? 0 : 1;
    for (int n = 2; n < 100 && index > 0; ++n) {
        if (disc.indexStart[track][n] != 0 && disc.indexStart[track][n] <= lba) {
            index = n;
        }
    }
    if (Disc::QRange* other = qRange('t', lba)) {
        track = other->value;
    }
    const int relative = lba < start ? start - lba : lba - start;
    const int absolute = lba + 150;
    unsigned char q[16] = {};
    const int adr = disc.qOtherPeriod > 0 && lba % disc.qOtherPeriod == disc.qOtherPhase
                        ? 2 + lba / disc.qOtherPeriod % 2
                        : 1;
    q[0] = static_cast<unsigned char>(disc.tracks[track & 0xFF].control << 4 | adr);
    if (adr == 1) {
        const int values[9] = {track,         index, relative / 4500, relative / 75 % 60,
                               relative % 75, 0,     absolute / 4500, absolute / 75 % 60,
                               absolute % 75};
        for (int i = 0; i < 9; ++i) {
            q[1 + i] = static_cast<unsigned char>(toBcd(values[i]));
        }
    } else {
        q[9] = static_cast<unsigned char>(toBcd(absolute % 75));
    }
    // CRC-16 of bytes 0 to 9: polynomial 0x1021, from 0, inverted.
    unsigned crc = 0;
    for (int i = 0; i < 10; ++i) {
        crc ^= static_cast<unsigned>(q[i]) << 8;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x8000) != 0 ? (crc << 1) ^ 0x1021 : crc << 1;
        }
    }
    crc = ~crc & 0xFFFF;
    if (qRange('c', lba) != nullptr) {
        crc ^= 0x0100;
    }
    if (!disc.qNoCrc) {
        q[10] = static_cast<unsigned char>(crc >> 8);
        q[11] = static_cast<unsigned char>(crc);
    }
    if (qRange('j', lba) != nullptr) {
        memset(q, 0xFF, sizeof q);
    }
    const int allocation = static_cast<int>(request->dxfer_len);
    return deliver(request, q, allocation < 16 ? allocation : 16, disc.qDeliver);
}

int answerScsi(sg_io_hdr_t* request) {
    if (disc.sgioErrno != 0) {
        logRequest("sgio refused");
        errno = disc.sgioErrno;
        return -1;
    }
    if (request->interface_id != 'S' || request->cmdp == nullptr || request->cmd_len < 10 ||
        request->dxfer_direction != SG_DXFER_FROM_DEV) {
        errno = EINVAL;
        return -1;
    }
    const unsigned char* command = request->cmdp;
    if (disc.noDisc) {
        return failCommand(request);
    }
    if (command[0] == 0x42 && (command[3] == 2 || command[3] == 3)) {
        logRequest(command[3] == 2 ? "subchannel 2 %d" : "subchannel 3 %d", command[6]);
        if (disc.subChannelFails || (command[2] & 0x40) == 0 ||
            (command[3] == 3 && !disc.tracks[command[6]].present)) {
            return failCommand(request);
        }
        unsigned char answer[24];
        subChannelAnswer(command[3], command[6], answer);
        const int allocation = command[7] << 8 | command[8];
        return deliver(request, answer, allocation < 24 ? allocation : 24, disc.subChannelDeliver);
    }
    if (command[0] == 0xBE && request->cmd_len >= 12 && command[9] == 0x10 && command[10] == 0) {
        return answerReadCd(request);
    }
    if (command[0] == 0xBE && request->cmd_len >= 12 && command[10] == 0x02) {
        return answerReadQ(request);
    }
    if (command[0] == 0x43 && (command[2] & 0x0F) == 5) {
        const int allocation = command[7] << 8 | command[8];
        logRequest("cdtext %d", allocation);
        ++disc.cdTextCommands;
        if (disc.cdTextLength == 0 ||
            (disc.cdTextFailFrom > 0 && disc.cdTextCommands >= disc.cdTextFailFrom)) {
            return failCommand(request);
        }
        const int claim = disc.cdTextClaim >= 0 ? disc.cdTextClaim : disc.cdTextLength + 2;
        disc.cdText[0] = static_cast<unsigned char>(claim >> 8);
        disc.cdText[1] = static_cast<unsigned char>(claim);
        const int size = 4 + disc.cdTextLength;
        return deliver(request, disc.cdText, allocation < size ? allocation : size,
                       disc.cdTextDeliver);
    }
    return failCommand(request);
}

int answerMcn(cdrom_mcn* mcn) {
    logRequest("getmcn");
    if (disc.noDisc || disc.subChannelFails) {
        errno = disc.noDisc ? ENOMEDIUM : EIO;
        return -1;
    }
    memcpy(mcn->medium_catalog_number, disc.mcn, 13);
    mcn->medium_catalog_number[13] = 0;
    return 0;
}

// answerSubChannel answers the drive's audio status: none.
int answerSubChannel(cdrom_subchnl* status) {
    logRequest("subchnl");
    if (disc.noDisc) {
        errno = ENOMEDIUM;
        return -1;
    }
    const __u8 format = status->cdsc_format;
    memset(status, 0, sizeof *status);
    status->cdsc_format = format;
    status->cdsc_audiostatus = CDROM_AUDIO_NO_STATUS;
    return 0;
}

// takesMode tells whether an open call with flags passes a mode argument.
bool takesMode(int flags) {
    return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
}

int openWithMode(const char* function, const char* path, int flags, va_list args) {
    if (isDevice(path)) {
        return openDrive(flags);
    }
    const mode_t mode = takesMode(flags) ? va_arg(args, mode_t) : 0;
    return real<int (*)(const char*, int, ...)>(function)(path, flags, mode);
}

int openAtWithMode(const char* function, int dirfd, const char* path, int flags, va_list args) {
    if (isDevice(path)) {
        return openDrive(flags);
    }
    const mode_t mode = takesMode(flags) ? va_arg(args, mode_t) : 0;
    return real<int (*)(int, const char*, int, ...)>(function)(dirfd, path, flags, mode);
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const int fd = openWithMode("open", path, flags, args);
    va_end(args);
    return fd;
}

int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const int fd = openWithMode("open64", path, flags, args);
    va_end(args);
    return fd;
}

int openat(int dirfd, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const int fd = openAtWithMode("openat", dirfd, path, flags, args);
    va_end(args);
    return fd;
}

int openat64(int dirfd, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const int fd = openAtWithMode("openat64", dirfd, path, flags, args);
    va_end(args);
    return fd;
}

// The fortified forms that _FORTIFY_SOURCE builds call.
int __open_2(const char* path, int flags) {
    return isDevice(path) ? openDrive(flags)
                          : real<int (*)(const char*, int)>("__open_2")(path, flags);
}

int __open64_2(const char* path, int flags) {
    return isDevice(path) ? openDrive(flags)
                          : real<int (*)(const char*, int)>("__open64_2")(path, flags);
}

int __openat_2(int dirfd, const char* path, int flags) {
    return isDevice(path) ? openDrive(flags)
                          : real<int (*)(int, const char*, int)>("__openat_2")(dirfd, path, flags);
}

int __openat64_2(int dirfd, const char* path, int flags) {
    return isDevice(path)
               ? openDrive(flags)
               : real<int (*)(int, const char*, int)>("__openat64_2")(dirfd, path, flags);
}

int ioctl(int fd, unsigned long request, ...) {
    va_list args;
    va_start(args, request);
    void* argument = va_arg(args, void*);
    va_end(args);
    if (isDrive(fd)) {
        if (request == CDROMREADTOCHDR) {
            return answerHeader(static_cast<cdrom_tochdr*>(argument));
        }
        if (request == CDROMREADTOCENTRY) {
            return answerEntry(static_cast<cdrom_tocentry*>(argument));
        }
        if (request == SG_IO) {
            return answerScsi(static_cast<sg_io_hdr_t*>(argument));
        }
        if (request == CDROM_GET_MCN) {
            return answerMcn(static_cast<cdrom_mcn*>(argument));
        }
        if (request == CDROMSUBCHNL) {
            return answerSubChannel(static_cast<cdrom_subchnl*>(argument));
        }
        errno = EINVAL;
        return -1;
    }
    return real<int (*)(int, unsigned long, ...)>("ioctl")(fd, request, argument);
}

int close(int fd) {
    for (int i = 0; i < openCount; ++i) {
        if (openDescriptors[i] == fd) {
            logRequest("close");
            openDescriptors[i] = openDescriptors[--openCount];
            break;
        }
    }
    return real<int (*)(int)>("close")(fd);
}

}  // extern "C"
