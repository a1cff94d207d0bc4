// Capture of the results of order calls into chk.
#pragma once

#include <string>
#include <string_view>

#include "text/engine.h"

namespace lumivex {

// True when text already declares "bool chk".
bool HasChkDeclaration(std::string_view text);

}  // namespace lumivex
