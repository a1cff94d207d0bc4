// Telling the code of a text from its literals and comments.
//
// The rules search operators, braces, semicolons and words in code only: what
// stands in a "..." string, in a '...' literal (a character, a C'r,g,b' colour
// or a D'...' date) or in a comment must neither steer a rule nor be rewritten
// by it. One reader serves them all; where the rules read a text differently,
// CodeSyntax says how. Two-byte characters are read as wholes throughout.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "text/text.h"

namespace lumivex {

// What one byte of a text belongs to.
enum class CodeKind : char {
  Code = 'c',
  Literal = 's',       // a literal, its quotes included
  LineComment = 'l',   // from "//" to the line end
  BlockComment = 'b',  // from "/*" to the "*/" that closes it, across lines
  Trail = 't',         // second byte of a two-byte character, when marked apart
};

using CodeKinds = std::vector<CodeKind>;

// How a text is read. The defaults are the reading of the statement rules.
struct CodeSyntax {
  // "//" opens a comment that runs to the line end. Off for texts that are
  // code parts already, cut from their comments.
  bool lineComments = true;
  // "/*" opens a comment that runs to "*/". Off where the line pre-pass has
  // folded such comments away, or where the text holds none.
  bool blockComments = false;
  // The second byte of a two-byte character is CodeKind::Trail; otherwise it
  // takes the kind of its character.
  bool trailApart = true;
  // A backslash in a literal escapes the whole two-byte character behind it;
  // otherwise only its first byte, and the second is read on its own.
  bool escapeWholeCharacter = true;
  // A literal left open ends at the line end ("\r" or "\n"); otherwise it
  // runs on to its closing quote or the end of the text.
  bool literalsEndAtLineEnd = true;
  // A single quote opens only a one-character literal, 'x' or '\x'; any
  // other single quote is code. For text that still holds the prose of
  // "/* */" comments, where apostrophes abound.
  bool shortCharLiterals = false;
};

// One character as the reader meets it.
struct CodeChar {
  std::size_t at;     // 0-based position of its first byte
  std::size_t width;  // 2 for a two-byte character, else 1
  CodeKind kind;      // never CodeKind::Trail
  bool quote;         // the opening or the closing quote of a literal
};

// Reads a text character by character. A reader keeps where it stands (in
// code, a literal or a comment) from one Read to the next, so a text read in
// pieces cut at its line ends reads as it does whole.
class CodeReader {
 public:
  explicit CodeReader(CodeSyntax syntax = {}) : syntax_(syntax) {}

  // For reading the lines that follow a "/* */" comment left open.
  void EnterBlockComment() { state_ = State::BlockComment; }
  bool InBlockComment() const { return state_ == State::BlockComment; }

  // Calls visit(CodeChar) for each character of text, read on from where the
  // last piece ended. A visit that returns false stops the read. Returns the
  // position behind the last character visited.
  template <class Visit>
  std::size_t Read(std::string_view text, Visit&& visit) {
    std::size_t i = 0;
    while (i < text.size()) {
      const CodeChar ch = Next(text, i);
      i = ch.at + ch.width;
      if constexpr (std::is_same_v<std::invoke_result_t<Visit&, const CodeChar&>, bool>) {
        if (!visit(ch)) break;
      } else {
        visit(ch);
      }
    }
    return i;
  }

 private:
  enum class State : char {
    Code,
    Literal,
    Escaped,       // the character behind a backslash in a literal
    CharLiteral,   // inside a short 'x' or '\x' literal
    LineComment,
    BlockOpened,   // the "*" of the "/*" just met
    BlockComment,
    BlockClosing,  // the "/" of the closing "*/"
  };

  static bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

  // Length of the short character literal at i ('x' or '\x'), 0 when none.
  static std::size_t ShortCharLiteral(std::string_view s, std::size_t i) {
    if (i + 3 < s.size() && s[i + 1] == '\\' && s[i + 3] == '\'') return 4;
    if (i + 2 < s.size() && s[i + 2] == '\'') return 3;
    return 0;
  }

