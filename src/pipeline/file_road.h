// The road of one source file: its bytes read and decoded into the internal
// text, converted, backed up into "BackUp" and rewritten in place as UTF-16LE
// with a byte-order mark. Character sets are met twice, through
// encoding/source_text.h: once to decode, once to encode the rewrite.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/engine.h"

namespace lumivex {

inline constexpr std::string_view kFileErrorText =
    "Can't perform one of the following file operations: Open, Seek, Read, Close.";
inline constexpr std::string_view kFileErrorCaption = "File Error";

// The file operations the road needs, so that tests can make any of them fail.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // A regular file (through a symbolic link too) is at path; a folder is not.
  virtual bool IsRegularFile(const std::string& path) = 0;
  // Anything at all, a dangling link included, is at path.
  virtual bool Exists(const std::string& path) = 0;
  // All bytes of the file; nullopt when it cannot be opened or read.
  virtual std::optional<std::string> ReadAll(const std::string& path) = 0;
  // The folder and any missing parents; true when the folder is there afterwards.
  virtual bool CreateDirectories(const std::string& path) = 0;
  // Writes bytes as a new file at path, beside it first and moved into place
  // only when complete; fails when something is at path already, and leaves
  // nothing behind when it fails.
  virtual bool WriteNewFile(const std::string& path, std::string_view bytes) = 0;
  // Replaces the file's contents only once bytes are completely written; the
  // old contents stay on failure. Read-only files are rewritten and become
  // writable for their owner, keeping their other permission bits; a link is
  // followed and stays a link.
  virtual bool ReplaceContents(const std::string& path, std::string_view bytes) = 0;
};

// The file system of this machine.
FileSystem& RealFileSystem();

// How the road ended for one file. Only Rewritten changed the file system
// beyond a possible backup; the failures from ReadFailed on show the
// "File Error" box.
enum class RoadOutcome {
  Rewritten,
  Unchanged,     // the conversion changed nothing, or the file already holds
                 // the bytes the rewrite would write: no backup, no rewrite
  NotAFile,      // nothing or a folder at path
  ReadFailed,    // the file could not be read or decoded
  NotText,       // bytes the decoding refused (a zero byte, malformed UTF-8 or
                 // UTF-16, bytes the detected character set cannot read)
  BackupFailed,  // chkBackup checked and the copy into "BackUp" failed
  WriteFailed,
};

// The road itself.
RoadOutcome ConvertFileRoad(Engine& engine, const std::string& path, FileSystem& fs);
// True when the file was rewritten.
bool ConvertOneFile(Engine& engine, const std::string& path, FileSystem& fs = RealFileSystem());
bool ConvertFile(Engine& engine, const std::string& path, FileSystem& fs = RealFileSystem());

}  // namespace lumivex
