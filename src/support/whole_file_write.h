#pragma once

// A file written whole or not at all: the bytes go to a new file beside the
// target (under a name of this process's own), which is synced and renamed
// over the target only when everything went out. On any failure that file is
// removed and the target stays as it was, so a reader never sees half a file.

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

#include "support/result.h"

namespace pelmora {

// `fill` writes the content and answers why it failed (empty when it did
// not). `createFolder`: a missing folder of the target is made (caches);
// otherwise it fails the write (files the user named).
Result<void> writeFileWhole(const std::filesystem::path& target,
                            const std::function<std::string(std::ostream&)>& fill,
                            bool createFolder = false);

}  // namespace pelmora
