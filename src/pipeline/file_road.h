// The road of one source file: its bytes read and decoded into the internal
// Shift-JIS text, converted, backed up into "BackUp" and rewritten in place as
// UTF-16LE with a byte-order mark.
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
  // Copies the file's bytes to a new file; fails when to exists.
  virtual bool CopyNewFile(const std::string& from, const std::string& to) = 0;
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
  Unchanged,     // the conversion changed nothing: no backup, no rewrite
  NotAFile,      // nothing or a folder at path
  ReadFailed,    // the file could not be read or decoded
  NotText,       // a zero byte inside the data, an odd UTF-16 length, malformed
                 // UTF-8, or bytes the rewrite could not carry over
  BackupFailed,  // chkBackup checked and the copy into "BackUp" failed
  WriteFailed,
};

// The decoded text of a source file and the code page its rewrite uses
// (empty: code page 932).
struct DecodedSource {
  std::string text;
  std::string codepage;
};

// Decodes file bytes by their byte-order mark and their detected character
// set, with every line end made "\r\n". nullopt when the text would lose
// data: a zero byte (zero code unit) inside it, a UTF-16 body of odd length,
// or malformed UTF-8.
std::optional<DecodedSource> DecodeSourceBytes(std::string_view bytes);

// "\n" alone and "\r" alone become "\r\n".
std::string NormaliseLineEnds(std::string_view text);

// The rewritten file's bytes: FF FE and the text as UTF-16LE, decoded with
// codepage (932 when empty). nullopt when the text holds bytes that the code
// page cannot decode, or the code page is unknown: the rewrite would lose them.
std::optional<std::string> EncodeForRewrite(std::string_view text, std::string_view codepage);

// The road itself.
RoadOutcome ConvertFileRoad(Engine& engine, const std::string& path, FileSystem& fs);
// True when the file was rewritten.
bool ConvertOneFile(Engine& engine, const std::string& path, FileSystem& fs = RealFileSystem());
bool ConvertFile(Engine& engine, const std::string& path, FileSystem& fs = RealFileSystem());

}  // namespace lumivex
