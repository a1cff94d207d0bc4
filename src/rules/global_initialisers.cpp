#include "rules/global_initialisers.h"

#include <algorithm>
#include <vector>

#include "rules/and_or.h"
#include "rules/function_heads.h"
#include "rules/global_part.h"
#include "rules/line_walk.h"
#include "text/code_scan.h"
#include "text/line_cursor.h"
#include "text/text.h"

namespace lumivex {

namespace {

constexpr std::string_view kCrLf = "\r\n";

bool Holds(std::string_view text, std::string_view needle) { return PosNth(0, needle, text) > 0; }

// Letters, digits, "_" and two-byte characters: what makes a piece of a line
// code rather than punctuation left over.
bool HoldsCode(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char ch) {
    const auto b = static_cast<unsigned char>(ch);
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') ||
           b == '_' || b >= 0x80;
  });
}

// How the global part is read: "/* */" comments stand in it unless the line
// pre-pass folded them away. A backslash in a literal escapes one byte.
constexpr CodeSyntax kGlobalPartSyntax{.blockComments = true, .escapeWholeCharacter = false};

// Calls visit(i) for every byte of text that stands outside literals and
// comments and is no part of a two-byte character.
template <class Visit>
void ForEachCodeByte(CodeReader& reader, std::string_view text, Visit visit) {
  reader.Read(text, [&](const CodeChar& ch) {
    if (ch.kind == CodeKind::Code && ch.width == 1) visit(ch.at);
  });
}

template <class Visit>
void ForEachCodeByte(std::string_view text, Visit visit) {
  CodeReader reader(kGlobalPartSyntax);
  ForEachCodeByte(reader, text, visit);
}

// 0-based place of the first and of the last ch in the code of text; npos when none.
std::size_t FirstInCode(std::string_view text, char ch) {
  std::size_t at = std::string_view::npos;
  ForEachCodeByte(text, [&](std::size_t i) {
    if (at == std::string_view::npos && text[i] == ch) at = i;
  });
  return at;
}
std::size_t LastInCode(std::string_view text, char ch) {
  std::size_t at = std::string_view::npos;
  ForEachCodeByte(text, [&](std::size_t i) {
    if (text[i] == ch) at = i;
  });
  return at;
}

// True when text holds anything but blanks outside its comments and literals.
bool HoldsCodeOutsideComments(std::string_view text) {
  bool found = false;
  ForEachCodeByte(text, [&](std::size_t i) {
    found = found || static_cast<unsigned char>(text[i]) > 0x20;
  });
  return found;
}

// True when the line, spliced by its last byte, runs on into the next one.
bool EndsWithBackslash(std::string_view line) {
  const std::string_view t = Trim(line);
  return !t.empty() && t.back() == '\\';
}

// The declarators of a declaration: cut at the commas that stand outside
// literals, comments, parentheses, brackets and braces, so the arguments of
// a call and the items of an array initialiser stay together.
std::vector<std::string> SplitDeclarators(std::string_view decl) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  int depth = 0;
  ForEachCodeByte(decl, [&](std::size_t i) {
    switch (decl[i]) {
      case '(': case '[': case '{': ++depth; break;
      case ')': case ']': case '}': --depth; break;
      case ',':
        if (depth <= 0) {
          parts.emplace_back(decl.substr(start, i - start));
          start = i + 1;
        }
        break;
      default: break;
    }
  });
  parts.emplace_back(decl.substr(start));
  return parts;
}

bool StartsWithWord(std::string_view text, std::string_view word) {
  return text.starts_with(word) &&
         (text.size() == word.size() ||
          IsWordDelimiter(static_cast<unsigned char>(text[word.size()]), true));
}

// The text behind the block comments and folded comment markers it begins with.
std::string_view SkipLeadingComments(std::string_view text) {
  for (;;) {
    text = Trim(text);
    std::string_view close = "*/";
    if (!text.starts_with("/*")) {
      if (!text.starts_with(markers::MarkOpen)) return text;
      close = markers::MarkClose;
    }
    const std::size_t end = text.find(close, 2);
    if (end == std::string_view::npos) return text;
    text = text.substr(end + close.size());
  }
}

