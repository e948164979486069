#pragma once

// The indexes of the profile files, kept while each file is unchanged, and the read batches
// that hold them. Internal to the files wing: the rest of the program reads through profile.h.

#include <QString>
#include <memory>

#include "core/files/profile_index.h"

namespace cantora::profile {

// The current index of `path` (honours an active ReadBatch on this thread).
std::shared_ptr<const FileIndex> IndexFor(const QString& path);
// Drops the index of `path` after this program replaced the file.
void ForgetIndex(const QString& path);

}  // namespace cantora::profile
