// Small string and number helpers. Numbers are read and written without the C
// locale, so a decimal comma in the user's locale never changes a result.
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

#include "text/text.h"

namespace lumivex {

namespace {

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The white space the number readers skip, as the C readers know it.
inline bool IsReaderSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int ReadInt(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && IsReaderSpace(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  // Accumulate towards the sign so INT_MIN is reachable; stop at the limit.
  constexpr long long kMax = std::numeric_limits<int>::max();
  constexpr long long kMin = std::numeric_limits<int>::min();
  long long value = 0;
  for (; i < s.size() && IsDigit(s[i]); ++i) {
    const int digit = s[i] - '0';
    value = negative ? value * 10 - digit : value * 10 + digit;
    if (value > kMax) return static_cast<int>(kMax);
    if (value < kMin) return static_cast<int>(kMin);
  }
  return static_cast<int>(value);
}

// The power of ten of the leading digit of a decimal number with a nonzero
// digit ("123.4" gives 2, "0.05" gives -2, "5e3" gives 3), saturated far
// beyond the range of a double. Decides only whether a number that does not
// fit a double is too large or too small.
long long DecimalExponent(std::string_view number) {
  constexpr long long kFar = 1'000'000'000;
  std::size_t i = 0;
  long long intDigits = 0;  // significant digits before the point
  long long zeros = 0;      // zeros between the point and the first nonzero digit
  bool significant = false;
  for (; i < number.size() && IsDigit(number[i]); ++i) {
    significant |= number[i] != '0';
    if (significant && intDigits < kFar) ++intDigits;
  }
  if (i < number.size() && number[i] == '.') {
    for (++i; i < number.size() && IsDigit(number[i]); ++i) {
      if (!significant && number[i] == '0') {
        if (zeros < kFar) ++zeros;
      } else {
        significant = true;
      }
    }
  }
  long long exponent = 0;
  if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
    ++i;
    bool negative = false;
    if (i < number.size() && (number[i] == '+' || number[i] == '-')) negative = number[i++] == '-';
    for (; i < number.size() && IsDigit(number[i]); ++i) {
      if (exponent < kFar) exponent = exponent * 10 + (number[i] - '0');
    }
    if (negative) exponent = -exponent;
  }
  const long long lead = intDigits > 0 ? intDigits - 1 : -(zeros + 1);
  return lead + exponent;
}

}  // namespace

std::string LeftStr(int n, std::string_view s) {
  if (n < 1) return {};
  return std::string(s.substr(0, static_cast<std::size_t>(n)));
}

std::string RightStr(int n, std::string_view s) {
  if (n < 1) return {};
  const std::size_t k = static_cast<std::size_t>(n);
  return std::string(k >= s.size() ? s : s.substr(s.size() - k));
}

std::string ChrStr(unsigned char c) {
  if (c == 0) return {};
  return std::string(1, static_cast<char>(c));
}

std::string SpaceString(int n) { return n < 1 ? std::string() : std::string(static_cast<std::size_t>(n), ' '); }

std::string DigitsOnly(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (IsDigit(c)) out += c;
  }
  return out;
}

std::string DigitsAndPoints(std::string_view s) {
  // A point counts only once a digit has been kept, so "Ver. 2.0" reads 2.0.
  std::string out;
  for (char c : s) {
    if (IsDigit(c) || (c == '.' && !out.empty())) out += c;
  }
  return out;
}

int IntVal(std::string_view s) {
  // The reader sees a C string: a NUL byte ends it.
  return ReadInt(s.substr(0, s.find('\0')));
}

int AtoiCStr(const char* s) { return s ? ReadInt(std::string_view(s)) : 0; }

double FloatVal(std::string_view s) {
  s = s.substr(0, s.find('\0'));
  std::size_t i = 0;
  while (i < s.size() && IsReaderSpace(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  // Only a decimal number: digits, or a point followed by a digit, must come
  // first (no "inf", "nan" or hexadecimal forms).
  const bool startsNumber =
      i < s.size() && (IsDigit(s[i]) || (s[i] == '.' && i + 1 < s.size() && IsDigit(s[i + 1])));
  if (!startsNumber) return 0.0;
  double value = 0.0;
  const char* first = s.data() + i;
  const char* last = s.data() + s.size();
  const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // The reader stopped behind the number it matched; its size decides.
    const std::string_view number(first, static_cast<std::size_t>(ptr - first));
    value = DecimalExponent(number) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (ec != std::errc()) {
    return 0.0;
  }
  return negative ? -value : value;
}

std::string FormatNumber(std::string_view pattern, std::string_view value) {
  const std::size_t patPoint = pattern.find('.');
  const std::size_t valPoint = value.find('.');
  const std::string_view patInt = pattern.substr(0, patPoint);
  const std::string_view valInt = value.substr(0, valPoint);

  // Integer part from the right; places the value does not fill stay empty.
  std::string reversed;
  std::size_t i = valInt.size();
  std::size_t j = patInt.size();
  while (i >= 1 && j >= 1) {
    const char place = patInt[j - 1];
    if (place == '#' || place == '0') {
      reversed += valInt[i - 1];
      --i;
    } else if (place == ',') {
      reversed += ',';
    }
    --j;
  }
  std::string out(reversed.rbegin(), reversed.rend());

  if (patPoint == std::string_view::npos || valPoint == std::string_view::npos) return out;
  // Fraction from the left, cut (never rounded) where the pattern ends.
  const std::string_view patFrac = pattern.substr(patPoint + 1);
  const std::string_view valFrac = value.substr(valPoint + 1);
  out += '.';
  std::size_t k = 0;
  for (char place : patFrac) {
    if (k < valFrac.size()) {
      if (place == '#' || place == '0') {
        out += valFrac[k++];
      } else if (place == ',') {
        out += ',';
      }
    } else if (place == '0') {
      out += '0';
    }
  }
  return out;
}

std::string_view Trim(std::string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 0x20) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 0x20) --e;
  return s.substr(b, e - b);
}

std::string JoinTrimmedLines(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t from = 0;
  for (;;) {
    const std::string_view rest = text.substr(from);
    const int p = PosNth(0, "\r\n", rest);
    if (p < 1) {
      out.append(Trim(rest));
      return out;
    }
    out.append(Trim(rest.substr(0, static_cast<std::size_t>(p - 1))));
    from += static_cast<std::size_t>(p - 1) + 2;
  }
}

std::string SplitIndent(std::string& line) {
  const std::string_view body = Trim(line);
  if (body.empty()) return {};
  // The body's first byte is above 0x20, so it first occurs right behind the
  // leading white space.
  const std::size_t lead = static_cast<std::size_t>(body.data() - line.data());
  std::string indent = line.substr(0, lead);
  line = std::string(body);
  return indent;
}

}  // namespace lumivex
