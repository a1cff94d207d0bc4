// Global initialisers that call run-time functions, moved into init.
#pragma once

#include <string>
#include <string_view>

#include "text/engine.h"

namespace lumivex {

// Phase 10: inserts the statements collected from the global part into the
// function named exactly init or OnInit.
std::string InsertGlobalInitsIntoInit(Engine& engine, std::string_view text,
                                      std::string_view globalInits);

}  // namespace lumivex
