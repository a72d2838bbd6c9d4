#pragma once

// What the processor and the system offer, read straight from CPUID and the
// extended control register XCR0, apart from the library's own feature
// tests: each processor-specific method must be available exactly where the
// features it uses are. Run under an emulated processor model, the tests
// built on this check the choice on processors this machine is not.

#include <cstdint>
#include <string>
#include <utility>

#if defined(__x86_64__)
#include <cpuid.h>
#endif

namespace kwCore::testutil {

// ProcessorFeatures holds the features the processor-specific methods use,
// each true only where the processor has it and, for the vector registers
// of 256 and 512 bits, the system saves them too (XCR0).
struct ProcessorFeatures {
    bool ssse3 = false;
    bool sse41 = false;
    bool pclmul = false;
    bool avx = false;
    bool avx2 = false;
    bool vpclmulqdq = false;
    bool avx512f = false;
    bool sha = false;
    bool erms = false;

    // read asks this processor.
    static ProcessorFeatures read() {
        ProcessorFeatures f;
#if defined(__x86_64__)
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (!__get_cpuid(1, &a, &b, &c, &d)) {
            return f;
        }
        f.ssse3 = (c & (1u << 9)) != 0;
        f.sse41 = (c & (1u << 19)) != 0;
        f.pclmul = (c & (1u << 1)) != 0;
        uint64_t xcr0 = 0;
        if ((c & (1u << 27)) != 0) {  // OSXSAVE: XCR0 may be read
            unsigned low = 0, high = 0;
            __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
            xcr0 = (uint64_t{high} << 32) | low;
        }
        // SSE and AVX state (bits 1, 2); AVX-512's opmask and upper halves
        // (bits 5 to 7) beside them.
        const bool ymmSaved = (xcr0 & 0x06) == 0x06;
        const bool zmmSaved = (xcr0 & 0xE6) == 0xE6;
        f.avx = ymmSaved && (c & (1u << 28)) != 0;
        if (__get_cpuid_count(7, 0, &a, &b, &c, &d)) {
            f.avx2 = ymmSaved && (b & (1u << 5)) != 0;
            f.avx512f = zmmSaved && (b & (1u << 16)) != 0;
            f.sha = (b & (1u << 29)) != 0;
            f.erms = (b & (1u << 9)) != 0;
            f.vpclmulqdq = ymmSaved && (c & (1u << 10)) != 0;
        }
#endif
        return f;
    }

    // describe lists the features present, for a failure's message.
    std::string describe() const {
        const std::pair<bool, const char*> all[] = {
            {ssse3, "ssse3"},     {sse41, "sse4.1"}, {pclmul, "pclmul"},
            {avx, "avx"},         {avx2, "avx2"},    {vpclmulqdq, "vpclmulqdq"},
            {avx512f, "avx512f"}, {sha, "sha"},      {erms, "erms"}};
        std::string text = "processor features:";
        for (const auto& [present, name] : all) {
            if (present) {
                text += std::string(" ") + name;
            }
        }
        return text;
    }
};

}  // namespace kwCore::testutil
