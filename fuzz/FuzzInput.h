// Helpers shared by the fuzz targets: a scratch file per process for the
// readers that take a file name, and a cursor over the input bytes.
#pragma once

#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace kavo::fuzz {

// The scratch files made so far, removed when the process ends normally.
struct ScratchFiles {
  std::vector<std::string> paths;
  ~ScratchFiles() {
    for (const auto& path : paths) std::remove(path.c_str());
  }
};
inline ScratchFiles scratchFiles;

// Writes `data` to /tmp/kavo-fuzz-<pid>.<suffix> and returns its name.
inline QString ScratchFile(const uint8_t* data, size_t size, const char* suffix) {
  const std::string path = "/tmp/kavo-fuzz-" + std::to_string(getpid()) + "." + suffix;
  if (std::find(scratchFiles.paths.begin(), scratchFiles.paths.end(), path) == scratchFiles.paths.end())
    scratchFiles.paths.push_back(path);
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    if (size > 0) std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  return QString::fromStdString(path);
}

// Takes bytes from the front of the input; past its end everything reads 0.
class Bytes {
 public:
  Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  void Take(void* out, size_t n) {
    std::memset(out, 0, n);
    const size_t have = pos_ < size_ ? size_ - pos_ : 0;
    const size_t k = n < have ? n : have;
    if (k > 0) std::memcpy(out, data_ + pos_, k);
    pos_ += k;
  }
  const uint8_t* Rest() const { return data_ + (pos_ < size_ ? pos_ : size_); }
  size_t RestSize() const { return pos_ < size_ ? size_ - pos_ : 0; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace kavo::fuzz
