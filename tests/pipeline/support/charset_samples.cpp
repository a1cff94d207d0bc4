#include "charset_samples.h"

#include <iconv.h>

#include <stdexcept>

namespace lumivex::testing {

std::string EncodeFromUtf8(std::string_view utf8, const char* charset) {
  iconv_t cd = iconv_open(charset, "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no converter");
  std::string out(utf8.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  char* dst = out.data();
  std::size_t dstLeft = out.size();
  const std::size_t rc = iconv(cd, &in, &inLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (rc == static_cast<std::size_t>(-1)) throw std::runtime_error("not encodable");
  out.resize(out.size() - dstLeft);
  return out;
}

std::string Repeated(std::string_view text, std::size_t minBytes) {
  std::string out;
  while (out.size() < minBytes) out += text;
  return out;
}

}  // namespace lumivex::testing
