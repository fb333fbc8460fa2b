#include "dictionaries/format_mask.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kalmet {
namespace {

// Significant digits the platform's float conversion works with.
constexpr int kMaxPrecision = 18;

[[noreturn]] void InvalidFormat(std::string_view directive) {
  throw ConvertError("Format '" + std::string(directive) +
                     "' invalid or incompatible with argument");
}

[[noreturn]] void MissingArgument(std::string_view directive) {
  throw ConvertError("No argument for format '" + std::string(directive) + "'");
}

size_t CodePoints(std::string_view text) {
  size_t n = 0;
  for (unsigned char c : text) n += (c & 0xC0) != 0x80;
  return n;
}

// The first `count` code points of text.
std::string_view FirstCodePoints(std::string_view text, size_t count) {
  size_t i = 0;
  for (; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (count == 0) break;
      --count;
    }
  }
  return text.substr(0, i);
}

void Pad(std::string& out, std::string_view body, int width, bool left) {
  const size_t len = CodePoints(body);
  const size_t fill = width > 0 && static_cast<size_t>(width) > len ? width - len : 0;
  if (!left) out.append(fill, ' ');
  out.append(body);
  if (left) out.append(fill, ' ');
}

// A finite non-negative value as decimal digits: value = 0.d1d2... * 10^exponent,
// kMaxPrecision digits, no leading zero (all zeros and exponent 0 for zero).
struct Decimal {
  std::string digits;
  int exponent = 0;
};

Decimal ToDecimal(double value) {
  Decimal d;
  if (value == 0) {
    d.digits.assign(kMaxPrecision, '0');
    return d;
  }
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", kMaxPrecision - 1, value);
  // buf: d.ddddde[+-]xx
  d.digits.push_back(buf[0]);
  const char* p = buf + 2;
  while (*p && *p != 'e') d.digits.push_back(*p++);
  d.exponent = std::atoi(p + 1) + 1;
  return d;
}

// Keeps the first n digits, rounding half away from zero on the next one; may carry into
// a new leading digit (the exponent grows). n may be 0 or negative.
Decimal RoundDigits(const Decimal& in, int n) {
  Decimal d = in;
  if (n < 0) {
    d.digits.clear();
    return d;
  }
  if (static_cast<size_t>(n) >= d.digits.size()) return d;
  const bool up = d.digits[static_cast<size_t>(n)] >= '5';
  d.digits.resize(static_cast<size_t>(n));
  if (up) {
    int i = n - 1;
    while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9')
      d.digits[static_cast<size_t>(i--)] = '0';
    if (i >= 0) {
      ++d.digits[static_cast<size_t>(i)];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      d.digits.pop_back();
      ++d.exponent;
      if (n == 0) d.digits = "1";
    }
  }
  return d;
}

bool AllZero(const std::string& digits) {
  return digits.find_first_not_of('0') == std::string::npos;
}

std::string GroupThousands(const std::string& integer) {
  const std::string& sep = RegionalSettings().thousandSeparator;
  std::string out;
  const size_t n = integer.size();
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += sep;
    out += integer[i];
  }
  return out;
}

// Fixed notation with `decimals` digits after the separator; thousands grouped on request.
std::string FixedText(double value, int decimals, bool thousands);

std::string ExponentText(double value, int precision, int expDigits, bool general) {
  const bool negative = std::signbit(value);
  Decimal d = RoundDigits(ToDecimal(std::fabs(value)), precision);
  if (d.digits.empty()) d.digits = "0";
  if (general) {
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  } else {
    d.digits.resize(static_cast<size_t>(precision), '0');
  }
  const bool zero = AllZero(d.digits);
  int exponent = zero ? 0 : d.exponent - 1;
  std::string out;
  if (negative && !zero) out += '-';
  out += d.digits[0];
  if (d.digits.size() > 1) {
    out += RegionalSettings().decimalSeparator;
    out.append(d.digits, 1, std::string::npos);
  }
  out += 'E';
  if (exponent < 0) {
    out += '-';
    exponent = -exponent;
  } else if (!general) {
    out += '+';
  }
  std::string e = std::to_string(exponent);
  if (static_cast<int>(e.size()) < expDigits) e.insert(0, expDigits - e.size(), '0');
  return out + e;
}

