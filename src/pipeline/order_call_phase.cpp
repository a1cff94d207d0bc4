// Phase 5: the results of OrderClose, OrderModify, OrderSend and OrderDelete
// are stored in chk, declared once before the first function when the source
// has no declaration of its own.
#include <string>

#include "pipeline/phases.h"
#include "rules/line_walk.h"
#include "rules/order_calls.h"
#include "text/text.h"

namespace lumivex {

namespace {

bool HoldsOrderCall(std::string_view code) {
  for (std::string_view call : kOrderCalls) {
    if (PosInCode(0, call, code) > 0) return true;
  }
  return false;
}

// A wrapped line that already assigned chk reads "chk = chk = Order...": the
// repeat is dropped where it stands. A repeat in another letter case names
// another variable, so the line keeps it.
void DropRepeatedChk(std::string& code) {
  static constexpr std::string_view kRepeat = "chk = chk = Order";
  while (true) {
    const int p = PosNthNoCase(0, kRepeat, code);
    if (p < 1) return;
    const auto at = static_cast<std::size_t>(p - 1);
    if (std::string_view(code).substr(at, kRepeat.size()) != kRepeat) return;
    code.erase(at, 6);  // "chk = "
  }
}

// Tells a function definition from a prototype, a call or a declaration by
// reading ahead (without consuming) until the head's ")" has been followed
// by two more lines.
bool IsFunctionHead(std::string_view code, std::string_view unread) {
  std::string collected(code);
  bool paren = collected.find(')') != std::string::npos;
  int count = 0;
  do {
    const std::size_t end = unread.find("\r\n");
    const std::string_view line = unread.substr(0, end);
    unread = end == std::string_view::npos ? std::string_view() : unread.substr(end + 2);
    collected += line;
    collected += "\r\n";
    paren = paren || line.find(')') != std::string_view::npos;
    if (paren) ++count;
    if (unread.empty()) break;
  } while (!paren || count <= 2);

  const auto pos = [&collected](char c) {
    const std::size_t p = collected.find(c);
    return p == std::string::npos ? 0 : static_cast<long>(p) + 1;
  };
  const long closeParen = pos(')');
  const long semicolon = pos(';');
  const long brace = pos('{');
  if (closeParen < semicolon && closeParen + 5 > semicolon) return false;
  if (0 < semicolon && semicolon < brace) return false;
  return brace != 0;
}

}  // namespace

std::string FixOrderCallResults(Engine& engine, std::string_view text, bool& hasChk) {
  if (!engine.Checked("chkOrderModify")) return std::string(text);
  return WalkCodeLines(text, [&](std::string& code, LineCursor& unread) {
    if (HoldsOrderCall(code)) {
      code = WrapOrderCallWithChk(code);
      DropRepeatedChk(code);
      engine.TextChanged = true;
      return;
    }
    if (hasChk || !IsHeadLine(code)) return;
    if (code.substr(0, code.find('(')).find('=') != std::string::npos) return;
    if (!IsFunctionHead(code, unread.Rest())) return;
    code = "bool chk;\r\n\r\n" + code;
    hasChk = true;
    engine.TextChanged = true;
  });
}

}  // namespace lumivex
