// A simulated CD drive for end-to-end tests, loaded with LD_PRELOAD.
//
// Opening the path in ZEMTRA_SIMDRIVE_DEVICE (with any of the libc open
// functions) yields a descriptor of /dev/null that stands for the drive.
// On it CDROMREADTOCHDR and CDROMREADTOCENTRY are answered from the disc
// description file named by ZEMTRA_SIMDRIVE_DISC, read at open time:
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
//
// A request for a track the file does not list fails with EIO. When
// ZEMTRA_SIMDRIVE_LOG names a file, each open, close and request on the
// drive appends a line to it ("open", "close", "tochdr", "tocentry <n>").
// Every other path and descriptor goes straight to the C library.
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <unistd.h>

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

bool isDrive(int fd) {
    for (int i = 0; i < openCount; ++i) {
        if (openDescriptors[i] == fd) {
            return true;
        }
    }
    return false;
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

void loadDisc() {
    memset(&disc, 0, sizeof disc);
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
