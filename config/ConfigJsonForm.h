// What the export and the import of the JSON form share.
#pragma once

#include "config/ConfigLayout.h"

#include <nlohmann/json.hpp>

namespace ConfigJsonForm {

// Objects keep their keys in the order written, so an export reads in the
// order of the window.
using Json = nlohmann::ordered_json;

// Bytes 0..4 of the main block are named; `reserved` is remainder.
constexpr uint8_t kHeaderCovered[kMainHeaderSize] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

} // namespace ConfigJsonForm
