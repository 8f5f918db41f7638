// Replacing a file so that a crash or kill at any moment leaves either the
// old or the new contents, complete.
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

namespace port {

// The temporary file is named "<target>.tmp-" and six random characters.
constexpr std::string_view kTemporaryInfix = ".tmp-";
constexpr size_t kTemporaryRandomLength = 6;

// Writes `bytes` to a temporary file in the target's folder, flushes it to
// the disk, gives it `mode`, and renames it over `path`. False with `error`
// set when any step fails; the old file is then untouched.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, mode_t mode,
                         std::string* error = nullptr);

} // namespace port
