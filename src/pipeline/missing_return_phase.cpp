// Phase 6: function heads are found by their look-ahead, the global part is
// treated at the first of them, return statements are fitted to their
// function's type, and a value function that ends without a return gets one.
//
// The phase counts no braces: a function ends at the last "}" before the next
// head, and the last function at the last line of the text that holds a "}".
#include <array>

#include "pipeline/phases.h"
#include "rules/function_heads.h"
#include "rules/global_initialisers.h"
#include "rules/global_part.h"
#include "rules/line_walk.h"
#include "rules/order_select.h"
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
      switch (JudgeHead(parts.code, unread_, kReturnLookAhead)) {
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
    curType_ = HeadType(code);
    curName_ = HeadName(code);
    // A one-byte name, or the second of two functions with the same name,
    // leaves the function before it unchecked.
    if (prevName_ != curName_ && prevName_.size() >= 2) {
      if (returnSeen_) returnSeen_ = false;
      else EndCheckAtHead();
    }
    prevType_ = curType_;
    prevName_ = curName_;
    Finish(code + comment);
  }

  void ReturnLine(std::string& code, const std::string& comment) {
    // "   count = count + 1; return;" is cut in two lines, never inside a literal.
    if (const int semi = PosOutsideString(0, ";", code); semi > 0) {
      std::string first = code.substr(0, static_cast<std::size_t>(semi - 1));
      std::string rest = code.substr(static_cast<std::size_t>(semi));
      if (Holds(rest, "return") && first.size() > 10) {
        const std::string indent = SplitIndent(first);
        // The first statement may return too ("if (a) return(1); else ...").
        std::string line = indent + first + ";";
        FitReturns(line);
        Finish(line + comment);
        code = std::move(rest);
        if (FitReturns(code)) code.insert(0, indent);
        returnSeen_ = true;
        return;
      }
    }
    FitReturns(code);
    returnSeen_ = true;
  }

  // A void function's returns lose their value; "return;" in a value
  // function gets the type's default. True when the line is one to fit.
  bool FitReturns(std::string& code) {
    if (!Holds(code, "return;") && !(curType_ == "void" && Holds(code, "return"))) return false;
    if (curType_ == "void") {
      if (DropReturnValues(code)) engine_.TextChanged = true;
    } else if (!curType_.empty()) {
      code = ReplaceText(engine_, 0, "return (" + DefaultValue(engine_, curType_) + ");", "return;",
                         code);
    }
    return true;
  }

  void ClosingBraceLine(std::string& code) {
    const std::size_t done = text_.size() - unread_.Rest().size();
    if (lastBrace_ != std::string::npos && lastBrace_ >= done) {
      returnSeen_ = false;
    } else if (!returnSeen_) {
      EndCheckAtLastBrace(code);
    }
  }

  // Whether the function that ends in the flushed text returns at its end.
  bool EndsWithReturn(std::string_view body) const {
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

  // The function before the current head, now at the end of the output.
  void EndCheckAtHead() {
    if (!Holds(flushed_, "}")) return;
    std::string rest = flushed_;
    const std::string body = FetchUpToLast("}", rest);
    if (EndsWithReturn(body) || !IsValueType(prevType_)) return;
    const std::size_t at = out_.size() - flushed_.size() + body.size();
    out_.insert(at, "   return(" + DefaultValue(engine_, prevType_) + ");\r\n");
    engine_.TextChanged = true;
  }

  // The last function, at the last line of the text that holds "}". The
  // return goes directly before that "}", after every statement of the body.
  void EndCheckAtLastBrace(std::string& code) {
    std::string rest = pending_;
    const std::string before = FetchUpToLast("}", rest);
    if (TailHasReturn(before) || !IsValueType(curType_)) return;
    const std::string line = "   return(" + DefaultValue(engine_, curType_) + ");";
    std::string after = code;
    std::string lead = FetchUpToLast("}", after);
    const std::string_view leadCode = Trim(lead);
    if (leadCode.empty()) {
      pending_ += kCrLf;
      pending_ += line;
      pending_ += kCrLf;
    } else {
      // Code before the closing "}" on its line ("   c(); }") stays before the return.
      lead.resize(static_cast<std::size_t>(leadCode.data() - lead.data()) + leadCode.size());
      code = lead + "\r\n" + line + "\r\n}" + after;
    }
    engine_.TextChanged = true;
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
