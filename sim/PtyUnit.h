// The simulated KA-V unit on a pseudo-terminal: the program opens the slave
// side like a serial port; the unit runs on its own thread on the master side.
//
//   kavsim::PtyUnit unit;                     // configure, then Start()
//   unit.Config().fault = kavsim::Fault::Stall;
//   unit.Start();  ... driver.SetPortName(unit.SlavePath()) ...
//
// The destructor stops the thread and closes the master.
#pragma once

#include "UnitProtocol.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kavsim {

// Opens a pseudo-terminal pair, raw on both sides. Returns the master
// descriptor (close-on-exec, blocking) and the slave's path; -1 on failure.
int OpenRawPty(std::string& slavePath);

class PtyUnit {
 public:
  explicit PtyUnit(UnitConfig config = {});
  ~PtyUnit();
  PtyUnit(const PtyUnit&) = delete;
  PtyUnit& operator=(const PtyUnit&) = delete;

  // Settings take effect at Start(); changing them later has no effect.
  UnitConfig& Config() { return config_; }

  // Opens the pty pair (raw on both sides) and starts the unit's thread.
  // False when no pseudo-terminal could be had or it was started already.
  bool Start();
  // Ends the thread and closes the line. Safe to call twice.
  void Stop();
  // Closes the master now, as a unit switched off mid-sentence would: the
  // slave side reads end-of-file / EIO from then on.
  void HangUp();
  bool Running() const { return running_.load(); }
  bool HungUp() const { return hungUp_.load(); }

  // The device path to open, e.g. "/dev/pts/7"; empty before Start().
  const std::string& SlavePath() const { return slavePath_; }

  // Every command received, in order, as its text without the carriage
  // return ("?", "U?", "ME", "M1", ...).
  std::vector<std::string> Commands() const;
  void ClearCommands();
  // Waits until at least n commands have arrived; false after timeoutMs.
  bool WaitForCommands(size_t n, int timeoutMs) const;
  // Bytes the unit has put on the line so far.
  uint64_t BytesSent() const { return bytesSent_.load(); }
  bool WaitForBytesSent(uint64_t n, int timeoutMs) const;
  // CPU time (user + system) the unit's thread has used, in seconds; 0 when
  // it is not running. Lets a benchmark leave the unit out of its figures.
  double ThreadCpuSeconds() const;

 private:
  void Run();
  void CloseLine();
  void Wake();

  UnitConfig config_;
  int master_ = -1;
  int slaveKeep_ = -1;  // keeps the slave open so the master never sees a hang-up
  int wake_ = -1;       // eventfd that interrupts the thread's poll
  std::string slavePath_;
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::atomic<bool> stop_{false};
  std::atomic<bool> hangUpRequest_{false};
  std::atomic<bool> hungUp_{false};
  std::atomic<uint64_t> bytesSent_{0};
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<std::string> commands_;
};

}  // namespace kavsim
