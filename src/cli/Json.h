// JSON text for the commands' --json outputs.
#pragma once

#include <QString>
#include <cstdio>
#include <string>

namespace kavo::cli {

// `text` as a JSON string: quoted, with quotes, backslashes and control
// characters escaped; UTF-8 passes as it is.
inline std::string JsonString(const QString& text) {
  std::string out = "\"";
  for (const char ch : text.toStdString()) {
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (static_cast<unsigned char>(ch) < 0x20) {
      char code[8];
      std::snprintf(code, sizeof code, "\\u%04x", unsigned(ch));
      out += code;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

}  // namespace kavo::cli
