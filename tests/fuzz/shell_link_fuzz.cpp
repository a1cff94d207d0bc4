// The shortcut (.lnk) parser, on the input's bytes as they are and on a
// shortcut written from fields taken from the input.
//
// Bytes as they are: the parser reads nothing outside them (the sanitizers
// watch), and a shortcut it accepts reads the same with more bytes behind it,
// since every structure is found from the start.
// Written shortcut: every field comes back as written, and every cut of the
// file that ends inside one of its structures is refused.
//
// The fields: the input is cut at "|" into the local base path, the common
// path suffix, the name, the relative path, the working folder, the
// arguments and the icon location; the first byte's low bit chooses Unicode
// strings, the next bit the target ID list. ANSI fields keep the ASCII bytes
// of their text (a shortcut's ANSI strings are code page 932, and written
// here byte for byte); Unicode fields keep valid UTF-8 text.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/support/fuzz_check.h"
#include "platform/shell_link.h"
#include "support/lnk_writer.h"
#include "text/transcode.h"

namespace lumivex {
namespace {

using fuzz::Require;
using Bytes = std::vector<std::uint8_t>;

std::string Fields(const ShellLinkData& d) {
  return std::to_string(d.isUnicode) + "|" + d.localBasePath + "|" + d.commonPathSuffix + "|" + d.name + "|" +
         d.relativePath + "|" + d.workingDir + "|" + d.arguments + "|" + d.iconLocation + "|" +
         std::to_string(d.iconIndex);
}

std::optional<ShellLinkData> Parse(const Bytes& bytes) { return ParseShellLink(std::span(bytes)); }

void CheckRawBytes(std::string_view input) {
  const Bytes bytes(input.begin(), input.end());
  const std::optional<ShellLinkData> data = Parse(bytes);
  if (!data) return;
  Bytes longer = bytes;
  longer.insert(longer.end(), {0x41, 0x00, 0xFF, 0x7F});
  const std::optional<ShellLinkData> again = Parse(longer);
  Require(again && Fields(*again) == Fields(*data), "bytes behind a shortcut change nothing", input);
}

// What a field of the input can be written as: no NUL (the strings of a
// shortcut end there), and ASCII only, unless the field is Unicode and its
// text is UTF-8 that converts to UTF-16 as a whole.
std::string Writable(std::string_view text, bool unicode) {
  std::string out, ascii;
  for (const char c : text) {
    if (c == '\0') continue;
    out += c;
    if (static_cast<unsigned char>(c) < 0x80) ascii += c;
  }
  return unicode && TranscodeStrict("UTF-16LE", "UTF-8", out) ? out : ascii;
}

void CheckWrittenLink(std::string_view input) {
  if (input.empty()) return;
  testing::LnkSpec written;
  written.unicode = (input[0] & 1) != 0;
  written.withIdList = (input[0] & 2) != 0;
  written.iconIndex = static_cast<std::int8_t>(input[0]);
  std::string* fields[] = {&written.localBasePath, &written.commonPathSuffix, &written.name,
                           &written.relativePath,  &written.workingDir,       &written.arguments,
                           &written.iconLocation};
  std::string_view rest = input.substr(1);
  for (std::string* field : fields) {
    const std::size_t bar = rest.find('|');
    *field = Writable(rest.substr(0, bar), written.unicode);
    rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
  }
  // The writer leaves out the LinkInfo, and so the suffix, without a base path.
  if (written.localBasePath.empty()) written.commonPathSuffix.clear();

  const Bytes link = testing::MakeLnk(written);
  const std::optional<ShellLinkData> data = Parse(link);
  ShellLinkData want;
  want.isUnicode = written.unicode;
  want.localBasePath = written.localBasePath;
  want.commonPathSuffix = written.commonPathSuffix;
  want.name = written.name;
  want.relativePath = written.relativePath;
  want.workingDir = written.workingDir;
  want.arguments = written.arguments;
  want.iconLocation = written.iconLocation;
  want.iconIndex = written.iconIndex;
  Require(data && Fields(*data) == Fields(want), "a written shortcut reads back its fields",
          data ? Fields(*data) + "\nwritten:\n" + Fields(want) : "refused:\n" + Fields(want));

  // The last four bytes end the extra data, which the parser does not read.
  const std::size_t structures = link.size() - 4;
  for (std::size_t cut : {std::size_t{0}, structures / 2, structures - 1, std::size_t{0x4B}, std::size_t{0x4C}}) {
    if (cut >= structures) continue;
    Require(!Parse(Bytes(link.begin(), link.begin() + static_cast<std::ptrdiff_t>(cut))),
            "a shortcut cut inside a structure is refused", Fields(want) + " cut at " + std::to_string(cut));
  }
}

}  // namespace
}  // namespace lumivex

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = lumivex::fuzz::Bytes(data, size);
  lumivex::CheckRawBytes(input);
  lumivex::CheckWrittenLink(input);
  return 0;
}
