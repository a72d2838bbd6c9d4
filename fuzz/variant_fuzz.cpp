// Variant values built from the input, compared and sorted: compare is a
// total order on them (zero on itself, antisymmetric, transitive), sorting
// by it leaves them in order, and every value and holder is released.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "runtime/variant.h"

namespace {

using kwCore::Variant;

int pointees[4];

Variant build(FuzzedDataProvider& input, int depth) {
    Variant value;
    switch (input.ConsumeIntegralInRange(0, depth > 0 ? 11 : 8)) {
        case 0:
            break;
        case 1:
            value = Variant::fromBool(input.ConsumeBool());
            break;
        case 2:
            value = Variant::fromInt(input.ConsumeIntegralInRange<int64_t>(-3, 3) *
                                     (input.ConsumeBool() ? 1 : INT64_C(0x100000000)));
            break;
        case 3: {
            double real = input.ConsumeBool() ? std::nan("") : input.ConsumeFloatingPoint<double>();
            value = Variant::fromFloat(input.ConsumeBool() ? real : std::trunc(real) / 4);
            break;
        }
        case 4: {
            const std::string text = input.ConsumeRandomLengthString(6);
            value = Variant::fromString(kwCore::SharedString(text.c_str()));
            break;
        }
        case 5: {
            const std::vector<uint8_t> bytes =
                input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange(0, 4));
            value = Variant::fromBytes(bytes.data(), static_cast<int32_t>(bytes.size()));
            break;
        }
        case 6: {
            uint8_t guid[16] = {};
            guid[input.ConsumeIntegralInRange(0, 15)] = input.ConsumeIntegralInRange<uint8_t>(0, 2);
            value = Variant::fromGuid(guid);
            break;
        }
        case 7:
            value = Variant::fromPointer(&pointees[input.ConsumeIntegralInRange(0, 3)]);
            break;
        case 8:
            value = Variant::fromBuffer(nullptr);
            break;
        case 9:
        case 10: {
            const bool map = input.ConsumeBool();
            value = map ? Variant::newMap() : Variant::newArray();
            for (int n = input.ConsumeIntegralInRange(0, 3); n > 0; --n) {
                const Variant element = build(input, depth - 1);
                if (map) {
                    const std::string key = input.ConsumeRandomLengthString(2);
                    FUZZ_CHECK(value.append(kwCore::SharedString(key.c_str()), element));
                } else {
                    FUZZ_CHECK(value.append(element));
                }
            }
            break;
        }
        default:
            value = Variant::box(build(input, depth - 1));
            break;
    }
    value.setTag(input.ConsumeIntegralInRange<uint32_t>(0, 1) * 0x80000000u);
    return value;
}

bool lessByCompare(const Variant& a, const Variant& b) {
    return Variant::compare(a, b) < 0;
}

void checkOrder(const std::vector<Variant>& values) {
    const size_t n = values.size();
    std::vector<int> order(n * n);
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = 0; j < n; ++j) {
            order[i * n + j] = Variant::compare(values[i], values[j]);
            FUZZ_CHECK(order[i * n + j] >= -1 && order[i * n + j] <= 1);
        }
        FUZZ_CHECK(order[i * n + i] == 0);
    }
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = 0; j < n; ++j) {
            FUZZ_CHECK(order[i * n + j] == -order[j * n + i]);
            for (size_t k = 0; k < n; ++k) {
                if (order[i * n + j] <= 0 && order[j * n + k] <= 0) {
                    FUZZ_CHECK(order[i * n + k] <= 0);
                    if (order[i * n + j] < 0 || order[j * n + k] < 0) {
                        FUZZ_CHECK(order[i * n + k] < 0);
                    }
                }
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int64_t variantsBefore = kwCore::liveVariantCount;
    const int64_t holdersBefore = kwCore::liveHolderCount;
    {
        FuzzedDataProvider input(data, size);
        std::vector<Variant> values;
        while (values.size() < 10 && input.remaining_bytes() > 0) {
            values.push_back(build(input, 2));
            if (input.ConsumeBool()) {
                values.push_back(values.back());  // a copy shares, and equals
            }
        }
        checkOrder(values);
        std::sort(values.begin(), values.end(), lessByCompare);
        for (size_t i = 0; i + 1 < values.size(); ++i) {
            FUZZ_CHECK(Variant::compare(values[i], values[i + 1]) <= 0);
        }
    }
    FUZZ_CHECK(kwCore::liveVariantCount == variantsBefore);
    FUZZ_CHECK(kwCore::liveHolderCount == holdersBefore);
    return 0;
}
