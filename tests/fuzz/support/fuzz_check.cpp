#include "fuzz/support/fuzz_check.h"

#include <cstdio>
#include <cstdlib>

namespace lumivex::fuzz {

std::string Show(std::string_view bytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() + 16);
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n\n";
    } else if (b >= 0x20 && b < 0x7f) {
      out += c;
    } else {
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 15];
    }
  }
  return out;
}

void Fail(std::string_view what, std::string_view detail) {
  std::fprintf(stderr, "\n==== property failed: %.*s\n", static_cast<int>(what.size()), what.data());
  if (!detail.empty()) std::fprintf(stderr, "%s\n", Show(detail).c_str());
  std::fflush(stderr);
  std::abort();
}

Input SplitOptions(std::string_view bytes) {
  const std::size_t end = bytes.find('\n');
  if (end == std::string_view::npos) return {bytes, {}};
  return {bytes.substr(0, end), bytes.substr(end + 1)};
}

}  // namespace lumivex::fuzz
