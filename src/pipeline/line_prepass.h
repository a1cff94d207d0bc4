// The line pre-pass that runs before the rule phases and the restore that
// runs after them.
//
// Between the two, the rules see every line without "\r", with "://" and
// every pair of backslashes held by placeholders, "TRUE" as "true", and (when
// chkCommentCompression is checked) comments folded into numbered markers.
//
// Every byte sequence the pre-pass leaves in the text starts with DelChar or
// is the backslash pair BsChar BsChar, and DelChar and BsChar bytes of the
// source are themselves held by a DelChar sequence. So a source holding the
// marker or placeholder bytes comes back byte for byte, and no placeholder
// holds backquotes, which the top-level searches use to mask "()".
#pragma once

#include <string>
#include <string_view>

#include "text/engine.h"

namespace lumivex {

namespace placeholders {
inline constexpr std::string_view Url = "\x7f:";         // "://"
inline constexpr std::string_view Escape = "\x08\x08";   // two backslashes in a row
inline constexpr std::string_view HeldDel = "\x7f\x7f";  // a DelChar byte of the source
inline constexpr std::string_view HeldBs = "\x7f\x08";   // a BsChar byte of the source
}  // namespace placeholders

// Phase 2: the text cut at "\n" (at "\r" in a text without any "\n"); each
// line loses its "\r" bytes, gets its
// placeholders, "TRUE" becomes "true" outside string literals, "//" runs and
// block comments are folded into engine.FoldedComments (chkCommentCompression),
// and the first ")if" or "{if" in the code is split onto a line of its own.
// Every output line ends in "\r\n".
std::string PrepareLines(Engine& engine, std::string_view text);

// Phase 13: each marker whose number indexes engine.FoldedComments is replaced
// by its comment, and every placeholder gets its bytes back. A marker that a
// rule cut or that names no entry stays as it stands.
std::string RestoreLines(Engine& engine, std::string_view text);

}  // namespace lumivex
