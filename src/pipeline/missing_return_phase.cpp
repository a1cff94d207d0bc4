// Phase 6: function heads are found by their look-ahead, the global part is
// treated at the first of them, return statements are fitted to their
// function's type, and a value function that ends without a return gets one.
//
// A function ends at the "}" that closes the "{" of its head, so what follows
// it before the next head (a global array's initialiser) is none of its body.
// Where the braces never balance, it ends at the last "}" before the next
// head, and the last function at the last line of the text that holds a "}".
#include <algorithm>
#include <array>
#include <vector>

#include "pipeline/phases.h"
#include "rules/function_heads.h"
#include "rules/global_initialisers.h"
#include "rules/global_part.h"
#include "rules/line_walk.h"
#include "text/code_scan.h"
#include "text/line_cursor.h"
#include "text/text.h"

namespace lumivex {

namespace {

constexpr std::string_view kCrLf = "\r\n";
// Lines a head is looked at with once its window holds ")".
constexpr int kReturnLookAhead = 5;

bool Holds(std::string_view text, std::string_view needle) { return PosNth(0, needle, text) > 0; }

bool IsValueType(std::string_view type) { return !type.empty() && type != "void"; }

// The default return value of a type, read from its edit field
// ("int" -> "txtInt", "datetime" -> "txtDatetime") each time it is used.
std::string DefaultValue(const Engine& engine, std::string_view type) {
  std::string field = "txt";
  field += static_cast<char>(type[0] - 'a' + 'A');
  field += type.substr(1);
  return engine.Text(field);
}

// Cuts the last line off text: what follows its last "\r\n", or "" (text
// left whole) when it holds none.
std::string_view CutLastLine(std::string_view& text) {
  const std::size_t p = text.rfind(kCrLf);
  if (p == std::string_view::npos) return {};
  const std::string_view line = text.substr(p + 2);
  text = text.substr(0, p);
  return line;
}

bool IsIdentifierByte(char ch) {
  const auto b = static_cast<unsigned char>(ch);
  return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_';
}

// In a void function every "return(...)" loses its value: the text from the
// "(" that follows "return" to the statement's ";" goes. Literals are looked
// through, not into. Returns true when it cut something.
bool DropReturnValues(std::string& code) {
  static constexpr std::array<std::string_view, 4> kValued = {"return(", "return (", "return  (",
                                                              "return\t("};
  std::string mask = MaskLiterals(code);
  bool cut = false;
  std::size_t from = 0;
  for (;;) {
    std::size_t best = std::string::npos;
    std::size_t paren = 0;
    for (std::string_view form : kValued) {
      std::size_t p = from;
      // "myreturn(" is a call of another function, not a return.
      while ((p = mask.find(form, p)) != std::string::npos && p > 0 && IsIdentifierByte(mask[p - 1]))
        ++p;
      if (p < best) {
        best = p;
        paren = p + form.size() - 1;
      }
    }
    if (best == std::string::npos) return cut;
    const std::size_t semi = mask.find(';', paren);
    if (semi == std::string::npos) return cut;  // the value runs on to the next line: left alone
    code.erase(paren, semi - paren);
    mask.erase(paren, semi - paren);
    cut = true;
    from = paren + 1;
  }
}

// The head as the type word begins it: a leading "static" is passed over.
std::string_view WithoutStatic(std::string_view code) {
  const std::string_view trimmed = Trim(code);
  if (trimmed.size() > 7 && trimmed.starts_with("static") &&
      (trimmed[6] == ' ' || trimmed[6] == '\t')) {
    return Trim(trimmed.substr(7));
  }
  return code;
}

bool HoldsWord(std::string_view text, std::string_view word) {
  for (std::size_t p = text.find(word); p != std::string_view::npos; p = text.find(word, p + 1)) {
    const bool before = p == 0 || !IsIdentifierByte(text[p - 1]);
    const bool after = p + word.size() == text.size() || !IsIdentifierByte(text[p + word.size()]);
    if (before && after) return true;
  }
  return false;
}

// The bare returns of a code part: "return" as a word outside literals,
// then blanks, block comments or folded comment markers, then ";". Each is
// [start, end) with end behind the ";" and gapEnd behind the last comment.
struct BareReturn {
  std::size_t start, gapEnd, end;
};
std::vector<BareReturn> FindBareReturns(std::string_view code) {
  static constexpr std::string_view kWord = "return";
  const std::string mask = MaskLiterals(code);
  std::vector<BareReturn> found;
  for (std::size_t p = mask.find(kWord); p != std::string::npos; p = mask.find(kWord, p + 1)) {
    if (p > 0 && IsIdentifierByte(mask[p - 1])) continue;
    std::size_t i = p + kWord.size();
    std::size_t gapEnd = i;
    for (;;) {
      while (i < mask.size() && (mask[i] == ' ' || mask[i] == '\t')) ++i;
      const std::string_view rest = std::string_view(mask).substr(i);
      std::string_view open = "/*", close = "*/";
      if (!rest.starts_with(open)) {
        open = markers::MarkOpen;
        close = markers::MarkClose;
        if (!rest.starts_with(open)) break;
      }
      const std::size_t c = rest.find(close, open.size());
      if (c == std::string_view::npos) break;
      i += c + close.size();
      gapEnd = i;
    }
    if (i < mask.size() && mask[i] == ';') found.push_back({p, gapEnd, i + 1});
  }
  return found;
}

// Every bare return of the code becomes "return" + its comments + " (" +
// value + ");": "return;" and "return ;" give "return (0);", "return /* a */;"
// gives "return /* a */ (0);". True when there was one.
bool ReplaceBareReturns(std::string& code, std::string_view value) {
  const std::vector<BareReturn> found = FindBareReturns(code);
  if (found.empty()) return false;
  std::string out;
  std::size_t from = 0;
  for (const BareReturn& r : found) {
    out.append(code, from, r.start - from);
    out += "return";
    const std::string_view gap = std::string_view(code).substr(r.start + 6, r.gapEnd - r.start - 6);
    const std::string_view comments = Trim(gap);
    if (!comments.empty()) {
      out += ' ';
      out += comments;
    }
    out += " (";
    out += value;
    out += ");";
    from = r.end;
  }
  out.append(code, from);
  code = std::move(out);
  return true;
}

class MissingReturnPhase {
 public:
  MissingReturnPhase(Engine& engine, std::string_view text)
      : engine_(engine), text_(text), unread_(std::string(text)) {
    out_.reserve(text.size() + text.size() / 8);
    std::string rest(text);
    lastBrace_ = Holds(text, "}") ? FetchUpToLast("}", rest).size() : std::string::npos;
  }

