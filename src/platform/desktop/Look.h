// The program's font and its one conversion from stored colour values.
#pragma once

#include <QColor>
#include <QFont>
#include <cstdint>

namespace kavo {

// "ＭＳ Ｐゴシック" where it exists, else the IPA or Noto Japanese gothic.
QFont ProgramFont(int pixelSize = 12);

// Stored colours are 0x00BBGGRR integers (blue in the high byte).
inline QColor ColorFromBgr(uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}
inline uint32_t BgrFromColor(const QColor& c) {
  return static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
         (static_cast<uint32_t>(c.blue()) << 16);
}

}  // namespace kavo
