#include "rules/global_initialisers.h"

#include <algorithm>
#include <vector>

#include "rules/function_heads.h"
#include "rules/global_part.h"
#include "rules/line_walk.h"
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

// Calls visit(i) for every byte of text that stands outside "..." and '...'
// literals and "//" comments (a comment runs to the line end).
template <class Visit>
void ForEachCodeByte(std::string_view text, Visit visit) {
  char quote = 0;
  bool comment = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    if (comment) {
      comment = ch != '\n';
      continue;
    }
    if (IsSjisPair(text, i)) {
      ++i;
      continue;
    }
    if (quote != 0) {
      if (ch == '\\') ++i;
      else if (ch == quote) quote = 0;
      continue;
    }
    if (ch == '"' || ch == '\'') {
      quote = ch;
    } else if (ch == '/' && i + 1 < text.size() && text[i + 1] == '/') {
      comment = true;
      ++i;
    } else {
      visit(i);
    }
  }
}

// "{" less "}" in code.
int BraceBalance(std::string_view code) {
  int balance = 0;
  ForEachCodeByte(code, [&](std::size_t i) {
    if (code[i] == '{') ++balance;
    if (code[i] == '}') --balance;
  });
  return balance;
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

bool StartsWithDeclarationWord(std::string_view trimmed) {
  return std::any_of(kDeclarationWords.begin(), kDeclarationWords.end(),
                     [trimmed](std::string_view w) { return trimmed.starts_with(w); });
}

bool IsMovable(std::string_view initialiser) {
  // An array's "{...}" list cannot become an assignment in init.
  if (Trim(initialiser).starts_with("{")) return false;
  return std::any_of(kMovableCalls.begin(), kMovableCalls.end(),
                     [initialiser](std::string_view call) { return Holds(initialiser, call); });
}

// Start of the declared name in the text before "=": the last word, behind
// the type and any storage words.
std::size_t NameStart(std::string_view beforeEq) {
  std::size_t end = beforeEq.size();
  while (end > 0 && static_cast<unsigned char>(beforeEq[end - 1]) <= 0x20) --end;
  std::size_t start = end;
  while (start > 0 && static_cast<unsigned char>(beforeEq[start - 1]) > 0x20) --start;
  return start;
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
    while (!lines_.Empty()) {
      std::string line = lines_.Fetch();
      if (IsCommentLine(line)) {
        Pass(line, {});
        continue;
      }
      LineParts parts = SplitCodeAndComment(line);
      const std::string_view trimmed = Trim(parts.code);
      if (trimmed.starts_with("#import")) {
        // Every line from the first "#import" line to the last one passes.
        Pass(parts.code, parts.comment);
        importBlock = HasImportLine(lines_.Rest());
      } else if (trimmed.starts_with("#") || importBlock || KeepsBlock(parts.code)) {
        // "#property", "#include", "#define" and every other directive pass:
        // none of them is a statement to move into init.
        Pass(parts.code, parts.comment);
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
    const int balance = BraceBalance(code);
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
  void Treat(std::string code, const std::string& comment) {
    for (;;) {
      const std::string_view trimmed = Trim(code);
      if (StartsWithDeclarationWord(trimmed)) {
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
    const int semi = PosOutsideString(0, ";", code);
    if (semi > 0) {
      rest = code.substr(static_cast<std::size_t>(semi));
      code.resize(static_cast<std::size_t>(semi - 1));
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
  // behind it on its line in `further`.
  bool Declaration(std::string decl, const std::string& comment, std::string& further) {
    // A declaration runs on over the following lines up to its ";"; the first
    // of them is put directly behind the code part.
    if (PosInCode(0, ";", decl) == 0) {
      while (!lines_.Empty()) {
        const std::string_view next = lines_.FetchView();
        const bool ends = PosInCode(0, ";", next) > 0;
        decl += next;
        decl += kCrLf;
        if (ends) break;
      }
    }
    std::string tail = std::move(decl);
    std::string proper = FetchUpToLast(";", tail);
    bool hasFurther = false;
    if (PosInCode(0, ";", proper) > 0) {
      std::string after = std::move(proper);
      proper = FetchInCode(";", after);
      further = std::move(after) + ";";
      hasFurther = true;
    }

    std::string kept;
    const std::vector<std::string> declarators = SplitDeclarators(proper);
    for (std::size_t i = 0; i < declarators.size(); ++i) {
      std::string d = declarators[i];
      if (i == 0) {
        d = ReplaceText(engine_, 0, "    ", "\t", d);
        SplitIndent(d);
      }
      const int eq = PosInCode(0, "=", d);
      if (eq > 0 && IsMovable(std::string_view(d).substr(static_cast<std::size_t>(eq)))) {
        const std::string_view before = std::string_view(d).substr(0, static_cast<std::size_t>(eq - 1));
        kept += before;
        inits_ += "    ";
        inits_ += Trim(std::string_view(d).substr(NameStart(before)));
        inits_ += ';';
        inits_ += kCrLf;
        // The file must be written back, or the declaration stays rejected.
        engine_.TextChanged = true;
      } else {
        kept += d;
      }
      if (i + 1 < declarators.size()) kept += ", ";
    }
    kept += ';';
    kept += tail;
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
    inserted = true;
  });
}

}  // namespace lumivex
