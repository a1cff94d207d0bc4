#include "pipeline/phases.h"

namespace lumivex {

// Placeholder until the OrderSelect rules land: the text passes through.
std::string SplitOneLineBlocks(Engine&, std::string_view text) { return std::string(text); }
std::string FixOrderSelectResults(Engine&, std::string_view text) { return std::string(text); }

}  // namespace lumivex
