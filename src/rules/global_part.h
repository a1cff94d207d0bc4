// Two small operations on the global part of a program: open-size arrays for
// arrays declared with size 0, and the test for a further "#import" line.
#pragma once

#include <string>
#include <string_view>

#include "text/engine.h"

namespace lumivex {

// Every "[0]" of text becomes "[]" ("[0][5]" becomes "[][5]"), in code,
// comments and literals alike. Every line of the result ends in "\r\n".
// Sets engine.TextChanged when it finds "[0]".
std::string FixInvalidIndexValue(Engine& engine, std::string_view text);

// True when a line of text, trimmed, begins with "#import" (case-sensitive).
bool HasImportLine(std::string_view text);

}  // namespace lumivex