// A "const" declaration is one too: its initialiser can only stay where it is.
bool StartsWithDeclarationWord(std::string_view trimmed) {
  return std::any_of(kDeclarationWords.begin(), kDeclarationWords.end(),
                     [trimmed](std::string_view w) { return trimmed.starts_with(w); }) ||
         StartsWithWord(trimmed, "const");
}

bool IsMovable(std::string_view initialiser) {
  // An array's "{...}" list cannot become an assignment in init.
  if (Trim(initialiser).starts_with("{")) return false;
  return std::any_of(kMovableCalls.begin(), kMovableCalls.end(),
                     [initialiser](std::string_view call) { return Holds(initialiser, call); });
}

// The declared name in the text before "=": its last word, behind the type
// and any storage words. Comments between the name and the "=" ("bal /* start */ =")
// are passed over: `gapEnd` is where the last of them ends (the name's end
// when there is none).
struct DeclaredName {
  std::size_t start = 0;
  std::size_t end = 0;
  std::size_t gapEnd = 0;
};
DeclaredName FindDeclaredName(std::string_view beforeEq) {
  DeclaredName name;
  std::size_t end = beforeEq.size();
  name.gapEnd = std::string_view::npos;
  for (;;) {
    while (end > 0 && static_cast<unsigned char>(beforeEq[end - 1]) <= 0x20) --end;
    const std::string_view head = beforeEq.substr(0, end);
    std::size_t open = std::string_view::npos;
    if (head.ends_with("*/")) open = head.rfind("/*");
    else if (head.ends_with(markers::MarkClose)) open = head.rfind(markers::MarkOpen);
    if (open == std::string_view::npos) break;
    if (name.gapEnd == std::string_view::npos) name.gapEnd = end;
    end = open;
  }
  name.end = end;
  if (name.gapEnd == std::string_view::npos) name.gapEnd = end;
  name.start = end;
  while (name.start > 0 && static_cast<unsigned char>(beforeEq[name.start - 1]) > 0x20) --name.start;
  return name;
}

// A head at file scope that is no function head of the phases (one beginning
// with "static", or whose "{" the look-ahead did not reach): a "(" with at
// least two words and no "=" before it, and no ";".
bool LooksLikeFunctionHead(std::string_view code) {
  const int paren = PosNth(0, "(", code);
  if (paren < 1 || PosOutsideString(0, ";", code) > 0) return false;
  const std::string_view before = Trim(code.substr(0, static_cast<std::size_t>(paren - 1)));
  if (Holds(before, "=")) return false;
  return std::any_of(before.begin(), before.end(),
                     [](char ch) { return static_cast<unsigned char>(ch) <= 0x20; });
}

class GlobalPartMover {
 public:
  GlobalPartMover(Engine& engine, std::string_view globalPart, std::string& inits)
      : engine_(engine), lines_(std::string(globalPart)), inits_(inits) {
    out_.reserve(globalPart.size() + globalPart.size() / 8);
  }

  std::string Run() {
    bool importBlock = false;
    bool continued = false;   // the line before ended a directive with a backslash
    bool inBlock = false;     // inside a "/* */" comment that spans lines
    while (!lines_.Empty()) {
      std::string line = lines_.Fetch();
      if (continued || inBlock) {
        // The lines of a spliced directive and of a block comment pass whole.
        if (continued) {
          continued = EndsWithBackslash(line);
        } else {
          CodeReader reader(kGlobalPartSyntax);
          reader.EnterBlockComment();
          reader.Read(line, [](const CodeChar&) {});
          inBlock = reader.InBlockComment();
        }
        Pass(line, {});
        continue;
      }
      if (IsCommentLine(line)) {
        Pass(line, {});
        continue;
      }
      LineParts parts = SplitCodeAndComment(line);
      const std::string_view trimmed = Trim(parts.code);
      CodeReader reader(kGlobalPartSyntax);
      reader.Read(parts.code, [](const CodeChar&) {});
      if (reader.InBlockComment()) {
        // A block comment opens here and closes on a later line.
        inBlock = true;
        Pass(line, {});
      } else if (trimmed.starts_with("#import")) {
        // Every line from the first "#import" line to the last one passes.
        Pass(parts.code, parts.comment);
        importBlock = HasImportLine(lines_.Rest());
      } else if (trimmed.starts_with("#") || importBlock || KeepsBlock(parts.code)) {
        // "#property", "#include", "#define" and every other directive pass:
        // none of them is a statement to move into init.
        continued = trimmed.starts_with("#") && EndsWithBackslash(line);
        Pass(parts.code, parts.comment);
      } else if (!trimmed.empty() && !HoldsCodeOutsideComments(parts.code)) {
        Pass(parts.code, parts.comment);  // nothing but a comment
      } else {
        Treat(std::move(parts.code), parts.comment);
      }
    }
    return std::move(out_);
  }

