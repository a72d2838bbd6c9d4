#pragma once

#include <cstdint>

#include "runtime/growable_array.h"
#include "text/shared_string.h"

namespace kwCore {

// A SharedString is one pointer that owns a reference to its block; moving it
// by copying that pointer is sound, so arrays may move it with realloc.
template <>
struct TriviallyRelocatable<SharedString> : std::true_type {};
static_assert(sizeof(SharedString) == sizeof(void*));

// StringArray is a growable array of SharedString handles. It owns one
// reference to each element's block; elements may be null handles. add and
// element assignment copy no characters.
class StringArray : public GrowableArray<SharedString> {};

}  // namespace kwCore
