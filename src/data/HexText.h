// Hexadecimal text as the KA-V unit writes it: point-record fields and the
// point count it announces. Plain C++, shared by the data model and the link.
#pragma once

#include <cstdint>

namespace kavo {

constexpr bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The digit's value; a character that is not a hex digit counts 0.
constexpr int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

// `width` characters, most significant first.
constexpr uint32_t HexField(const char* text, int width) {
  uint32_t value = 0;
  for (int i = 0; i < width; ++i) value = value * 16 + static_cast<uint32_t>(HexDigit(text[i]));
  return value;
}

}  // namespace kavo