  CodeChar Next(std::string_view text, std::size_t i) {
    const char c = text[i];
    // No byte below 0x81 starts a two-byte character.
    const std::size_t width = static_cast<unsigned char>(c) >= 0x81 && IsSjisPair(text, i) ? 2 : 1;
    for (;;) {
      switch (state_) {
        case State::Code:
          if (width == 2) return {i, 2, CodeKind::Code, false};
          if (c == '"' || (c == '\'' && !syntax_.shortCharLiterals)) {
            state_ = State::Literal;
            quote_ = c;
            return {i, 1, CodeKind::Literal, true};
          }
          if (c == '\'') {
            const std::size_t length = ShortCharLiteral(text, i);
            if (length == 0) return {i, 1, CodeKind::Code, false};
            state_ = State::CharLiteral;
            charLeft_ = length - 1;
            return {i, 1, CodeKind::Literal, true};
          }
          if (c == '/' && i + 1 < text.size()) {
            if (syntax_.lineComments && text[i + 1] == '/') {
              state_ = State::LineComment;
              return {i, 1, CodeKind::LineComment, false};
            }
            if (syntax_.blockComments && text[i + 1] == '*') {
              state_ = State::BlockOpened;
              return {i, 1, CodeKind::BlockComment, false};
            }
          }
          return {i, 1, CodeKind::Code, false};
        case State::Literal:
          if (syntax_.literalsEndAtLineEnd && IsLineEnd(c)) break;
          if (width == 2) return {i, 2, CodeKind::Literal, false};
          if (c == quote_) {
            state_ = State::Code;
            return {i, 1, CodeKind::Literal, true};
          }
          if (c == '\\') state_ = State::Escaped;
          return {i, 1, CodeKind::Literal, false};
        case State::Escaped:
          // A backslash never escapes the line end of a literal that ends there.
          if (syntax_.literalsEndAtLineEnd && IsLineEnd(c)) break;
          state_ = State::Literal;
          return {i, syntax_.escapeWholeCharacter ? width : 1, CodeKind::Literal, false};
        case State::CharLiteral:
          if (--charLeft_ == 0) {
            state_ = State::Code;
            return {i, 1, CodeKind::Literal, true};
          }
          return {i, 1, CodeKind::Literal, false};
        case State::LineComment:
          if (IsLineEnd(c)) break;
          return {i, width, CodeKind::LineComment, false};
        case State::BlockOpened:
          state_ = State::BlockComment;
          return {i, 1, CodeKind::BlockComment, false};
        case State::BlockComment:
          if (c == '*' && i + 1 < text.size() && text[i + 1] == '/') state_ = State::BlockClosing;
          return {i, width, CodeKind::BlockComment, false};
        case State::BlockClosing:
          state_ = State::Code;
          return {i, 1, CodeKind::BlockComment, false};
      }
      // The literal or line comment ended in front of a line end, which is code.
      state_ = State::Code;
    }
  }

  CodeSyntax syntax_;
  State state_ = State::Code;
  char quote_ = 0;
  std::size_t charLeft_ = 0;
};

// One CodeKind per byte of text.
CodeKinds ClassifyCode(std::string_view text, CodeSyntax syntax = {});

// True when needle stands at `at` and every byte of it is code.
bool CodeAt(std::string_view text, std::span<const CodeKind> kinds, std::size_t at,
            std::string_view needle);

// 0-based start of the first occurrence of needle at or after from that ends
// by `to`, never starts on the second byte of a two-byte character, and is
// code in every byte; npos when there is none.
std::size_t FindCode(std::string_view text, std::span<const CodeKind> kinds,
                     std::string_view needle, std::size_t from = 0,
                     std::size_t to = std::string_view::npos);

// True when the length bytes at p stand as a whole word: the toolkit's word
// delimiters (or the text's ends) before and after them.
bool IsWholeWordAt(std::string_view text, std::size_t p, std::size_t length);

// FindCode for a whole word.
std::size_t FindCodeWord(std::string_view text, std::span<const CodeKind> kinds,
                         std::string_view word, std::size_t from = 0);

// True when byte c stands in the code of text.
bool HasCodeByte(std::string_view text, std::span<const CodeKind> kinds, char c);

// A line cut at the first byte of its "//" comment.
struct CodeAndComment {
  std::string_view code;
  std::string_view comment;
};
// kinds: the line's own bytes, as the text around it was classified.
CodeAndComment CutLineComment(std::string_view line, std::span<const CodeKind> kinds);
// The line classified on its own, in the default reading.
CodeAndComment CutLineComment(std::string_view line);

// Braces opened minus braces closed in the code of text. Without
// syntax.trailApart, a second byte "{" or "}" of a two-byte character in
// code counts as well.
int BraceBalance(std::string_view text, CodeSyntax syntax);

// The code with the inside of every "..." and '...' literal and both bytes of
// every two-byte character replaced by "_": same length, so positions found
// in the mask hold in the code, and byte searches for braces, ";" and loop
// words no longer see literal text. The code holds no comments: "//" and
// "/*" are code here, and a literal runs on to its closing quote.
std::string MaskLiterals(std::string_view code);

}  // namespace lumivex
