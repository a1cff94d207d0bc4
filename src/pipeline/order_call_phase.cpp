#include "pipeline/phases.h"

namespace lumivex {

// Placeholder until the order-call rules land: the text passes through.
std::string FixOrderCallResults(Engine&, std::string_view text, bool&) { return std::string(text); }

}  // namespace lumivex
