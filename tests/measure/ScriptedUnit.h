// A hand-scripted unit on a pseudo-terminal, for behaviour the simulated
// KA-V unit does not offer (a unit that answers the probe but not "V?", an
// endless stream, a unit that ignores the end command). Each command line
// received is logged and answered by the script.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "PtyPair.h"

namespace kavo::test {

class ScriptedUnit {
 public:
  using Script = std::function<std::string(const std::string& command)>;
  // `maxWrite`: the most bytes one write to the line carries.
  explicit ScriptedUnit(Script script, size_t maxWrite = SIZE_MAX);
  ~ScriptedUnit();
  ScriptedUnit(const ScriptedUnit&) = delete;
  ScriptedUnit& operator=(const ScriptedUnit&) = delete;

  bool Ok() const { return pty_.Ok(); }
  const std::string& Path() const { return pty_.Path(); }
  std::vector<std::string> Commands() const;

 private:
  void Run();

  Script script_;
  size_t maxWrite_;
  PtyPair pty_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> commands_;
  std::thread thread_;
};

// The healthy answers to the probe and identification commands.
std::string HealthyAnswer(const std::string& command);

}  // namespace kavo::test
