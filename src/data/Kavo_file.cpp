#include "data/Kavo_file.h"

#include <QFile>
#include <cstdio>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "data/Kavo_data.h"
#include "data/WholeFile.h"

namespace kavo {
namespace {

// The header reader takes at most this many characters of a line at a time;
// the rest of a longer line becomes the next line.
constexpr int HeaderPiece = 249;
// The record reader takes 18 characters and the line feed.
constexpr int RecordPiece = RecordLength + 1;
// The longest line content a writer may produce so that the header reader
// still sees it as one line (content plus line feed within one piece).
constexpr size_t MaxLineContent = HeaderPiece - 1;
static_assert(MaxPrintInfoBytes + sizeof("pstr:") - 1 == MaxLineContent);


// Reads a text file the way a text-mode stream does: a carriage return
// directly before a line feed is dropped, everything else passes unchanged.
// Lines are taken in bounded pieces only.
class TextReader {
 public:
  explicit TextReader(const QString& fileName) {
    if (fileName.isEmpty()) return;
    // Non-blocking open so that a FIFO in the way cannot hang the program;
    // only regular files are read.
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return;
    }
    file_ = ::fdopen(fd, "rb");
    if (!file_) ::close(fd);
  }
  ~TextReader() {
    if (file_) std::fclose(file_);
  }
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;

  bool IsOpen() const { return file_ != nullptr; }

  // Up to `max` characters, up to and including the next line feed. Returns
  // the count; 0 at end of file.
  int ReadPiece(char* buffer, int max) {
    int n = 0;
    while (n < max) {
      const int c = Get();
      if (c == EOF) break;
      buffer[n++] = static_cast<char>(c);
      if (c == '\n') break;
    }
    return n;
  }

  // The next line not starting with ';', without its CR and LF characters.
  // False at end of file, and for a line holding a NUL byte (not text).
  bool HeaderLine(std::string_view& line) {
    for (;;) {
      const int n = ReadPiece(header_, HeaderPiece);
      if (n == 0) return false;
      if (header_[0] == ';') continue;
      int length = 0;
      for (int i = 0; i < n; ++i) {
        const char c = header_[i];
        if (c == '\0') return false;
        if (c != '\r' && c != '\n') header_[length++] = c;
      }
      line = std::string_view(header_, static_cast<size_t>(length));
      return true;
    }
  }

 private:
  int Get() {
    const int c = std::getc(file_);
    if (c != '\r') return c;
    const int next = std::getc(file_);
    if (next == '\n') return '\n';
    if (next != EOF) std::ungetc(next, file_);
    return '\r';
  }

  std::FILE* file_ = nullptr;
  char header_[HeaderPiece + 1];
};

// Splits "key:value" at the first colon; the key keeps its colon.
void SplitKey(std::string_view line, std::string_view& key, std::string_view& value) {
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) {
    key = line;
    value = {};
    return;
  }
  key = line.substr(0, colon + 1);
  value = line.substr(colon + 1);
}

// Reads the next header line and requires `expected` as its key.
bool KeyedLine(TextReader& in, std::string_view expected, std::string_view& value) {
  std::string_view line, key;
  if (!in.HeaderLine(line)) return false;
  SplitKey(line, key, value);
  return key == expected;
}

bool KeyedInt(TextReader& in, std::string_view expected, int32_t& value) {
  std::string_view text;
  return KeyedLine(in, expected, text) && ParseInt(text, value);
}

// A text that the header reader reads back as the same single line.
bool FitsOneLine(std::string_view key, std::string_view value) {
  if (key.size() + value.size() > MaxLineContent) return false;
  return value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

void AddLine(std::string& out, std::string_view text) {
  out += text;
  out += "\r\n";
}

void AddLine(std::string& out, std::string_view key, std::string_view value) {
  out += key;
  out += value;
  out += "\r\n";
}

void AddLine(std::string& out, std::string_view key, int32_t value) {
  AddLine(out, key, std::to_string(value));
}

}  // namespace

bool IsPrintInfoLine(std::string_view utf8) {
  if (utf8.find_first_of("\r\n") != std::string_view::npos) return false;
  std::string bytes;
  Utf8ToCp932(utf8, bytes);
  return bytes.size() <= static_cast<size_t>(MaxPrintInfoBytes);
}