 private:
  void Pass(std::string_view code, std::string_view comment) {
    out_ += code;
    out_ += comment;
    out_ += kCrLf;
  }

  // Functions that stand in the global part (a "static" one, say) and other
  // blocks opened at file scope pass with their bodies: their statements and
  // closing braces are not file scope. A declaration's "{" list is gathered
  // with the declaration instead.
  bool KeepsBlock(std::string_view code) {
    const std::string_view trimmed = Trim(code);
    const int balance = BraceBalance(code, kGlobalPartSyntax);
    const bool head = LooksLikeFunctionHead(code);
    const bool keep = depth_ > 0 || awaitingBody_ || head || trimmed.starts_with("{") ||
                      (balance > 0 && !StartsWithDeclarationWord(trimmed));
    if (!keep) return false;
    if (Holds(code, "{") || Holds(code, ";")) awaitingBody_ = false;
    else if (depth_ == 0 && head) awaitingBody_ = true;
    depth_ = std::max(0, depth_ + balance);
    return true;
  }

  // The line rules from the declaration test on, for a code part and for
  // what a statement or a declaration leaves behind its ";".
  void Treat(std::string code, std::string comment) {
    for (;;) {
      const std::string_view trimmed = Trim(code);
      if (StartsWithDeclarationWord(SkipLeadingComments(trimmed))) {
        std::string further;
        if (!Declaration(std::move(code), comment, further)) return;
        code = std::move(further);
        continue;
      }
      if (trimmed.empty() || Holds(code, markers::MarkOpen)) {
        Pass(code, comment);
        return;
      }
      std::string rest;
      Statement(std::move(code), comment, rest);
      if (!HoldsCode(rest)) return;
      code = std::move(rest);
    }
  }

  // A statement at file scope is commented out and collected. Leaves in
  // `rest` what followed its ";".
  void Statement(std::string code, const std::string& comment, std::string& rest) {
    const std::size_t semi = FirstInCode(code, ';');
    if (semi != std::string::npos) {
      rest = code.substr(semi + 1);
      code.resize(semi);
    }
    if (HoldsCode(code)) {
      out_ += "//";
      out_ += code;
      out_ += ';';
      Pass({}, comment);
      inits_ += code;
      inits_ += ';';
      inits_ += kCrLf;
    } else if (!comment.empty() && !HoldsCode(rest)) {
      Pass({}, comment);  // a stray "}" goes, its comment stays, once
    }
    engine_.TextChanged = true;
  }

