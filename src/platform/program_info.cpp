#include "platform/program_info.h"

#include <charconv>
#include <system_error>

#include "text/text.h"

#ifndef LUMIVEX_VERSION
#error "LUMIVEX_VERSION must be defined by the build (the project version)"
#endif

namespace lumivex {

std::filesystem::path ProgramFilePath() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : exe;
}

std::string ProgramFolder() {
  std::string folder = ProgramFilePath().parent_path().string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string GetFileVersionText() { return LUMIVEX_VERSION; }

float ProgramVersionFromText(std::string_view fileVersionText) {
  std::string text(fileVersionText);
  std::string major = Fetch(".", text);
  if (major.empty()) major = "0";
  // The sum is taken in 32 bits: 1.17f + 0.0005f is 1.17049992..., whose
  // cut text keeps the last digit (1.170, not 1.169).
  const float version = static_cast<float>(FloatVal(major + "." + DigitsOnly(text)));
  return version + 0.0005f;
}

std::string FloatToText(double value) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

std::string VersionTextOf(float programVersion) {
  return FormatNumber("##.###", FloatToText(static_cast<double>(programVersion)));
}

std::string VersionCaptionSuffix(std::string_view versionText) {
  return " Ver " + std::string(versionText);
}

}  // namespace lumivex