bool KAVO_File::ConvertData(const MeasureData* data, PointValues* raw, PointValues* ave) const {
  if (!data || !raw || !ave) return false;
  ClearValues(*raw);
  ClearValues(*ave);
  if (!IsBand(data->band)) return false;
  const int first = BandFirstSlot(data->band);
  const int last = BandLastSlot(data->band);
  for (int k = first; k <= last; ++k) {
    float freq = 0.0f;
    const bool ok = DecodeRecord(data->points[k], raw->R[k], raw->Theta[k], freq);
    if (!ok) return false;
    raw->Freq[k] = freq;
    ave->Freq[k] = freq;
  }
  auto average = [&](const float* in, float* out) {
    out[first] = in[first];
    for (int k = first + 1; k < last; ++k) out[k] = Mean3(in, k);
    out[last] = in[last];
  };
  average(raw->R, ave->R);
  average(raw->Theta, ave->Theta);
  raw->valid = 1;
  ave->valid = 1;
  return true;
}

bool KAVO_File::ConvertPoint(const MeasureData* data, PointValues* raw, int32_t index,
                             PointValues* ave) const {
  if (!data || !raw || !ave || index < 0 || index >= MaxPoints) return false;
  float r = 0.0f, theta = 0.0f, freq = 0.0f;
  const bool ok = DecodeRecord(data->points[index], r, theta, freq);
  raw->R[index] = ave->R[index] = r;
  raw->Theta[index] = ave->Theta[index] = theta;
  if (ok) raw->Freq[index] = ave->Freq[index] = freq;
  return ok;
}

bool KAVO_File::ReadDataFile(const QString& fileName, std::string* serial, int32_t* portNum,
                             MeasureData* data) const {
  if (fileName.isEmpty() || !data) return false;
  TextReader in(fileName);
  if (!in.IsOpen()) return false;

  std::string_view line, value;
  if (!in.HeaderLine(line) || line != "DataFile:KA-V") return false;
  if (!KeyedLine(in, "SN:", value)) return false;
  // Held back until the whole file is accepted: a broken file must not
  // replace the unit serial or the COM port setting.
  const std::string fileSerial(value);
  if (!KeyedLine(in, "DateTime:", value)) return false;
  data->dateTime.assign(value);
  int32_t port = 0;
  if (!KeyedInt(in, "CommPortNum:", port) || port < 1 || port > 256) return false;
  int32_t band = 0;
  if (!KeyedInt(in, "Band:", band) || !IsBand(band)) return false;
  data->band = band;
  int32_t count = 0;
  if (!KeyedInt(in, "DNum:", count) || count < 1 || count > MaxPoints) return false;

  char piece[RecordPiece];
  for (int k = BandFirstSlot(band); k <= BandLastSlot(band); ++k) {
    if (in.ReadPiece(piece, RecordPiece) != RecordPiece) return false;
    // A NUL inside a record would cut it short when it is written again.
    for (int i = 0; i < RecordLength; ++i)
      if (piece[i] == '\0') return false;
    PointText& slot = data->points[k];
    for (int i = 0; i < RecordLength; ++i) slot.c[i] = piece[i];
    slot.c[RecordLength] = '\0';
  }

  if (!in.HeaderLine(line) || line != "END:") return false;
  if (serial) *serial = fileSerial;
  if (portNum) *portNum = port;
  return true;
}

bool KAVO_File::WriteDataFile(const QString& fileName, const std::string& serial,
                              const SettingsRecord* settings, const MeasureData* data) const {
  if (fileName.isEmpty() || !settings || !data) return false;
  if (!IsBand(data->band)) return false;
  if (settings->CommPortNum < 1 || settings->CommPortNum > 256) return false;
  if (!FitsOneLine("SN:", serial) || !FitsOneLine("DateTime:", data->dateTime)) return false;
  const int first = BandFirstSlot(data->band);
  const int last = BandLastSlot(data->band);

  std::string out;
  out.reserve(static_cast<size_t>(last - first + 1) * (RecordLength + 2) + 512);
  AddLine(out, "DataFile:KA-V");
  AddLine(out, "SN:", serial);
  AddLine(out, "DateTime:", data->dateTime);
  AddLine(out, "CommPortNum:", settings->CommPortNum);
  AddLine(out, "Band:", data->band);
  AddLine(out, "DNum:", BandPointCount(data->band));
  for (int k = first; k <= last; ++k) {
    const char* record = data->points[k].c;
    // Only a full 18-character record on one line reads back.
    for (int i = 0; i < RecordLength; ++i)
      if (record[i] == '\0' || record[i] == '\r' || record[i] == '\n') return false;
    AddLine(out, std::string_view(record, RecordLength));
  }
  AddLine(out, "END:");
  return WriteWhole(fileName, out);
}

