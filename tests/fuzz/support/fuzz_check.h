// What the fuzz targets share: a property that does not hold stops the run
// with a readable message (libFuzzer then keeps the input as a crash), and
// the options line in front of a target's input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumivex::fuzz {

// Prints what failed and the bytes involved, then aborts.
[[noreturn]] void Fail(std::string_view what, std::string_view detail = {});

inline void Require(bool ok, std::string_view what, std::string_view detail = {}) {
  if (!ok) Fail(what, detail);
}

// Bytes as C-style text: printable ASCII as it is, everything else escaped.
std::string Show(std::string_view bytes);

// The fuzzer's bytes as a string view.
inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Targets with options read them from the input's first line (up to the first
// "\n"); the rest is the body. Without a "\n" the whole input is options.
struct Input {
  std::string_view options;
  std::string_view body;
};
Input SplitOptions(std::string_view bytes);

// Option i of the line: "0" is off, any other byte on; an option beyond the
// end of the line is on.
inline bool Option(std::string_view options, std::size_t i) {
  return i >= options.size() || options[i] != '0';
}

}  // namespace lumivex::fuzz
