// Phase 5: the results of OrderClose, OrderModify, OrderSend and OrderDelete
// are stored in chk, declared once before the first function when the source
// has no declaration of its own.
#include <string>

#include "pipeline/phases.h"
#include "rules/function_heads.h"
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

}  // namespace

std::string FixOrderCallResults(Engine& engine, std::string_view text, bool& hasChk) {
  if (!engine.Checked("chkOrderModify")) return std::string(text);
  // With comments left in the text, a head inside a block comment is
  // commented-out code: the declaration never goes there.
  bool inComment = false;
  return WalkCodeLines(text, [&](std::string& code, LineCursor& unread) {
    const bool commented = InBlockComment(code, inComment);
    inComment = BlockCommentOpenAfter(code, inComment);
    if (HoldsOrderCall(code)) {
      code = WrapOrderCallWithChk(code);
      DropRepeatedChk(code);
      engine.TextChanged = true;
      return;
    }
    // The declaration goes before the first function definition; the head
    // test reads ahead without consuming the lines.
    if (hasChk || commented || !IsFunctionHead(code, unread)) return;
    code = "bool chk;\r\n\r\n" + code;
    hasChk = true;
    engine.TextChanged = true;
  });
}

}  // namespace lumivex
