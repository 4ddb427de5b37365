#include "data/Stringutil.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <cerrno>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iconv.h>

namespace kavo {
namespace {

// Runs iconv over the whole input. `replacement` stands in for each input
// byte iconv cannot take; returns false when any replacement was needed.
bool Convert(const char* to, const char* from, std::string_view in, std::string& out,
             const char* replacement) {
  out.clear();
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    out.assign(in);
    return false;
  }
  bool clean = true;
  char buffer[1024];
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (rc != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL (truncated sequence): skip one byte, or a whole UTF-8
    // sequence when converting from UTF-8, and mark it.
    clean = false;
    out.append(replacement);
    size_t skip = 1;
    if (std::string_view(from) == "UTF-8") {
      auto lead = static_cast<unsigned char>(*src);
      skip = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      if (skip > srcLeft) skip = srcLeft;
    }
    src += skip;
    srcLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return clean;
}

}  // namespace

bool Utf8ToCp932(std::string_view utf8, std::string& out) {
  return Convert("CP932", "UTF-8", utf8, out, "?");
}

std::string Utf8ToCp932(std::string_view utf8) {
  std::string out;
  Utf8ToCp932(utf8, out);
  return out;
}

std::string Cp932ToUtf8(std::string_view cp932) {
  std::string out;
  Convert("UTF-8", "CP932", cp932, out, "\xEF\xBF\xBD");
  return out;
}

std::string FormatNumber(double value, std::string_view pattern, char decimalSeparator) {
  const size_t point = pattern.find('.');
  const int decimals = point == std::string_view::npos ? 0 : static_cast<int>(pattern.size() - point - 1);
  const bool leadingZero = pattern.substr(0, point).find('0') != std::string_view::npos;
  if (!std::isfinite(value)) return std::isnan(value) ? "NAN" : (value > 0 ? "INF" : "-INF");

  // Round the decimal form at 15 significant digits, as a person reads the
  // number: 1.2345 is 1.235 with three decimals although its binary value is
  // a hair below. Then round half away from zero at the wanted decimal.
  char sci[32];
  std::snprintf(sci, sizeof sci, "%.14e", std::fabs(value));
  std::string mantissa;
  for (const char* c = sci; *c && *c != 'e'; ++c)
    if (*c >= '0' && *c <= '9') mantissa += *c;
  const int exponent = std::atoi(std::strchr(sci, 'e') + 1);
  // mantissa = d0 d1 ... d14, value = d0.d1... x 10^exponent
  const int intDigits = exponent + 1;  // digits before the point (may be <= 0)
  const int keep = intDigits + decimals;
  std::string digits;  // the kept digits, integer and fraction together
  if (keep >= 0) {
    if (keep < static_cast<int>(mantissa.size())) {
      digits = mantissa.substr(0, static_cast<size_t>(keep));
      if (mantissa[static_cast<size_t>(keep)] >= '5') {
        int i = keep - 1;
        for (; i >= 0 && digits[static_cast<size_t>(i)] == '9'; --i) digits[static_cast<size_t>(i)] = '0';
        if (i >= 0) ++digits[static_cast<size_t>(i)];
        else digits.insert(0, 1, '1');
      }
    } else {
      digits = mantissa + std::string(static_cast<size_t>(keep) - mantissa.size(), '0');
    }
  }
  if (static_cast<int>(digits.size()) <= decimals)
    digits.insert(0, static_cast<size_t>(decimals) + 1 - digits.size(), '0');
  const bool zero = digits.find_first_not_of('0') == std::string::npos;
  std::string whole = digits.substr(0, digits.size() - static_cast<size_t>(decimals));
  const std::string frac = digits.substr(digits.size() - static_cast<size_t>(decimals));
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));
  if (whole == "0" && !leadingZero) whole.clear();

  std::string out;
  if (value < 0 && !zero) out += '-';
  out += whole;
  if (decimals > 0) {
    out += decimalSeparator;
    out += frac;
  }
  return out;
}

char LocaleDecimalSeparator() {
  const QString point = QLocale::system().decimalPoint();
  return point.size() == 1 && point[0].unicode() < 0x80 ? static_cast<char>(point[0].unicode()) : '.';
}

bool ParseInt(std::string_view text, int32_t& value) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size()) return false;
  int64_t result = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    result = result * 10 + (c - '0');
    if (result > 2147483648LL) return false;
  }
  if (negative) result = -result;
  if (result > INT32_MAX || result < INT32_MIN) return false;
  value = static_cast<int32_t>(result);
  return true;
}

std::string NowText() {
  return QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd H:mm:ss")).toStdString();
}

namespace {

// A Japanese input method types "５.６" or "５．６": full-width digits, point,
// signs, exponent letter and the ideographic space count as their ASCII
// forms. Nothing else is mapped, so a decimal comma stays refused.
QString AsciiForm(const QString& text) {
  QString out = text;
  for (QChar& c : out) {
    const char16_t u = c.unicode();
    if (u >= 0xFF10 && u <= 0xFF19) c = QChar(u'0' + (u - 0xFF10));
    else if (u == 0xFF0E) c = u'.';
    else if (u == 0xFF0D || u == 0x2212) c = u'-';
    else if (u == 0xFF0B) c = u'+';
    else if (u == 0xFF45) c = u'e';
    else if (u == 0xFF25) c = u'E';
    else if (u == 0x3000) c = u' ';
  }
  return out;
}

}  // namespace

bool ParseDecimal(const QString& typed, double& value) {
  static const QRegularExpression number(
      QStringLiteral("^\\s*[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?\\s*$"));
  const QString text = AsciiForm(typed);
  if (!number.match(text).hasMatch()) return false;
  bool ok = false;
  const double d = text.trimmed().toDouble(&ok);  // C locale: '.' only
  if (!ok || !std::isfinite(d)) return false;
  value = d;
  return true;
}

bool ParseDecimal(const QString& text, float& value) {
  double d = 0;
  if (!ParseDecimal(text, d) || !std::isfinite(static_cast<float>(d))) return false;
  value = static_cast<float>(d);
  return true;
}

}  // namespace kavo
