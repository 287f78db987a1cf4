#pragma once

// Files the windows write for the user (charts, tables) are whole or absent:
// the bytes go to a temporary file beside the target, which takes the
// target's name only once everything is written and synced. A write that
// fails (a full disk, a folder that cannot be written) leaves whatever was at
// the target as it was.

#include <QString>
#include <functional>

class QIODevice;

namespace pelmora::ui {

// `write` fills the device and says whether it succeeded. False with the
// reason in `error` when anything failed; then nothing at `path` changed.
bool writeWholeFile(const QString& path, const std::function<bool(QIODevice&)>& write,
                    QString* error);

}  // namespace pelmora::ui
