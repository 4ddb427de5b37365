// Makes file modes bind the calling thread even when the tests run as root:
// CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH leave the thread's effective set
// while the object lives (they stay permitted and come back afterwards).
// For another user it changes nothing; the modes bind already. With this, a
// device of mode 000 refuses open() with EACCES as it would refuse a user
// outside its group.
#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace kavo::test {

class ScopedFileModes {
 public:
  ScopedFileModes() {
    if (syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
    lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    lowered_ = syscall(SYS_capset, &header_, lowered) == 0;
  }
  ~ScopedFileModes() {
    if (lowered_) syscall(SYS_capset, &header_, saved_);
  }
  ScopedFileModes(const ScopedFileModes&) = delete;
  ScopedFileModes& operator=(const ScopedFileModes&) = delete;

  // False when root's override could not be given up (then modes may not bind).
  bool Binding() const { return lowered_ || geteuid() != 0; }

 private:
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[2] = {};
  bool lowered_ = false;
};

}  // namespace kavo::test
