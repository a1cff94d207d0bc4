// Phases 3 and 4: one-line blocks split onto separate lines, then ignored
// OrderSelect results turned into checked calls.
#include <string>
#include <utility>
#include <vector>

#include "pipeline/phases.h"
#include "rules/function_heads.h"
#include "rules/line_walk.h"
#include "rules/order_select.h"
#include "text/code_scan.h"
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

// Which loop body an OrderSelect line sits in. A loop word opens a body at
// the "{" behind it on its line, or at a "{" that begins the next line of
// code; a loop whose line ends in ";" (a one-line loop, the "while (x);" that
// closes a do-loop) and a loop whose body is one statement without braces
// open none. Each body ends at the "}" that closes its "{".
class LoopTracker {
 public:
  void EnterFunction() {
    depth_ = 0;
    bodies_.clear();
    pending_ = Loop::None;
  }

  void See(std::string_view code) {
    if (IsCodeFree(code)) return;
    const std::string mask = MaskLiterals(code);
    std::size_t bodyBrace = std::string::npos;
    Loop loop = Loop::None;
    std::size_t at = std::string::npos;
    for (const auto& [word, kind] : kLoopWords) {
      const int p = PosWord(0, word, mask);
      if (p > 0 && (at == std::string::npos || static_cast<std::size_t>(p - 1) > at)) {
        at = static_cast<std::size_t>(p - 1);
        loop = kind;
      }
    }
    if (loop != Loop::None) {
      bodyBrace = mask.find('{', at);
      pending_ = Loop::None;
      if (bodyBrace == std::string::npos && !Trim(mask).ends_with(';')) pending_ = loop;
    } else if (pending_ != Loop::None) {
      if (Trim(mask).starts_with('{')) {
        loop = pending_;
        bodyBrace = mask.find('{');
      }
      pending_ = Loop::None;
    }
    for (std::size_t i = 0; i < mask.size(); ++i) {
      if (mask[i] == '{') {
        ++depth_;
        if (i == bodyBrace) bodies_.push_back({depth_, loop});
      } else if (mask[i] == '}') {
        if (!bodies_.empty() && bodies_.back().depth == depth_) bodies_.pop_back();
        if (depth_ > 0) --depth_;
      }
    }
  }

  // "continue" belongs in a for-loop, whose step runs all the same. In a
  // while- or do-loop the step is a statement of the body ("k++;"): the
  // continue-form would skip it, and the if-form could make it its body;
  // either way the loop might select the same order again and again.
  bool InForBody() const { return !bodies_.empty() && bodies_.back().loop == Loop::For; }
  bool InOtherLoopBody() const { return !bodies_.empty() && bodies_.back().loop != Loop::For; }
  bool InLoopBody() const { return !bodies_.empty(); }

  // A loop word in code: the line heads a loop (its body may be the next statement).
  static bool HeadsLoop(std::string_view code) {
    const std::string mask = MaskLiterals(code);
    for (const auto& entry : kLoopWords) {
      if (PosWord(0, entry.first, mask) > 0) return true;
    }
    return false;
  }

 private:
  enum class Loop { None, For, While, Do };
  static constexpr std::pair<std::string_view, Loop> kLoopWords[] = {
      {"for", Loop::For}, {"while", Loop::While}, {"do", Loop::Do}};
  struct Body {
    int depth;
    Loop loop;
  };
  int depth_ = 0;
  std::vector<Body> bodies_;
  Loop pending_ = Loop::None;
};

// True when a statement on this line would be the whole body of a control
// statement without braces: the line before (its code) ends a condition with
// ")" or is "else" or "do", or the statement's own prefix does so
// ("else OrderSelect(...)", "for (...) OrderSelect(...)").
bool EndsControlHead(std::string_view code) {
  const std::string mask = MaskLiterals(code);
  const std::string_view trimmed = Trim(mask);
  if (trimmed.ends_with(')')) return true;
  for (std::string_view word : {"else", "do"}) {
    if (!trimmed.ends_with(word)) continue;
    const std::size_t before = trimmed.size() - word.size();
    if (before == 0 || IsWordDelimiter(static_cast<unsigned char>(trimmed[before - 1]), false))
      return true;
  }
  return false;
}

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

// "break;", "continue;" or "return ...;": made the body of the check, a
// failed selection would fall through into the next case, run on in the
// loop, or run on into code the return never let run.
bool IsJump(std::string_view code) {
  const std::string_view trimmed = Trim(code);
  for (std::string_view word : {"break", "continue", "return"}) {
    if (trimmed.starts_with(word) &&
        (trimmed.size() == word.size() ||
         IsWordDelimiter(static_cast<unsigned char>(trimmed[word.size()]), true)))
      return true;
  }
  return false;
}

// True when the next line that holds code cannot be the body of an if: there
// is none, it is a declaration, it begins with "}", or it is a jump.
// Reads without consuming.
bool NoBodyFollows(std::string_view rest) {
  while (!rest.empty()) {
    const int p = PosNth(0, "\r\n", rest);
    const std::string_view line = p < 1 ? rest : rest.substr(0, static_cast<std::size_t>(p - 1));
    rest = p < 1 ? std::string_view() : rest.substr(static_cast<std::size_t>(p - 1) + 2);
    if (IsCodeFree(line)) continue;
    const std::string code = SplitCodeAndComment(line).code;
    return IsDeclaration(code) || Trim(code).starts_with("}") || IsJump(code);
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
  // The code of the last line that held any: a control head without braces
  // there makes the next statement its whole body.
  std::string lastCode;
  return WalkCodeLines(text, [&](std::string& code, LineCursor& unread) {
    if (IsHeadLine(code)) {
      if (AssignsBeforeParen(code)) return;
      JoinHead(code, unread);
      loops.EnterFunction();
      lastCode.clear();
    }
    loops.See(code);
    const bool bodyOfControl = EndsControlHead(lastCode);
    const std::string lastLine = lastCode;
    if (!IsCodeFree(code)) lastCode = code;
    const OrderSelectCall call = ParseOrderSelect(code);
    if (call.firstArg.empty()) return;
    engine.OrderSelectFixed = true;
    bool continueForm;
    bool ownBody = bodyOfControl || EndsControlHead(call.prefix);
    if (engine.Checked("rdoOrderSelectAuto")) {
      continueForm = loops.InForBody();
      ownBody = ownBody || loops.InOtherLoopBody();
    } else {
      // "continue" outside every loop does not compile: there the check
      // takes the if-form.
      continueForm = engine.Checked("rdoOrderSelectContinue") &&
                     (loops.InLoopBody() || (bodyOfControl && LoopTracker::HeadsLoop(lastLine)) ||
                      LoopTracker::HeadsLoop(call.prefix));
    }
    // The if-form takes the next statement as its body; where that cannot be
    // one, where the call is itself the whole body of a control statement
    // (the next statement would move into that statement), or where the
    // automatic choice finds it in the body of a while- or do-loop, the check
    // gets an empty body of its own.
    if (!continueForm && (ownBody || IsJump(call.tail))) {
      OrderSelectCall bare = call;
      bare.tail.clear();
      code = BuildCheckedOrderSelect(bare, false) + " {}" + call.tail;
    } else {
      code = BuildCheckedOrderSelect(call, continueForm);
      if (!continueForm && call.tail.empty() && NoBodyFollows(unread.Rest())) code += " {}";
    }
    engine.TextChanged = true;
  });
}

}  // namespace lumivex