std::string FixedText(double value, int decimals, bool thousands) {
  const bool negative = std::signbit(value);
  const Decimal full = ToDecimal(std::fabs(value));
  // More integer digits than the conversion carries: scientific notation instead.
  if (full.exponent > kMaxPrecision) return ExponentText(value, kMaxPrecision, 3, false);
  int keep = full.exponent + decimals;
  if (keep > kMaxPrecision) keep = kMaxPrecision;
  Decimal d = RoundDigits(full, keep);
  // Place the digits around the separator.
  std::string integer, fraction;
  for (int pos = 1 - (d.exponent > 0 ? d.exponent : 0); pos <= decimals; ++pos) {
    // Digit at decimal position: pos <= 0 is the integer part (pos 0 the units).
    const int index = d.exponent - 1 + pos;  // index into digits
    const char c = index >= 0 && static_cast<size_t>(index) < d.digits.size()
                       ? d.digits[static_cast<size_t>(index)]
                       : '0';
    if (pos <= 0) {
      integer += c;
    } else {
      fraction += c;
    }
  }
  if (integer.empty()) integer = "0";
  std::string out;
  if (negative && !(AllZero(integer) && AllZero(fraction))) out += '-';
  out += thousands ? GroupThousands(integer) : integer;
  if (decimals > 0) {
    out += RegionalSettings().decimalSeparator;
    out += fraction;
  }
  return out;
}

std::string GeneralText(double value, int precision) {
  const double a = std::fabs(value);
  Decimal d = RoundDigits(ToDecimal(a), precision);
  if (a != 0 && (d.exponent > precision || a < 0.00001)) {
    return ExponentText(value, precision, 3, true);
  }
  std::string digits = d.digits;
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  const int decimals = static_cast<int>(digits.size()) - d.exponent;
  return FixedText(value, decimals > 0 ? decimals : 0, false);
}

std::string NonFinite(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

struct Directive {
  int index = -1;
  bool left = false;
  int width = -1;
  int precision = -1;
  char conversion = 0;
};

// Reads a number or "*" (taken from the arguments) at p; -1 when there is neither.
int ReadCount(std::string_view mask, size_t& p, std::span<const TFormatArg> args, size_t& next,
              std::string_view directive) {
  if (p < mask.size() && mask[p] == '*') {
    ++p;
    if (next >= args.size()) MissingArgument(directive);
    const TFormatArg& a = args[next++];
    if (a.kind() != TFormatArg::Kind::kInteger) InvalidFormat(directive);
    return static_cast<int>(a.integer());
  }
  if (p >= mask.size() || mask[p] < '0' || mask[p] > '9') return -1;
  int64_t n = 0;
  while (p < mask.size() && mask[p] >= '0' && mask[p] <= '9') {
    n = n * 10 + (mask[p++] - '0');
    if (n > kMaxFormatWidth) n = kMaxFormatWidth + 1;
  }
  return static_cast<int>(n);
}

std::string IntegerText(const TFormatArg& a, char conversion, int precision) {
  std::string digits;
  bool negative = false;
  const bool is32 = a.kind() == TFormatArg::Kind::kInteger;
  const int64_t v = a.integer();
  char buf[32];
  if (conversion == 'd') {
    negative = v < 0;
    std::snprintf(buf, sizeof buf, "%llu",
                  static_cast<unsigned long long>(negative ? 0 - static_cast<uint64_t>(v) : v));
  } else {
    const uint64_t u = is32 ? static_cast<uint32_t>(v) : static_cast<uint64_t>(v);
    std::snprintf(buf, sizeof buf, conversion == 'x' ? "%llX" : "%llu",
                  static_cast<unsigned long long>(u));
  }
  digits = buf;
  if (precision > 0 && static_cast<int>(digits.size()) < precision)
    digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
  return negative ? "-" + digits : digits;
}

}  // namespace