  std::string Run(std::string& globalSection, std::string& globalInits) {
    while (!unread_.Empty()) {
      std::string line = unread_.Fetch();
      if (IsCommentLine(line)) {
        Append(line);
        continue;
      }
      LineParts parts = SplitCodeAndComment(line);
      seenBefore_ = returnSeen_;
      switch (JudgeHead(WithoutStatic(parts.code), unread_, kReturnLookAhead)) {
        case HeadKind::Head:
          FunctionHead(std::move(parts.code), parts.comment, globalSection, globalInits);
          continue;
        case HeadKind::Initialiser:
        case HeadKind::NotHead:
          Append(parts.code + parts.comment);
          continue;
        case HeadKind::NotHeadLike:
          break;
      }
      if (Holds(parts.code, "return")) {
        ReturnLine(parts.code, parts.comment);
      } else if (Holds(parts.code, "}")) {
        ClosingBraceLine(parts.code);
      }
      Finish(parts.code + parts.comment);
    }
    out_ += pending_;
    return std::move(out_);
  }

 private:
  void Append(std::string_view line) {
    TrackBraces(line);
    if (!firstHead_) {
      global_ += line;
      global_ += kCrLf;
    }
    pending_ += line;
    pending_ += kCrLf;
  }

  // Appends a line and enters it in the recent lines, newest first; an empty
  // line moves the older entries on without entering itself.
  void Finish(std::string_view line) {
    Append(line);
    if (!recent_[1].empty()) recent_[2] = recent_[1];
    if (!recent_[0].empty()) recent_[1] = recent_[0];
    if (!line.empty()) recent_[0] = line;
  }

  // Follows the braces of the code of a line about to be appended to the
  // pending text, and notes where the current function's closing "}" stands
  // and whether a return was seen up to it.
  void TrackBraces(std::string_view line) {
    if (!firstHead_ || closeAt_ != std::string::npos) return;
    const std::string mask = MaskLiterals(line);
    const std::size_t end = std::min(mask.find("//"), mask.size());
    for (std::size_t i = 0; i < end; ++i) {
      if (mask[i] == '{') {
        ++depth_;
      } else if (mask[i] == '}' && depth_ > 0 && --depth_ == 0) {
        closeAt_ = pending_.size() + i;
        closeLineAt_ = pending_.size();
        returnSeenAtClose_ = seenBefore_ || Holds(std::string_view(mask).substr(0, i), "return");
        return;
      }
    }
  }

