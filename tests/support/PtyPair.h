// A pseudo-terminal pair for tests: the program opens the slave path like a
// serial port, the test (or a scripted unit) works the master side by hand.
#pragma once

#include <string>

namespace kavo::test {

class PtyPair {
 public:
  // Raw on both sides; `nonBlocking` makes master reads and writes return at once.
  explicit PtyPair(bool nonBlocking = false);
  ~PtyPair() { Close(); }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool Ok() const { return master_ >= 0 && !path_.empty(); }
  const std::string& Path() const { return path_; }
  int Fd() const { return master_; }

  bool Write(const std::string& bytes);
  // Reads what arrives within ms (returns early once `want` bytes are in).
  std::string Read(size_t want, int ms);
  void Close();

 private:
  int master_ = -1;
  std::string path_;
};

}  // namespace kavo::test
