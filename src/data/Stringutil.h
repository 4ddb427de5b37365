// Text helpers shared by the files, the export and the windows: code page 932
// conversion, the number patterns, strict integer parsing and the date text.
#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace kavo {

// UTF-8 -> CP932. Characters CP932 cannot hold make it return false; `out`
// then holds what could be converted with '?' in their place.
bool Utf8ToCp932(std::string_view utf8, std::string& out);
std::string Utf8ToCp932(std::string_view utf8);
// CP932 -> UTF-8 for display. Never fails: an invalid byte becomes U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);

inline QString FromCp932(std::string_view cp932) {
  return QString::fromStdString(Cp932ToUtf8(cp932));
}
inline std::string ToCp932(const QString& text) {
  return Utf8ToCp932(text.toStdString());
}

// Number patterns "0.00", "#0.00", "#.00", "#.0", "#.000" and "0.0":
// '0' before the point forces a leading zero, '#' alone leaves it out
// (0.5 with "#.00" is ".50"). Rounds half away from zero; a result that
// rounds to zero carries no minus sign.
std::string FormatNumber(double value, std::string_view pattern, char decimalSeparator = '.');
// The decimal separator of the user's number settings (for the export).
char LocaleDecimalSeparator();

// Decimal integer as the readers accept it: leading blanks, an optional sign,
// at least one digit, nothing after the digits, within 32 bits.
bool ParseInt(std::string_view text, int32_t& value);

// A decimal number as a user types it: "2.31", "-1", "1e-3", blanks
// around, also in full-width characters ("５．６"), a point whatever the
// locale. False for anything else, including a decimal comma, and for a
// value that is not finite (as a float for the float form).
bool ParseDecimal(const QString& text, double& value);
bool ParseDecimal(const QString& text, float& value);

// The date-and-time text of a measurement: "yyyy/MM/dd H:mm:ss".
std::string NowText();

}  // namespace kavo