  void FunctionHead(std::string code, const std::string& comment, std::string& globalSection,
                    std::string& globalInits) {
    if (!firstHead_) {
      std::string global = std::move(global_);
      // Without a function to receive them the initialisers stay where they are.
      if (engine_.Checked(kGlobalScopeSwitch) && HasInitFunction(text_))
        global = MoveGlobalInitialisers(engine_, global, globalInits);
      if (engine_.Checked("chkInvalidIndexValueHeader")) global = FixInvalidIndexValue(engine_, global);
      out_ += global;
      globalSection = std::move(global);
      pending_.clear();
      firstHead_ = true;
    }
    out_ += pending_;
    flushed_ = std::move(pending_);
    pending_.clear();

    JoinHead(code, unread_);
    const std::string_view head = WithoutStatic(code);
    curType_ = HeadType(head);
    curName_ = HeadName(head);
    // A one-byte name, or the second of two functions with the same name,
    // leaves the function before it unchecked.
    if (prevName_ != curName_ && prevName_.size() >= 2) {
      if (returnSeen_) returnSeen_ = false;
      else EndCheckAtHead();
    }
    prevType_ = curType_;
    prevName_ = curName_;
    depth_ = 0;
    closeAt_ = closeLineAt_ = std::string::npos;
    seenBefore_ = false;
    Finish(code + comment);
  }

  void ReturnLine(std::string& code, const std::string& comment) {
    // "   count = count + 1; return;" is cut in two lines, never inside a
    // literal. The cut goes on over what is left, line as it will be written
    // (the first statement's indent in front of a rest that was fitted), until
    // no further cut applies, so a converted line is never cut again.
    bool cut = false;
    for (;;) {
      const int semi = PosOutsideString(0, ";", code);
      if (semi < 1) break;
      std::string first = code.substr(0, static_cast<std::size_t>(semi - 1));
      std::string rest = code.substr(static_cast<std::size_t>(semi));
      if (!Holds(rest, "return") || first.size() <= 10) break;
      const std::string indent = SplitIndent(first);
      // The first statement may return too ("if (a) return(1); else ...").
      std::string line = indent + first + ";";
      FitReturns(line);
      Finish(line + comment);
      code = std::move(rest);
      if (FitReturns(code)) code.insert(0, indent);
      cut = true;
    }
    if (!cut) FitReturns(code);
    returnSeen_ = true;
  }

  // A void function's returns lose their value; "return;" in a value
  // function gets the type's default. True when the line is one to fit.
  bool FitReturns(std::string& code) {
    if (FindBareReturns(code).empty() && !(curType_ == "void" && Holds(code, "return")))
      return false;
    if (curType_ == "void") {
      if (DropReturnValues(code)) engine_.TextChanged = true;
    } else if (!curType_.empty()) {
      if (ReplaceBareReturns(code, DefaultValue(engine_, curType_))) engine_.TextChanged = true;
    }
    return true;
  }

  void ClosingBraceLine(std::string& code) {
    const std::size_t done = text_.size() - unread_.Rest().size();
    if (lastBrace_ != std::string::npos && lastBrace_ >= done) {
      returnSeen_ = false;
    } else if (closeAt_ != std::string::npos) {
      // The last function closed on an earlier line: this "}" belongs to
      // something after it (a global array's initialiser), never to the function.
      if (!returnSeenAtClose_) EndCheckAtClose();
    } else if (!returnSeen_) {
      EndCheckAtLastBrace(pending_, code);
    }
  }

  // The last function, closed on an earlier line of the pending text.
  void EndCheckAtClose() {
    const std::size_t lineEnd = std::min(pending_.find(kCrLf, closeAt_), pending_.size());
    std::string closing = pending_.substr(closeLineAt_, lineEnd - closeLineAt_);
    if (!EndCheckAtLastBrace(std::string_view(pending_).substr(0, closeLineAt_), closing)) return;
    pending_.replace(closeLineAt_, lineEnd - closeLineAt_, closing);
  }

