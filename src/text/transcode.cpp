#include "text/transcode.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <stdexcept>
#include <utility>

namespace lumivex {

namespace {

class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (ok()) iconv_close(cd_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Opening a converter costs far more than a short conversion, so each thread
// keeps its handles for its lifetime. Null when iconv knows no such route.
iconv_t Handle(const char* to, const char* from) {
  thread_local std::map<std::pair<std::string, std::string>, std::unique_ptr<IconvHandle>> cache;
  auto& slot = cache[{to, from}];
  if (!slot) slot = std::make_unique<IconvHandle>(to, from);
  if (!slot->ok()) return nullptr;
  iconv(slot->get(), nullptr, nullptr, nullptr, nullptr);  // back to the initial state
  return slot->get();
}

// Runs in through cd. Returns false at the first sequence that fails when
// replacement is null; otherwise replaces it and goes on.
bool Run(iconv_t cd, std::string_view in, const std::string_view* replacement,
         std::size_t skipUnit, std::string& out) {
  out.assign(in.size() * 2 + 16, '\0');
  std::size_t used = 0;
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  while (srcLeft > 0) {
    char* dst = out.data() + used;
    std::size_t dstLeft = out.size() - used;
    const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    used = out.size() - dstLeft;
    if (rc != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ (unreadable, or without a form in the target) or EINVAL (cut
    // short by the end of the input).
    if (!replacement) return false;
    if (out.size() - used < replacement->size()) out.resize(out.size() * 2 + replacement->size());
    out.replace(used, replacement->size(), *replacement);
    used += replacement->size();
    const std::size_t skip = std::min(skipUnit, srcLeft);
    src += skip;
    srcLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  // Stateful decoders (windows-1255 and windows-1258 among them) hold the
  // last character back until they are told the input has ended.
  for (;;) {
    char* dst = out.data() + used;
    std::size_t dstLeft = out.size() - used;
    const std::size_t rc = iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    used = out.size() - dstLeft;
    if (rc != static_cast<std::size_t>(-1)) break;
    if (errno != E2BIG) {
      if (!replacement) return false;
      break;
    }
    out.resize(out.size() * 2 + 16);
  }
  out.resize(used);
  return true;
}

}  // namespace

std::string Transcode(const char* to, const char* from, std::string_view in,
                      std::string_view replacement, std::size_t skipUnit) {
  iconv_t cd = Handle(to, from);
  if (!cd) throw std::runtime_error(std::string("no character conversion from ") + from + " to " + to);
  std::string out;
  Run(cd, in, &replacement, std::max<std::size_t>(skipUnit, 1), out);
  return out;
}

std::optional<std::string> TranscodeStrict(const char* to, const char* from, std::string_view in) {
  iconv_t cd = Handle(to, from);
  std::string out;
  if (!cd || !Run(cd, in, nullptr, 1, out)) return std::nullopt;
  return out;
}

}  // namespace lumivex
