// The archiver plugin's entry point and results.
//
// Unlha(window, commandLine, buffer, size) extracts an LHA archive. The
// command line is exactly: "x", option tokens (each starting with "-"), then
// two double-quoted paths, the archive and the destination folder; paths may
// hold no double quote and no control byte. window is not used.
//
// The archive is listed first and refused whole when an entry has an absolute
// name, a ".." that would leave the destination, is a symbolic link, or uses
// a method the decoder does not know. Entries are then written into a staging
// folder inside the destination, every length and CRC checked, and moved into
// place only when all of them succeeded; on any failure nothing in the
// destination is replaced and the staging folder is removed. Folders are
// created without following symbolic links; files get mode 0644, or 0755 when
// their header carries an execute bit; no owner and no setuid bit is kept.
//
// The result is 0 on success. A short text saying what happened is copied
// into buffer (NUL-terminated, cut to size).
#pragma once

extern "C" {

enum UnlhaResult {
  kUnlhaOk = 0,
  kUnlhaBadCommand = 1,   // not "x", options and two quoted paths
  kUnlhaCannotOpen = 2,   // archive or destination folder unusable
  kUnlhaRefused = 3,      // an entry that must not be extracted
  kUnlhaBroken = 4,       // truncated or corrupt archive, bad CRC or length
  kUnlhaWriteFailed = 5,  // the staging folder or a move into place failed
};

int Unlha(void* window, const char* commandLine, char* buffer, int size);

}
