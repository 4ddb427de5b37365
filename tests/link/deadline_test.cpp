// The driver's deadline type and its one EINTR retry and errno reading.
#include <gtest/gtest.h>

#include <climits>
#include <thread>

#include "link/Deadline.h"
#include "link/SysCall.h"

namespace kavo {
namespace {

TEST(Deadline, CountsDownToZeroAndStaysThere) {
  const Deadline soon(80);
  EXPECT_FALSE(soon.Passed());
  EXPECT_GT(soon.Left(), 40);
  EXPECT_LE(soon.Left(), 80);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(soon.Passed());
  EXPECT_EQ(soon.Left(), 0);
  EXPECT_EQ(soon.PollMs(), 0);

  EXPECT_TRUE(Deadline(0).Passed());
  EXPECT_EQ(Deadline(-500).Left(), 0);  // a sum gone negative waits nothing
  EXPECT_EQ(Deadline(int64_t(1) << 40).PollMs(), INT_MAX);

  Deadline again(0);
  again.Restart(1000);
  EXPECT_GT(again.Left(), 900);
}

TEST(SysCall, RetriesOnlyInterruptedCalls) {
  int calls = 0;
  auto interruptedTwice = [&] {
    ++calls;
    if (calls <= 2) {
      errno = EINTR;
      return -1;
    }
    return 7;
  };
  EXPECT_EQ(RetryOnEintr(interruptedTwice), 7);
  EXPECT_EQ(calls, 3);

  calls = 0;
  auto wouldBlock = [&] {
    ++calls;
    errno = EAGAIN;
    return -1L;
  };
  EXPECT_EQ(RetryOnEintr(wouldBlock), -1L);
  EXPECT_EQ(calls, 1);

  EXPECT_EQ(ClassifyErrno(EINTR), SysError::Interrupted);
  EXPECT_EQ(ClassifyErrno(EAGAIN), SysError::WouldBlock);
  EXPECT_EQ(ClassifyErrno(ENOTTY), SysError::NotSupported);
  for (int gone : {EIO, ENXIO, ENODEV, EBADF}) EXPECT_EQ(ClassifyErrno(gone), SysError::Gone) << gone;
  EXPECT_EQ(ClassifyErrno(EACCES), SysError::Other);
}

}  // namespace
}  // namespace kavo