  // Rewrites a declaration; returns true with further statements that stood
  // behind it on its line in `further`. Only moved initialisers leave it
  // (and tabs and the indent of its first line), so a declaration rebuilt
  // once comes out the same when rebuilt again.
  bool Declaration(std::string decl, std::string& comment, std::string& further) {
    // A declaration runs on over the following lines up to the line whose
    // code brings its ";". They keep their line ends and comments, the first
    // line's comment included.
    bool ends = false;
    CodeReader reader(kGlobalPartSyntax);
    ForEachCodeByte(reader, decl, [&](std::size_t i) { ends = ends || decl[i] == ';'; });
    const bool gathered = !ends && !lines_.Empty();
    if (gathered) {
      decl += comment;
      while (!ends && !lines_.Empty()) {
        const std::size_t from = decl.size();
        decl += kCrLf;
        decl += lines_.FetchView();
        const std::string_view added = std::string_view(decl).substr(from);
        ForEachCodeByte(reader, added, [&](std::size_t i) { ends = ends || added[i] == ';'; });
      }
    }
    // Only a ";" of code ends it: one in a comment or a literal is text.
    std::string proper = std::move(decl);
    std::string tail;
    if (const std::size_t last = LastInCode(proper, ';'); last != std::string::npos) {
      tail = proper.substr(last + 1);
      proper.resize(last);
    }
    bool hasFurther = false;
    if (const std::size_t first = FirstInCode(proper, ';'); first != std::string::npos) {
      further = proper.substr(first + 1) + ";";
      proper.resize(first);
      hasFurther = true;
    }

    std::string kept;
    const std::vector<std::string> declarators = SplitDeclarators(proper);
    bool constant = false;
    for (std::size_t i = 0; i < declarators.size(); ++i) {
      std::string d = declarators[i];
      if (i == 0) {
        // A constant can be given its value nowhere else.
        constant = PosWord(0, "const", std::string_view(d).substr(0, FirstInCode(d, '='))) > 0;
        d = ReplaceText(engine_, 0, "    ", "\t", d);
        d.erase(0, static_cast<std::size_t>(Trim(d).data() - d.data()));
      }
      const std::size_t at = FirstInCode(d, '=');
      if (!constant && at != std::string::npos &&
          IsMovable(std::string_view(d).substr(at + 1))) {
        const std::string_view name = std::string_view(d).substr(0, at);
        const DeclaredName n = FindDeclaredName(name);
        kept += name;
        std::string assignment(name.substr(n.start, n.end - n.start));
        assignment += name.substr(n.gapEnd);
        assignment += std::string_view(d).substr(at);
        inits_ += "    ";
        inits_ += Trim(assignment);
        inits_ += ';';
        inits_ += kCrLf;
        // The file must be written back, or the declaration stays rejected.
        engine_.TextChanged = true;
      } else {
        kept += d;
      }
      if (i + 1 < declarators.size()) kept += ',';
    }
    kept += ';';
    kept += tail;
    // A gathered declaration carries its comments inside it.
    if (gathered) comment.clear();
    if (hasFurther) {
      Pass(kept, {});
      return true;
    }
    Pass(kept, comment);
    return false;
  }

  Engine& engine_;
  LineCursor lines_;
  std::string& inits_;
  std::string out_;
  int depth_ = 0;
  bool awaitingBody_ = false;
};

bool IsInitName(std::string_view name) {
  const std::string_view n = Trim(name);
  return n == "init" || n == "OnInit";
}

// Puts inits at the start of the body: behind the joined head's line end, or
// behind its "{" when the body goes on on the head's line.
void InsertIntoBody(std::string& head, std::string_view inits) {
  const int brace = PosNth(0, "{", head);
  if (brace > 0 && HoldsCode(std::string_view(head).substr(static_cast<std::size_t>(brace)))) {
    const auto at = static_cast<std::size_t>(brace);
    std::string body = head.substr(at);
    head.resize(at);
    head += kCrLf;
    head += inits;
    head += body;
    return;
  }
  if (!head.ends_with(kCrLf)) head += kCrLf;
  head += inits;
}

}  // namespace

std::string MoveGlobalInitialisers(Engine& engine, std::string_view globalPart,
                                   std::string& inits) {
  inits.clear();
  if (!engine.Checked(kGlobalScopeSwitch)) return std::string(globalPart);
  return GlobalPartMover(engine, globalPart, inits).Run();
}

bool HasInitFunction(std::string_view text) {
  if (!Holds(text, "init") && !Holds(text, "OnInit")) return false;
  bool found = false;
  WalkCodeLines(text, [&found](std::string& code, LineCursor& unread) {
    if (found || !IsFunctionHead(code, unread)) return;
    JoinHead(code, unread);
    found = IsInitName(HeadName(code));
  });
  return found;
}

std::string InsertGlobalInitsIntoInit(Engine& engine, std::string_view text,
                                      std::string_view inits) {
  if (inits.empty() && !engine.Checked(kGlobalScopeSwitch)) return std::string(text);
  bool inserted = false;
  return WalkCodeLines(text, [&](std::string& code, LineCursor& unread) {
    if (!IsFunctionHead(code, unread)) return;
    JoinHead(code, unread);
    if (inserted || inits.empty() || !IsInitName(HeadName(code))) return;
    InsertIntoBody(code, inits);
    // The walk writes a line end behind the head, which leaves an empty line
    // after the statements. None is left where the AND/OR grouping would
    // drop it: a second conversion would take it away.
    const std::string_view rest = unread.Rest();
    if (code.ends_with(kCrLf) && WantsNoEmptyLineBefore(rest.substr(0, rest.find(kCrLf))))
      code.resize(code.size() - kCrLf.size());
    inserted = true;
  });
}

}  // namespace lumivex
