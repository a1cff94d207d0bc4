#include "rules/global_initialisers.h"

namespace lumivex {

// Placeholder until the global-part rules land: the text passes through.
std::string InsertGlobalInitsIntoInit(Engine&, std::string_view text, std::string_view) {
  return std::string(text);
}

}  // namespace lumivex