std::string FormatMask(std::string_view mask, std::span<const TFormatArg> args) {
  std::string out;
  size_t next = 0;
  size_t p = 0;
  while (p < mask.size()) {
    const size_t percent = mask.find('%', p);
    if (percent == std::string_view::npos) {
      out.append(mask.substr(p));
      break;
    }
    out.append(mask.substr(p, percent - p));
    p = percent + 1;
    if (p < mask.size() && mask[p] == '%') {
      out += '%';
      ++p;
      continue;
    }
    // The directive's text, for error messages: up to and including its conversion.
    size_t end = p;
    while (end < mask.size() &&
           (std::isdigit(static_cast<unsigned char>(mask[end])) || mask[end] == ':' ||
            mask[end] == '-' || mask[end] == '.' || mask[end] == '*'))
      ++end;
    const std::string_view directive = mask.substr(percent, end + 1 - percent);

    Directive d;
    int n = ReadCount(mask, p, args, next, directive);
    if (n >= 0 && p < mask.size() && mask[p] == ':') {
      d.index = n;
      next = static_cast<size_t>(n);
      ++p;
      n = -1;
    }
    if (n < 0) {
      if (p < mask.size() && mask[p] == '-') {
        d.left = true;
        ++p;
      }
      n = ReadCount(mask, p, args, next, directive);
    }
    d.width = n;
    if (p < mask.size() && mask[p] == '.') {
      ++p;
      d.precision = ReadCount(mask, p, args, next, directive);
      if (d.precision < 0) d.precision = 0;
    }
    if (p >= mask.size()) InvalidFormat(directive);
    if (d.width > kMaxFormatWidth || d.precision > kMaxFormatWidth) InvalidFormat(directive);
    d.conversion = static_cast<char>(std::tolower(static_cast<unsigned char>(mask[p++])));
    if (next >= args.size()) MissingArgument(directive);
    const TFormatArg& a = args[next++];

    std::string body;
    switch (d.conversion) {
      case 'd':
      case 'u':
      case 'x':
        if (a.kind() != TFormatArg::Kind::kInteger && a.kind() != TFormatArg::Kind::kInt64)
          InvalidFormat(directive);
        body = IntegerText(a, d.conversion, d.precision);
        break;
      case 'f':
      case 'n':
      case 'e':
      case 'g': {
        if (a.kind() != TFormatArg::Kind::kFloat) InvalidFormat(directive);
        const double v = a.floating();
        if (!std::isfinite(v)) {
          body = NonFinite(v);
        } else if (d.conversion == 'f' || d.conversion == 'n') {
          int decimals = d.precision < 0 ? 2 : d.precision;
          if (decimals > kMaxPrecision) decimals = kMaxPrecision;
          body = FixedText(v, decimals, d.conversion == 'n');
        } else {
          int precision = d.precision < 0 ? 15 : d.precision;
          if (precision > kMaxPrecision) precision = kMaxPrecision;
          if (precision < 1) precision = 1;
          body = d.conversion == 'e' ? ExponentText(v, precision, 3, false)
                                     : GeneralText(v, precision);
        }
        break;
      }
      case 's':
        if (a.kind() != TFormatArg::Kind::kText) InvalidFormat(directive);
        body = d.precision >= 0 ? std::string(FirstCodePoints(a.text(), d.precision))
                                : std::string(a.text());
        break;
      default:
        InvalidFormat(directive);
    }
    Pad(out, body, d.width, d.left);
  }
  return out;
}

std::string FormatMask(std::string_view mask, std::initializer_list<TFormatArg> args) {
  return FormatMask(mask, std::span<const TFormatArg>(args.begin(), args.size()));
}

}  // namespace kalmet
