#pragma once

// Files the windows write for the user (charts, tables) are whole or absent:
// the bytes go to a temporary file beside the target, which takes the
// target's name only once everything is written and synced. A write that
// fails (a full disk, a folder that cannot be written) leaves whatever was at
// the target as it was.

#include <QString>
#include <functional>
#include <iosfwd>

class QIODevice;

namespace pelmora::ui {

// `write` fills the device and says whether it succeeded. False with the
// reason in `error` when anything failed; then nothing at `path` changed.
bool writeWholeFile(const QString& path, const std::function<bool(QIODevice&)>& write,
                    QString* error);

// The same for content too large to hold in memory: `write` streams it into
// `out` and says whether it succeeded (false also when it was stopped).
// Nothing at `path` changes unless everything was written.
bool writeWholeFileStreamed(const QString& path, const std::function<bool(std::ostream&)>& write,
                            QString* error);

}  // namespace pelmora::ui
