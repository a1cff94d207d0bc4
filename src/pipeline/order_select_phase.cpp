// Phases 3 and 4: one-line blocks split onto separate lines, then ignored
// OrderSelect results turned into checked calls.
#include <string>

#include "pipeline/phases.h"
#include "rules/function_heads.h"
#include "rules/line_walk.h"
#include "rules/order_select.h"
#include "text/text.h"

namespace lumivex {

namespace {

bool Holds(std::string_view text, char c) { return text.find(c) != std::string_view::npos; }

// Splits "head { body } tail" into head "{", body and "}" tail lines. Braces
// and ";" are looked for in the mask, so those inside literals do not count.
void SplitOneLineBlock(std::string& code) {
  const std::string mask = MaskLiterals(code);
  const bool hasAll = Holds(mask, '{') && Holds(mask, '}') && Holds(mask, ';');
  if (!hasAll) return;
  if (IsHeadLine(mask) && !(Holds(mask, '(') && Holds(mask, ')') && CountChar("{", mask) == 1 &&
                            CountChar("}", mask) == 1)) {
    return;
  }
  const std::size_t open = mask.find('{');
  const std::size_t close = mask.rfind('}');
  // "x = 1; } else {" closes one block and opens the next: nothing to split.
  if (open > close) return;

  std::string head = code.substr(0, open);
  const std::string body(Trim(std::string_view(code).substr(open + 1, close - open - 1)));
  const std::string tail = code.substr(close + 1);
  const std::string indent = SplitIndent(head);

  std::string out = indent + head + "{\r\n" + indent + body + indent + "\r\n}";
  if (!tail.empty()) out += indent + tail;
  code = std::move(out);
}

// Which OrderSelect lines sit inside a loop body: a loop word arms the
// tracker, and the braces opened while it is armed are counted until they
// close again.
class LoopTracker {
 public:
  void EnterFunction() { depth_ = 0; }
  void See(std::string_view code) {
    const std::string mask = MaskLiterals(code);
    if (PosWord(0, "for", mask) > 0 || PosWord(0, "while", mask) > 0 ||
        PosWord(0, "do", mask) > 0) {
      inLoop_ = true;
    }
    if (Holds(mask, '{') && inLoop_) depth_ += CountSubstring("{", mask);
    if (Holds(mask, '}')) {
      if (inLoop_) depth_ -= CountSubstring("}", mask);
      if (depth_ <= 0) {
        inLoop_ = false;
        depth_ = 0;
      }
    }
  }
  bool InLoopBody() const { return depth_ != 0; }

 private:
  bool inLoop_ = false;
  int depth_ = 0;
};

bool StartsWithWord(std::string_view text, std::string_view word) {
  return text.size() > word.size() && text.starts_with(word) &&
         (text[word.size()] == ' ' || text[word.size()] == '\t');
}

// A variable declaration: taken as the body of an if it would end its scope there.
bool IsDeclaration(std::string_view code) {
  static constexpr std::string_view kWords[] = {
      "bool",  "datetime", "color", "char",  "uchar", "short",  "ushort", "string", "int",
      "uint",  "long",     "ulong", "float", "double", "static", "const",  "extern"};
  const std::string_view trimmed = Trim(code);
  for (std::string_view word : kWords) {
    if (StartsWithWord(trimmed, word)) return true;
  }
  return false;
}

// True when the next line that holds code cannot be the body of an if: there
// is none, it is a declaration, or it begins with "}". Reads without consuming.
bool NoBodyFollows(std::string_view rest) {
  while (!rest.empty()) {
    const int p = PosNth(0, "\r\n", rest);
    const std::string_view line = p < 1 ? rest : rest.substr(0, static_cast<std::size_t>(p - 1));
    rest = p < 1 ? std::string_view() : rest.substr(static_cast<std::size_t>(p - 1) + 2);
    if (IsCodeFree(line)) continue;
    const std::string code = SplitCodeAndComment(line).code;
    return IsDeclaration(code) || Trim(code).starts_with("}");
  }
  return true;
}

bool AssignsBeforeParen(std::string_view code) {
  return code.substr(0, code.find('(')).find('=') != std::string_view::npos;
}

}  // namespace

std::string SplitOneLineBlocks(Engine& engine, std::string_view text) {
  if (!engine.Checked("chkOrderSelect")) return std::string(text);
  return WalkCodeLines(text, [](std::string& code, LineCursor&) { SplitOneLineBlock(code); });
}

std::string FixOrderSelectResults(Engine& engine, std::string_view text) {
  if (!engine.Checked("chkOrderSelect")) return std::string(text);
  LoopTracker loops;
  return WalkCodeLines(text, [&](std::string& code, LineCursor& unread) {
    if (IsHeadLine(code)) {
      if (AssignsBeforeParen(code)) return;
      JoinHead(code, unread);
      loops.EnterFunction();
    }
    loops.See(code);
    const OrderSelectCall call = ParseOrderSelect(code);
    if (call.firstArg.empty()) return;
    engine.OrderSelectFixed = true;
    bool continueForm;
    if (engine.Checked("rdoOrderSelectAuto")) {
      continueForm = loops.InLoopBody();
    } else {
      continueForm = engine.Checked("rdoOrderSelectContinue");
    }
    code = BuildCheckedOrderSelect(call, continueForm);
    // The if-form takes the next statement as its body; where that cannot be
    // one, the check gets an empty body of its own.
    if (!continueForm && call.tail.empty() && NoBodyFollows(unread.Rest())) code += " {}";
    engine.TextChanged = true;
  });
}

}  // namespace lumivex
