#include "rules/order_calls.h"

namespace lumivex {

// Placeholder until the order-call rules land.
bool HasChkDeclaration(std::string_view) { return false; }

}  // namespace lumivex
