// The bytes of a file's header and dictionary, up to and including the
// record that ends the dictionary.
#pragma once

#include <cstddef>
#include <string>

#include "file_plan.h"

namespace savio::writer {

// Where the header's case count lies, for patching it at the end.
inline constexpr size_t kCaseCountOffset = 80;

// headerCases is the count the header states (-1 = unknown).
std::string DictionaryBytes(const FileSpec& spec, const FilePlan& plan, int32_t headerCases);

}  // namespace savio::writer
