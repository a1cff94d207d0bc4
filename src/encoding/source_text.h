// A source file's bytes into the internal text, and the internal text into
// the bytes of the rewritten file: the two places where the file road meets
// character sets.
//
// Every source is decoded once with its own character set and put into the
// internal text character by character (internal_text.h), so no character is
// lost or replaced. Bytes that the detected set cannot read are refused, never
// turned into blanks.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "encoding/detect.h"

namespace lumivex {

struct DecodedSource {
  std::string text;     // the internal text, every line end "\r\n"
  CharsetInfo charset;  // what the bytes were read as
};

// The outcome of reading a source: the text, or why the bytes were refused.
struct SourceReading {
  std::optional<DecodedSource> source;
  std::string refusal;
};

// Decodes file bytes by their byte-order mark and their detected character
// set, and makes every line end "\r\n" (NormaliseLineEnds). Refused: a zero
// byte or zero character, a UTF-16 body of odd length or with a lone
// surrogate, malformed UTF-8, bytes the detected set cannot read, a set no
// converter knows.
SourceReading DecodeSource(std::string_view bytes);

// The rewritten file: FF FE and the internal text as UTF-16LE, every carried
// character put back. nullopt when the text holds a byte sequence that is no
// character (a rule cut one apart).
std::optional<std::string> EncodeRewrite(std::string_view text);

// Line ends as "\r\n". In a text without any "\n", each "\r" ends a line.
// Otherwise "\n" ends a line and every "\r" that does not stand right before
// a "\n" is dropped, as the line pre-pass drops it: "\r\r\n" and "\n\r" are
// one line end each.
std::string NormaliseLineEnds(std::string_view text);

}  // namespace lumivex