bool KAVO_File::ReadSettings(const QString& fileName, SettingsRecord* settings,
                             ViewSettings* view) const {
  if (fileName.isEmpty() || !settings || !view) return false;
  TextReader in(fileName);
  if (!in.IsOpen()) return false;

  SettingsRecord s = *settings;
  ViewSettings v = *view;
  std::string_view line, value;
  if (!in.HeaderLine(line) || line != "KAVO_ini") return false;
  if (!KeyedInt(in, "CommPortNum:", s.CommPortNum) || s.CommPortNum < 1 || s.CommPortNum > 256)
    return false;
  if (!KeyedInt(in, "PenColor_R:", s.PenColor_R)) return false;
  if (!KeyedInt(in, "PenColor_Theta:", s.PenColor_Theta)) return false;
  for (int i = 0; i < MaxRefs; ++i) {
    const std::string index = std::to_string(i);
    if (!KeyedInt(in, "PenColor_R_Ref[" + index + "]:", s.PenColor_R_Ref[i])) return false;
    if (!KeyedInt(in, "PenColor_Theta_Ref[" + index + "]:", s.PenColor_Theta_Ref[i])) return false;
  }
  for (std::string& text : s.pstr) {
    if (!KeyedLine(in, "pstr:", value)) return false;
    text.assign(value);
  }
  // The window may sit at or beyond the screen's top left edge (negative
  // positions on a multi-screen desktop); only the size must be positive.
  if (!KeyedInt(in, "top:", v.top)) return false;
  if (!KeyedInt(in, "left:", v.left)) return false;
  if (!KeyedInt(in, "width:", v.width) || v.width < 1) return false;
  if (!KeyedInt(in, "height:", v.height) || v.height < 1) return false;
  if (!KeyedInt(in, "band:", v.band) || !IsBand(v.band)) return false;
  const std::pair<const char*, uint8_t*> flags[] = {
      {"fronly:", &v.fronly}, {"fwide:", &v.fwide}, {"fave3:", &v.fave3}, {"fwarning:", &v.fwarning}};
  for (const auto& [key, flag] : flags) {
    int32_t number = 0;
    if (!KeyedInt(in, key, number)) return false;
    *flag = number != 0 ? 1 : 0;
  }
  if (!in.HeaderLine(line) || line != "END:") return false;

  *settings = s;
  *view = v;
  return true;
}

bool KAVO_File::WriteSettings(const QString& fileName, const SettingsRecord* settings,
                              const ViewSettings* view) const {
  if (fileName.isEmpty() || !settings || !view) return false;
  for (const std::string& text : settings->pstr)
    if (!FitsOneLine("pstr:", text)) return false;

  std::string out;
  out.reserve(1024);
  AddLine(out, "KAVO_ini");
  AddLine(out, "CommPortNum:", settings->CommPortNum);
  AddLine(out, "PenColor_R:", settings->PenColor_R);
  AddLine(out, "PenColor_Theta:", settings->PenColor_Theta);
  for (int i = 0; i < MaxRefs; ++i) {
    const std::string index = std::to_string(i);
    AddLine(out, "PenColor_R_Ref[" + index + "]:", settings->PenColor_R_Ref[i]);
    AddLine(out, "PenColor_Theta_Ref[" + index + "]:", settings->PenColor_Theta_Ref[i]);
  }
  for (const std::string& text : settings->pstr) AddLine(out, "pstr:", text);
  AddLine(out, "top:", view->top);
  AddLine(out, "left:", view->left);
  AddLine(out, "width:", view->width);
  AddLine(out, "height:", view->height);
  AddLine(out, "band:", view->band);
  AddLine(out, "fronly:", view->fronly ? "1" : "0");
  AddLine(out, "fwide:", view->fwide ? "1" : "0");
  AddLine(out, "fave3:", view->fave3 ? "1" : "0");
  AddLine(out, "fwarning:", view->fwarning ? "1" : "0");
  AddLine(out, "END:");
  return WriteWhole(fileName, out);
}

bool KAVO_File::ExportText(const QString& fileName, const std::string& /*serial*/,
                           const PointValues* values, const MeasureData* data,
                           char decimalSeparator) const {
  if (fileName.isEmpty() || !values || !data) return false;
  if (!IsBand(data->band)) return false;
  const int first = BandFirstSlot(data->band);
  const int last = BandLastSlot(data->band);

  std::string out;
  out.reserve(static_cast<size_t>(last - first + 1) * 32 + 256);
  AddLine(out, Utf8ToCp932("KA-V 測定データ"));
  AddLine(out, Utf8ToCp932("測定日時:"), data->dateTime);
  AddLine(out, Utf8ToCp932("周波数[Hz]\t抵抗値[Ω]\t位相角[deg]"));
  for (int k = first; k <= last; ++k) {
    out += FormatNumber(values->Freq[k], "0.00", decimalSeparator);
    out += '\t';
    out += FormatNumber(values->R[k], "0.00", decimalSeparator);
    out += '\t';
    out += FormatNumber(values->Theta[k], "0.0", decimalSeparator);
    out += "\r\n";
  }
  return WriteWhole(fileName, out);
}

}  // namespace kavo
