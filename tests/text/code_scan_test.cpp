// The code reader: which bytes are code, literal or comment under each
// reading, and the searches over code built on it.
#include "text/code_scan.h"

#include <gtest/gtest.h>

#include <string>

namespace lumivex {
namespace {

// One letter per byte: c code, s literal, l "//" comment, b "/* */" comment,
// t second byte of a two-byte character.
std::string Kinds(std::string_view text, CodeSyntax syntax = {}) {
  std::string out;
  for (const CodeKind kind : ClassifyCode(text, syntax)) out += static_cast<char>(kind);
  return out;
}

struct Classified {
  std::string text, kinds;
};

void ExpectKinds(CodeSyntax syntax, std::initializer_list<Classified> cases) {
  for (const Classified& c : cases) EXPECT_EQ(Kinds(c.text, syntax), c.kinds) << c.text;
}

// 0x95 0x5C is one character whose second byte is "\"; 0x83 0x7B one whose second byte is "{".
const std::string kHyou = "\x95\x5c";
const std::string kBo = "\x83\x7b";

// The statement rules' reading, the default.
TEST(ClassifyCode, DefaultReading) {
  ExpectKinds({}, {
      {"a = \"x;y\"; // c", "ccccsssssccllll"},
      {"c = C'1,2,3' + '}';", "cccccssssssscccsssc"},
      {"s = \"a\\\"b\" + x", "ccccsssssscccc"},
      {"\"//\" // \"x\"", "sssscllllll"},
      {"'it' \"it's\"", "sssscssssss"},
      // A literal or a comment left open ends at the line end.
      {"\"ab\r\nc // d\r\ne", "sssccccllllccc"},
      // A backslash never escapes the line end of its literal.
      {"\"a\\\r\nb\"", "ssscccs"},
      // "/* */" is code in this reading.
      {"/* x */", "ccccccc"},
  });
}

// A two-byte character is read whole: its second byte starts nothing and is
// marked apart, unless the reading gives it its character's kind.
TEST(ClassifyCode, TwoByteCharacters) {
  ExpectKinds({}, {
      {kBo + ";", "ctc"},
      {"\"" + kBo + "\"" + kBo, "sstsct"},
      {"// " + kBo, "llllt"},
      // The escaped character is taken whole: the literal closes at its quote.
      {"\"\\" + kHyou + "\"x", "ssstsc"},
      {"\x81", "c"},  // a lead byte at the end is no pair
  });
  ExpectKinds({.trailApart = false}, {
      {kBo + "\"" + kBo + "\" // " + kBo, "ccssssclllll"},
  });
}

// Each option changes the default reading in one respect.
TEST(ClassifyCode, Options) {
  ExpectKinds({.blockComments = true}, {
      {"a /* b\r\nc */ d", "ccbbbbbbbbbbcc"},
      {"/*/ x */y", "bbbbbbbbc"},  // the "*" of "/*" closes nothing
      {"// a /* b", "lllllllll"},
      {"\"/*\" x", "sssscc"},
  });
  ExpectKinds({.lineComments = false}, {
      {"a // \"b\"", "cccccsss"},
  });
  // Escaping one byte, the second byte of the character is read on its own:
  // a "\" there escapes the quote, and the literal runs to the line end.
  ExpectKinds({.escapeWholeCharacter = false}, {
      {"\"\\" + kHyou + "\"x\r\ny", "ssssssccc"},
      {"\"\\" + kBo + "\"x", "sssssc"},
  });
  ExpectKinds({.literalsEndAtLineEnd = false}, {
      {"\"ab\r\ncd\"e", "ssssssssc"},
      {"\"a\\\r\"b", "sssssc"},
  });
  ExpectKinds({.shortCharLiterals = true}, {
      {"don't 'x' '\\n' \"y\"", "ccccccssscsssscsss"},
      {"it's 'ab'", "ccccccccc"},
  });
}

// A reader keeps its place between pieces: a text read line by line reads
// as it does whole.
TEST(CodeReader, ReadsOnAcrossPieces) {
  const CodeSyntax syntax{.blockComments = true};
  CodeReader reader(syntax);
  std::string kinds;
  const auto read = [&](std::string_view piece) {
    reader.Read(piece, [&](const CodeChar& ch) { kinds.append(ch.width, static_cast<char>(ch.kind)); });
  };
  read("a /* b");
  EXPECT_TRUE(reader.InBlockComment());
  read("\r\nc */ \"d");
  EXPECT_FALSE(reader.InBlockComment());
  read("\r\ne");
  EXPECT_EQ(kinds, Kinds("a /* b\r\nc */ \"d\r\ne", syntax));

  CodeReader open(syntax);
  open.EnterBlockComment();
  open.Read("x */ y", [](const CodeChar&) {});
  EXPECT_FALSE(open.InBlockComment());
}

TEST(CodeReader, StopsWhereTheVisitSays) {
  std::string seen;
  const std::size_t end = CodeReader().Read("ab\"c\"d", [&](const CodeChar& ch) {
    seen += "ab\"c\"d"[ch.at];
    return !ch.quote;
  });
  EXPECT_EQ(seen, "ab\"");
  EXPECT_EQ(end, 3u);
}

TEST(CodeSearches, FindCodeAndWords) {
  const std::string text = "x = \"if\"; // if\r\nif (a" + kBo + "{) iff {";
  const CodeKinds kinds = ClassifyCode(text);
  EXPECT_EQ(FindCode(text, kinds, "if"), 17u);
  EXPECT_EQ(FindCode(text, kinds, "{"), 24u);  // not the second byte of the character
  EXPECT_EQ(FindCode(text, kinds, "if", 18), 27u);
  EXPECT_EQ(FindCode(text, kinds, "iff", 0, 29), std::string_view::npos);  // must end by `to`
  EXPECT_EQ(FindCode(text, kinds, ""), std::string_view::npos);
  EXPECT_EQ(FindCodeWord(text, kinds, "if", 18), std::string_view::npos);
  EXPECT_EQ(FindCodeWord(text, kinds, "iff"), 27u);
  EXPECT_TRUE(CodeAt(text, kinds, 17, "if ("));
  EXPECT_FALSE(CodeAt(text, kinds, 5, "if"));
  EXPECT_FALSE(CodeAt(text, kinds, 23, "{"));  // the second byte of the character
  EXPECT_TRUE(HasCodeByte(text, kinds, ';'));
  EXPECT_FALSE(HasCodeByte("\"a;\" // ;", ClassifyCode("\"a;\" // ;"), ';'));
}

TEST(CodeSearches, IsWholeWordAt) {
  for (const auto& [text, p, length, whole] :
       {std::tuple{"int x", 0, 3, true}, {"print", 2, 3, false}, {"x[a]", 2, 1, true},
        {"a_b", 0, 1, false}, {"\r\nab\r\n", 2, 2, true}}) {
    EXPECT_EQ(IsWholeWordAt(text, static_cast<std::size_t>(p), static_cast<std::size_t>(length)),
              whole)
        << text;
  }
}

TEST(CodeSearches, CutLineComment) {
  for (const auto& [line, code] : {std::pair{"a; // b", "a; "}, {"s = \"//\"; // c", "s = \"//\"; "},
                                  {"c = '/' / 2", "c = '/' / 2"}, {"// all", ""}}) {
    const CodeAndComment parts = CutLineComment(line);
    EXPECT_EQ(parts.code, code) << line;
    EXPECT_EQ(std::string(parts.code) + std::string(parts.comment), line);
  }
  // Cut by the kinds of a whole text: the line opens inside a block comment.
  const std::string text = "/* a\r\n// b */ c; // d";
  const CodeKinds kinds = ClassifyCode(text, {.blockComments = true});
  const std::string_view line = std::string_view(text).substr(6);
  EXPECT_EQ(CutLineComment(line, std::span(kinds).subspan(6)).code, "// b */ c; ");
}

TEST(CodeSearches, BraceBalance) {
  const CodeSyntax blocks{.blockComments = true};
  for (const auto& [text, balance] : {std::pair<std::string, int>{"{ \"}\" '}' // }", 1},
                                      {"} /* { */ }", -2}, {"{{}", 1}, {kBo + "{", 1}}) {
    EXPECT_EQ(BraceBalance(text, blocks), balance) << text;
  }
  // Read as code, the second byte "{" of a character counts too.
  EXPECT_EQ(BraceBalance(kBo + "{", {.blockComments = true, .trailApart = false}), 2);
}

TEST(MaskLiterals, HidesLiteralInsidesKeepingPositions) {
  EXPECT_EQ(MaskLiterals("a(\"{;}\", '}') { s = \"a\\\"}\"; }"),
            "a(\"___\", '_') { s = \"____\"; }");
  EXPECT_EQ(MaskLiterals("\x82\x7b; \"open {"), "__; \"______");  // "{" as second byte; unclosed
  // Comments are code here, and a literal runs on over the line end.
  EXPECT_EQ(MaskLiterals("x; // it's\r\n{ 'y'"), "x; // it'_____'y'");
  EXPECT_EQ(MaskLiterals("\"\\" + kHyou + "\"; }"), "\"_______");
}

}  // namespace
}  // namespace lumivex
