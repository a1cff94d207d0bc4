// Whole-file read and write.
#pragma once

#include <string>
#include <string_view>

#include "text/engine.h"

namespace lumivex {

// The file's bytes up to its first NUL byte; empty when the file is missing or
// unreadable. A failure while reading shows the "File Error" box through
// messages (when given) and returns what was read so far.
std::string ReadTextFile(const std::string& path, Messages* messages = nullptr);

// Replaces the file at path with text. The text goes to a temporary file
// beside the target first, and the target is replaced only when all of it is
// written; on any failure the old file stays as it was. A target without any
// write permission bit is left alone. Reports nothing.
void WriteTextFile(std::string_view text, const std::string& path);

enum class ReadOnlyTargets { Keep, Replace };
// The safe replacement underneath WriteTextFile, for callers that need its
// outcome: writes bytes to a temporary file in the target's folder, syncs it,
// gives it the target's permission bits and renames it over the target. A
// symbolic link is followed, so the link stays and its target changes.
// Returns false (errno set) when anything fails; the target is then untouched.
bool ReplaceFileContents(const std::string& path, std::string_view bytes,
                         ReadOnlyTargets readOnly);

// Writes bytes as a new file at path: to a temporary file beside it first,
// synced, and moved to path only when complete and only while nothing is at
// path. Returns false (errno set) when anything fails or something is at
// path already; nothing is then left behind.
bool WriteNewFile(const std::string& path, std::string_view bytes);

}  // namespace lumivex
