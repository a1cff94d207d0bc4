#include "pipeline/phases.h"

namespace lumivex {

// Placeholder until the missing-return rules land: the text passes through.
std::string FixMissingReturns(Engine&, std::string_view text, std::string&, std::string&) {
  return std::string(text);
}

}  // namespace lumivex