  // Whether the function that ends in the flushed text returns at its end.
  bool EndsWithReturn(std::string_view body) const {
    if (body.find(kCrLf) == std::string_view::npos) {
      // The whole function on its head's line ("int One() { return(1); }").
      const std::string mask = MaskLiterals(body);
      const std::size_t brace = mask.find('{');
      return brace != std::string::npos && HoldsWord(std::string_view(mask).substr(brace), "return");
    }
    if (TailHasReturn(body)) return true;
    for (const std::string& line : recent_) {
      if (Trim(line).starts_with("return")) return true;
    }
    std::string_view rest = body;
    const std::string_view l0 = CutLastLine(rest);
    const std::string_view l1 = CutLastLine(rest);
    const std::string_view l2 = CutLastLine(rest);
    // The earliest of the three lines that holds the needle decides.
    const auto pick = [&](std::string_view needle) {
      for (std::string_view line : {l2, l1, l0}) {
        if (const int p = PosNth(0, needle, line); p > 0) return p;
      }
      return 0;
    };
    const int r = pick("return");
    const int q = pick("}");
    // A "return" right of a "}" is closed off in an inner block.
    return r > 0 && !(q > 0 && r > q);
  }

  // The function before the current head, now at the end of the output. It
  // ends at its own closing "}"; lines after it (a global array's
  // initialiser) are no part of it.
  void EndCheckAtHead() {
    if (!Holds(flushed_, "}")) return;
    std::string body;
    if (closeAt_ != std::string::npos && closeAt_ < flushed_.size()) {
      body = flushed_.substr(0, closeAt_);
    } else {
      std::string rest = flushed_;
      body = FetchUpToLast("}", rest);
    }
    if (EndsWithReturn(body) || !IsValueType(prevType_)) return;
    std::size_t at = out_.size() - flushed_.size() + body.size();
    std::string line = "   return(" + DefaultValue(engine_, prevType_) + ");\r\n";
    // Code before the closing "}" on its line ("   if (a) { a--; } }") stays
    // on its line, without the blanks behind it, and the return goes on a
    // line of its own: a return behind a statement would be cut off again
    // by the next run.
    const std::size_t lineStart = out_.rfind(kCrLf, at);
    const std::size_t from = lineStart == std::string::npos ? 0 : lineStart + 2;
    const std::string_view lead = std::string_view(out_).substr(from, at - from);
    if (!Trim(lead).empty()) {
      std::size_t end = at;
      while (end > from && static_cast<unsigned char>(out_[end - 1]) <= 0x20) --end;
      out_.erase(end, at - end);
      at = end;
      line.insert(0, kCrLf);
    }
    out_.insert(at, line);
    engine_.TextChanged = true;
  }

  // The last function, whose closing line (code) follows `before`. The
  // return goes directly before that line's "}", after every statement of
  // the body: into code, or, when nothing precedes the "}" on its line, on
  // lines of its own in front of it. True when it inserted one.
  bool EndCheckAtLastBrace(std::string_view before, std::string& code) {
    std::string rest(before);
    const std::string inner = FetchUpToLast("}", rest);
    if (TailHasReturn(inner) || !IsValueType(curType_)) return false;
    const std::string line = "   return(" + DefaultValue(engine_, curType_) + ");";
    std::string after = code;
    std::string lead = FetchUpToLast("}", after);
    const std::string_view leadCode = Trim(lead);
    if (leadCode.empty()) {
      code = "\r\n" + line + "\r\n" + code;
    } else {
      // Code before the closing "}" on its line ("   c(); }") stays before the return.
      lead.resize(static_cast<std::size_t>(leadCode.data() - lead.data()) + leadCode.size());
      code = lead + "\r\n" + line + "\r\n}" + after;
    }
    engine_.TextChanged = true;
    return true;
  }

  Engine& engine_;
  std::string_view text_;
  LineCursor unread_;
  std::size_t lastBrace_ = std::string::npos;  // 0-based, in text_

  std::string out_;
  std::string pending_;
  std::string global_;
  std::string flushed_;
  bool firstHead_ = false;
  bool returnSeen_ = false;
  bool seenBefore_ = false;  // returnSeen_ as the line being handled found it
  // The braces of the current function; where its closing "}" and the line
  // holding it stand in the pending text (npos until it closes).
  int depth_ = 0;
  std::size_t closeAt_ = std::string::npos;
  std::size_t closeLineAt_ = std::string::npos;
  bool returnSeenAtClose_ = false;
  std::string curType_, curName_, prevType_, prevName_;
  std::array<std::string, 3> recent_;
};

}  // namespace

std::string FixMissingReturns(Engine& engine, std::string_view text, std::string& globalSection,
                              std::string& globalInits) {
  globalSection.clear();
  globalInits.clear();
  if (!engine.Checked("chkFixReturn")) return std::string(text);
  return MissingReturnPhase(engine, text).Run(globalSection, globalInits);
}

}  // namespace lumivex
