#include "ScriptedUnit.h"

#include <poll.h>
#include <algorithm>
#include <unistd.h>

namespace kavo::test {

ScriptedUnit::ScriptedUnit(Script script, size_t maxWrite)
    : script_(std::move(script)), maxWrite_(maxWrite), pty_(true) {
  if (pty_.Ok()) thread_ = std::thread([this] { Run(); });
}

ScriptedUnit::~ScriptedUnit() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

std::vector<std::string> ScriptedUnit::Commands() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return commands_;
}

void ScriptedUnit::Run() {
  std::string line, pending;
  while (!stop_) {
    pollfd pfd{pty_.Fd(), static_cast<short>(POLLIN | (pending.empty() ? 0 : POLLOUT)), 0};
    if (poll(&pfd, 1, 10) <= 0) continue;
    if (pfd.revents & POLLIN) {
      char buf[256];
      const ssize_t n = ::read(pty_.Fd(), buf, sizeof buf);
      for (ssize_t i = 0; i < n; ++i) {
        if (buf[i] != '\r') {
          line += buf[i];
          continue;
        }
        {
          std::lock_guard<std::mutex> lock(mutex_);
          commands_.push_back(line);
        }
        pending += script_(line);
        line.clear();
      }
    }
    if (!pending.empty()) {
      const ssize_t n = ::write(pty_.Fd(), pending.data(), std::min(pending.size(), maxWrite_));
      if (n > 0) pending.erase(0, static_cast<size_t>(n));
    }
  }
}

std::string HealthyAnswer(const std::string& command) {
  if (command == "?" || command == "ME") return "OK\r";
  if (command == "U?") return "KA-V\r";
  if (command == "V?") return "2.10\r";
  if (command == "SN?") return "0815\r";
  if (command == "M?") return "0\r";
  return "";
}

}  // namespace kavo::test
