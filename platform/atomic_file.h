#pragma once

#include "platform/file_error.h"

#include <QByteArray>
#include <QString>

namespace dexlan {

// How a file is replaced. Both keep the old file whole until the new one is
// complete on disk; the named temporary is for network shares, where an unnamed
// temporary file cannot be made.
enum class ReplaceStrategy { Automatic, SaveFile, NamedTemporary };

// Replaces the file at path with bytes, or leaves it as it was and says why.
// A file that may not be written is not replaced, even where the folder would
// allow a rename over it.
FileError replaceFileAtomically(const QString& path, const QByteArray& bytes,
                                ReplaceStrategy strategy = ReplaceStrategy::Automatic);

} // namespace dexlan
