#include "rules/order_select.h"

#include <vector>

#include "text/code_scan.h"
#include "text/text.h"

namespace lumivex {

namespace {

constexpr std::string_view kCall = "OrderSelect(";

bool HoldsNoCase(std::string_view text, std::string_view word) {
  return PosNthNoCase(0, word, text) > 0;
}

// The tag names the selector and the pool; MODE_TRADES wins over MODE_HISTORY,
// and the ticket selector over the position selector.
std::string ModeTag(std::string_view line) {
  const bool trades = HoldsNoCase(line, "MODE_TRADES");
  const bool history = HoldsNoCase(line, "MODE_HISTORY");
  const char* pool = trades ? "TRADES" : history ? "HISTORY" : "";
  std::string tag;
  if (HoldsNoCase(line, "SELECT_BY_POS")) tag = std::string("POS_") + pool;
  if (HoldsNoCase(line, "SELECT_BY_TICKET")) tag = std::string("TICKET_") + pool;
  return tag;
}

std::string LeadingBlanks(std::string_view line) {
  std::size_t n = 0;
  while (n < line.size() && (line[n] == ' ' || line[n] == '\t')) ++n;
  return std::string(line.substr(0, n));
}

bool IsModeWord(std::string_view arg) {
  const std::string_view t = Trim(arg);
  return (t.size() == 11 && PosNthNoCase(0, "MODE_TRADES", t) == 1) ||
         (t.size() == 12 && PosNthNoCase(0, "MODE_HISTORY", t) == 1);
}

// The arguments of a call read from `open`, just behind its "(", split at the
// commas of the call's own level (found in `mask`, the line's MaskLiterals);
// false when the list does not close on the line. `close` receives the index
// of the call's ")".
bool SplitArguments(std::string_view line, std::string_view mask, std::size_t open,
                    std::vector<std::string_view>& args, std::size_t& close) {
  int depth = 0;
  std::size_t start = open;
  for (std::size_t i = open; i < mask.size(); ++i) {
    const char c = mask[i];
    if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (depth == 0) {
        args.push_back(line.substr(start, i - start));
        close = i;
        return true;
      }
      --depth;
    } else if (c == ',' && depth == 0) {
      args.push_back(line.substr(start, i - start));
      start = i + 1;
    }
  }
  return false;
}

}  // namespace

OrderSelectCall ParseOrderSelect(std::string_view line) {
  OrderSelectCall call;
  const std::string_view trimmed = Trim(line);
  if (PosWord(0, "if", LeftStr(12, trimmed)) > 0) return call;
  if (!HoldsNoCase(line, "OrderSelect") ||
      !(HoldsNoCase(line, "SELECT_BY_POS") || HoldsNoCase(line, "SELECT_BY_TICKET"))) {
    return call;
  }
  std::string rest(trimmed);
  call.prefix = Fetch("OrderSelect", rest);
  // Only the name itself: "MyOrderSelect(" calls another function.
  if (!call.prefix.empty() &&
      !IsWordDelimiter(static_cast<unsigned char>(call.prefix.back()), false)) {
    return call;
  }
  const std::string_view prefix = Trim(call.prefix);
  if (RightStr(4, prefix).find('=') != std::string::npos) return call;
  if (prefix.find("return") != std::string_view::npos) return call;
  call.indent = LeadingBlanks(line);

  // The call rebuilt must be the one the prefix ends at, or the text between
  // the two would be lost; and it must be code, not the text of a message
  // such as Print("OrderSelect(", i, ...).
  const int at = PosNth(0, kCall, line);
  const auto prefixEnd =
      static_cast<std::size_t>(trimmed.data() - line.data()) + call.prefix.size();
  if (at < 1 || static_cast<std::size_t>(at - 1) != prefixEnd) return call;
  const std::string mask = MaskLiterals(line);
  if (mask.compare(prefixEnd, kCall.size(), kCall) != 0) return call;
  std::vector<std::string_view> args;
  std::size_t close = 0;
  if (!SplitArguments(line, mask, prefixEnd + kCall.size(), args, close) || args.size() < 2) {
    return call;
  }
  // Only a call that is a statement of its own has a thrown-away value: after
  // its ")" comes its ";" (or the line end), and what follows that is kept.
  std::size_t after = close + 1;
  while (after < line.size() && (line[after] == ' ' || line[after] == '\t')) ++after;
  if (after < line.size() && line[after] != ';') return call;
  if (after < line.size() && !Trim(line.substr(after + 1)).empty()) {
    call.tail = std::string(line.substr(after + 1));
  }
  // The tag comes from the call itself, so selector or mode words in the
  // kept tail do not change the rebuilt call.
  const std::size_t begin = static_cast<std::size_t>(at - 1);
  call.modeTag = ModeTag(line.substr(begin, close + 1 - begin));
  if (call.modeTag.empty()) return call;
  if (args.size() >= 3) {
    // Everything behind the second comma, so nothing of the call is lost.
    const std::size_t third = static_cast<std::size_t>(args[2].data() - line.data());
    const std::string_view pool = line.substr(third, close - third);
    if (!IsModeWord(pool)) call.poolArg = std::string(Trim(pool));
  }
  call.firstArg = std::string(args[0]);
  return call;
}

std::string ParseOrderSelectCall(std::string_view line, std::string& indent, std::string& prefix,
                                 std::string& modeTag) {
  OrderSelectCall call = ParseOrderSelect(line);
  indent = std::move(call.indent);
  prefix = std::move(call.prefix);
  modeTag = std::move(call.modeTag);
  return call.firstArg;
}

std::string BuildCheckedOrderSelect(const OrderSelectCall& call, bool continueForm) {
  const bool ticket = call.modeTag.starts_with("TICKET_");
  std::string pool;
  if (!call.poolArg.empty()) {
    pool = ", " + call.poolArg;
  } else if (call.modeTag.ends_with("_TRADES")) {
    pool = ", MODE_TRADES";
  } else if (call.modeTag.ends_with("_HISTORY")) {
    pool = ", MODE_HISTORY";
  }
  std::string out = call.indent + call.prefix;
  out += continueForm ? "if (!OrderSelect(" : "if (OrderSelect(";
  out += call.firstArg;
  out += ticket ? ", SELECT_BY_TICKET" : ", SELECT_BY_POS";
  out += pool;
  out += continueForm ? ")) continue;" : "))";
  out += call.tail;
  return out;
}

}  // namespace lumivex
