// Shared pieces of the engine tests: texts written line by line, and a
// fixture holding an Engine wired to settings with the form defaults.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "support/fake_settings.h"
#include "text/engine.h"

namespace lumivex::testing {

// The lines, each followed by "\r\n".
inline std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// A text written with "\n" line ends, as the engine sees it: with "\r\n".
inline std::string Crlf(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 16);
  for (char c : s) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

class EngineTest : public ::testing::Test {
 protected:
  EngineTest() { engine.settings = &settings; }

  FakeSettings settings;
  Engine engine;
};

}  // namespace lumivex::testing
