#include "fake_drive.h"

#include <dlfcn.h>
#include <errno.h>
#include <linux/cdrom.h>

#include <cstdarg>
#include <cstring>

namespace zemtra::test {

namespace {

FakeDrive* activeDrive = nullptr;

int answer(FakeDrive& drive, unsigned long request, void* argument) {
    if (drive.interrupted < drive.interruptions) {
        ++drive.interrupted;
        if (request == CDROMREADTOCHDR) {
            std::memset(argument, 0xEE, sizeof(cdrom_tochdr));
        } else {
            auto* entry = static_cast<cdrom_tocentry*>(argument);
            std::memset(&entry->cdte_addr, 0xEE, sizeof entry->cdte_addr);
            entry->cdte_ctrl = 0xE;
        }
        errno = EINTR;
        return -1;
    }
    drive.interrupted = 0;
    if (request == CDROMREADTOCHDR) {
        ++drive.headerRequests;
        if (drive.headerFails) {
            errno = ENOMEDIUM;
            return -1;
        }
        auto* header = static_cast<cdrom_tochdr*>(argument);
        header->cdth_trk0 = drive.first;
        header->cdth_trk1 = drive.last;
        return 0;
    }
    auto* entry = static_cast<cdrom_tocentry*>(argument);
    ++drive.entryRequests;
    if (drive.entriesFail || entry->cdte_format != CDROM_MSF) {
        errno = EIO;
        return -1;
    }
    const uint8_t* msf = drive.address[entry->cdte_track];
    entry->cdte_adr = 1;
    entry->cdte_ctrl = entry->cdte_track & 0x0F;
    // Read r of the unsettled ones puts the lead-out r minutes later.
    const bool unsettled =
        entry->cdte_track == CDROM_LEADOUT && drive.headerRequests <= drive.unsettledReads;
    entry->cdte_addr.msf.minute =
        static_cast<uint8_t>(msf[0] + (unsettled ? drive.headerRequests : 0));
    entry->cdte_addr.msf.second = msf[1];
    entry->cdte_addr.msf.frame = msf[2];
    return 0;
}

}  // namespace

FakeDrive::FakeDrive() {
    activeDrive = this;
}

FakeDrive::~FakeDrive() {
    activeDrive = nullptr;
}

}  // namespace zemtra::test

// ioctl stands in for the C library's in this program: CD-ROM TOC requests
// go to the active fake drive, everything else to the C library.
extern "C" int ioctl(int fd, unsigned long request, ...) {
    va_list args;
    va_start(args, request);
    void* argument = va_arg(args, void*);
    va_end(args);
    using zemtra::test::activeDrive;
    if (activeDrive != nullptr && (request == CDROMREADTOCHDR || request == CDROMREADTOCENTRY)) {
        return zemtra::test::answer(*activeDrive, request, argument);
    }
    using Ioctl = int (*)(int, unsigned long, ...);
    static const auto next = reinterpret_cast<Ioctl>(dlsym(RTLD_NEXT, "ioctl"));
    return next(fd, request, argument);
}
