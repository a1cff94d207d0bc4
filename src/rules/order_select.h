// OrderSelect calls whose result is thrown away, and the checked call that
// replaces them.
#pragma once

#include <string>
#include <string_view>

namespace lumivex {

// One OrderSelect statement cut into the pieces its checked form is built from.
struct OrderSelectCall {
  std::string firstArg;  // the first argument as written; empty: no candidate
  std::string indent;    // leading blanks and tabs of the line
  std::string prefix;    // what stands before the call in the trimmed line ("else ")
  std::string modeTag;   // "POS_TRADES", "POS_HISTORY", "POS_", "TICKET_..."
  std::string poolArg;   // a third argument that is no mode word, trimmed; else empty
  std::string tail;      // code behind the call's ";" on the same line
};

// Parses one code line (no line end, no trailing "//" comment). The result's
// firstArg is empty when the line is no candidate: the call's value is used
// (assignment, return, an if within the first 12 bytes, an expression around
// the call), the call is not written "OrderSelect(" in exact case, names no
// selector word, or its argument list does not close on the line.
OrderSelectCall ParseOrderSelect(std::string_view line);

// The same parse with the outputs by reference; returns the first argument.
std::string ParseOrderSelectCall(std::string_view line, std::string& indent, std::string& prefix,
                                 std::string& modeTag);

// The checked call for a parsed line: indent + prefix + the if-form
// ("if (OrderSelect(A, ...))") or the continue-form
// ("if (!OrderSelect(A, ...)) continue;") + the code that followed the call.
std::string BuildCheckedOrderSelect(const OrderSelectCall& call, bool continueForm);

}  // namespace lumivex
