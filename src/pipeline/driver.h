// The conversion driver: one call converts the Source text of one file.
#pragma once

#include <string>
#include <string_view>

#include "text/engine.h"

namespace lumivex {

// Classifies the program, runs the line pre-pass, the rule phases in their
// fixed order and the restore, and returns the converted text. Leaves the
// program-kind flags and TextChanged in engine; reports progress through
// engine.progress when set.
std::string ConvertText(Engine& engine, std::string_view text);

}  // namespace lumivex
