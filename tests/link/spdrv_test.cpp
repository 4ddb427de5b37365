// TSerialPortDriver over real pseudo-terminals.
#include "link/Spdrv.h"
#include "platform/ComPorts.h"
#include "EventPump.h"
#include "PtyPair.h"
#include "ScopedEnv.h"
#include "ScopedFileModes.h"
#include "TempDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>

namespace kavo {
namespace {

using test::PtyPair;
using test::PumpFor;
using test::ScopedEnv;
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool WaitForRX(TSerialPortDriver& d, uint32_t n, int ms = 1000) {
  const auto start = Clock::now();
  while (MsSince(start) < ms) {
    if (d.CountRX() >= n) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

TEST(Spdrv, InitialValuesAndHelpers) {
  TSerialPortDriver d;
  EXPECT_EQ(d.Port(), pnCOM1);
  EXPECT_EQ(d.PortName(), ComPortPath(1));
  EXPECT_EQ(d.BaudRate(), br9600);
  EXPECT_EQ(d.BaudRateValue(), 9600u);
  EXPECT_EQ(d.DataBits(), db8BITS);
  EXPECT_EQ(d.StopBits(), sb1BITS);
  EXPECT_EQ(d.Parity(), ptNONE);
  EXPECT_EQ(d.HwFlow(), hfNONERTSON);
  EXPECT_EQ(d.SwFlow(), sfNONE);
  EXPECT_EQ(d.InBufSize(), 2048u);
  EXPECT_EQ(d.OutBufSize(), 2048u);
  EXPECT_EQ(d.PacketSize(), -1);
  EXPECT_EQ(d.PacketTimeout(), -1);
  EXPECT_EQ(d.PollingDelay(), 100);
  EXPECT_TRUE(d.EnableDTROnOpen());
  EXPECT_EQ(d.OutputTimeout(), 500);
  EXPECT_EQ(d.InputTimeout(), 100u);
  EXPECT_FALSE(d.CheckLineStatus());
  EXPECT_FALSE(d.IsPolling());  // the pause counter starts at 1
  d.ContinuePolling();
  EXPECT_TRUE(d.IsPolling());

  EXPECT_EQ(BaudRateOf(brCustom), 0u);
  EXPECT_EQ(BaudRateOf(br110), 110u);
  EXPECT_EQ(BaudRateOf(br14400), 14400u);
  EXPECT_EQ(BaudRateOf(br256000), 256000u);
  EXPECT_EQ(DelayForRX(br9600, 19), 20u);  // 19.79 ms
  EXPECT_EQ(DelayForRX(br9600, 7603), 7920u);
  EXPECT_EQ(DelayForRX(brCustom, 19), 0u);
}

TEST(Spdrv, MissingPortFailsAndEverythingIsNeutral) {
  TSerialPortDriver d;
  d.SetPortName(QStringLiteral("/nonexistent/ttyKAVO"));
  EXPECT_EQ(d.Port(), pnCustom);
  EXPECT_FALSE(d.Connect());
  EXPECT_FALSE(d.Connected());
  EXPECT_FALSE(d.PollingTimerActive());
  char buf[19];
  const auto start = Clock::now();
  EXPECT_EQ(d.ReadData(buf, 19), 0u);
  EXPECT_EQ(d.ReadData_inTime(buf, 5, 300), 0u);
  EXPECT_LT(MsSince(start), 50.0);
  EXPECT_EQ(d.InputTimeout(), 300u);  // kept for later reads even when not connected
  EXPECT_EQ(d.ReadData2(buf, 5, 700), 0u);
  EXPECT_EQ(d.InputTimeout(), 300u);  // ReadData2 stores only while connected
  EXPECT_EQ(d.ReadData_All(buf, sizeof buf), 0u);
  EXPECT_EQ(d.CountRX(), 65535u);
  EXPECT_EQ(d.OutFreeSpace(), 65535);
  EXPECT_FALSE(d.FlushBuffers(true, true));
  EXPECT_FALSE(d.SendZString("?\r"));
  EXPECT_TRUE(d.SendZString(""));
  EXPECT_EQ(d.SendDataEx("x", 1, 100), 0u);
  EXPECT_EQ(d.GetLineStatus(), 0);
  EXPECT_FALSE(d.ToggleDTR(true));
  EXPECT_FALSE(d.ToggleRTS(true));
  EXPECT_FALSE(d.Disconnect());
  EXPECT_FALSE(d.ApplyCOMSettings());

  // A file that is not a terminal is no port either.
  test::TempDir dir;
  ASSERT_TRUE(test::WriteAll(dir.Path("plain"), "x"));
  d.SetPortName(dir.Path("plain"));
  EXPECT_FALSE(d.Connect());
  EXPECT_FALSE(d.Connected());
}

TEST(Spdrv, ConnectTellsWhyItFailed) {
  PtyPair held, denied, free;
  ASSERT_TRUE(held.Ok() && denied.Ok() && free.Ok());
  TSerialPortDriver holder;
  holder.SetPortName(QString::fromStdString(held.Path()));
  ASSERT_TRUE(holder.Connect());
  EXPECT_EQ(holder.LastOpenFailure(), OpenFailure::None);
  ASSERT_EQ(chmod(denied.Path().c_str(), 0), 0);
  test::TempDir dir;
  ASSERT_TRUE(test::WriteAll(dir.Path("plain"), "x"));
  struct Case {
    QString path;
    OpenFailure why;
  };
  const Case cases[] = {{QStringLiteral("/nonexistent/ttyKAVO"), OpenFailure::NoSuchDevice},
                        {dir.Path("plain"), OpenFailure::NotSerial},
                        {QString::fromStdString(held.Path()), OpenFailure::Busy},
                        {QString::fromStdString(denied.Path()), OpenFailure::PermissionDenied},
                        {QString::fromStdString(free.Path()), OpenFailure::None}};
  for (const Case& c : cases) {
    TSerialPortDriver d;
    d.SetPortName(c.path);
    bool opened = false;
    {
      test::ScopedFileModes modes;
      ASSERT_TRUE(modes.Binding());
      opened = d.Connect();
    }
    EXPECT_EQ(opened, c.why == OpenFailure::None) << c.path.toStdString();
    EXPECT_EQ(d.LastOpenFailure(), c.why) << c.path.toStdString();
  }
  // Only the mode kept it shut: the same device opens when it allows.
  ASSERT_EQ(chmod(denied.Path().c_str(), 0620), 0);
  TSerialPortDriver d;
  d.SetPortName(QString::fromStdString(denied.Path()));
  test::ScopedFileModes modes;
  EXPECT_TRUE(d.Connect());
}

TEST(Spdrv, ConnectOpensOnceAndExclusively) {
  PtyPair peer;
  ASSERT_TRUE(peer.Ok());
  TSerialPortDriver a, b;
  a.SetPortName(QString::fromStdString(peer.Path()));
  b.SetPortName(QString::fromStdString(peer.Path()));
  ASSERT_TRUE(a.Connect());
  const int handle = a.Handle();
  EXPECT_TRUE(a.Connect());
  EXPECT_EQ(a.Handle(), handle);
  EXPECT_TRUE(a.PollingTimerActive());
  // Even root is kept out while the port is open.
  EXPECT_FALSE(b.Connect());
  EXPECT_FALSE(b.Connected());
  EXPECT_TRUE(a.Disconnect());
  EXPECT_FALSE(a.Connected());
  EXPECT_FALSE(a.PollingTimerActive());
  EXPECT_FALSE(a.Disconnect());
  // Closing releases the port for the next user.
  EXPECT_TRUE(b.Connect());
  EXPECT_TRUE(b.Disconnect());
  EXPECT_TRUE(a.Connect());
}

TEST(Spdrv, ConnectLeavesTheLineRawAtTheChosenSpeed) {
  PtyPair peer;
  ASSERT_TRUE(peer.Ok());
  TSerialPortDriver d;
  d.SetPortName(QString::fromStdString(peer.Path()));
  ASSERT_TRUE(d.Connect());
  termios tio{};
  ASSERT_EQ(tcgetattr(d.Handle(), &tio), 0);
  EXPECT_EQ(cfgetospeed(&tio), speed_t(B9600));
  EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
  EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(tio.c_iflag & (ICRNL | IXON | IXOFF), 0u);
  EXPECT_EQ(tio.c_oflag & OPOST, 0u);
  // A pty has no modem lines: neutral results, and Connect succeeded anyway.
  EXPECT_EQ(d.GetLineStatus(), 0);
  EXPECT_FALSE(d.ToggleDTR(false));

  // Line settings apply at once while connected.
  d.SetBaudRate(br115200);
  ASSERT_EQ(tcgetattr(d.Handle(), &tio), 0);
  EXPECT_EQ(cfgetospeed(&tio), speed_t(B115200));
  d.SetSwFlowControl(sfXONXOFF);
  d.SetHwFlowControl(hfRTSCTS);
  ASSERT_EQ(tcgetattr(d.Handle(), &tio), 0);
  EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));
  EXPECT_EQ(tio.c_cc[VSTART], 0x11);
  EXPECT_EQ(tio.c_cc[VSTOP], 0x13);
  EXPECT_NE(tio.c_cflag & CRTSCTS, 0u);
  // Rates without a B-constant go through the custom-speed interface.
  d.SetBaudRate(br14400);
  EXPECT_TRUE(d.ApplyCOMSettings());
  d.SetBaudRateValue(31250);
  EXPECT_EQ(d.BaudRate(), brCustom);
  EXPECT_TRUE(d.ApplyCOMSettings());
  d.SetBaudRateValue(0);
  EXPECT_FALSE(d.ApplyCOMSettings());
  d.Disconnect();

  // A pty always runs 8 data bits without parity: a setting the line does not
  // take is reported, not silently accepted.
  d.SetBaudRate(br9600);
  d.SetDataBits(db7BITS);
  EXPECT_FALSE(d.Connect());
  EXPECT_FALSE(d.Connected());
  d.SetDataBits(db8BITS);
  d.SetParity(ptEVEN);
  EXPECT_FALSE(d.Connect());
  d.SetParity(ptNONE);
  EXPECT_TRUE(d.Connect());
}

TEST(Spdrv, PortSelectionAndGuards) {
  test::TempDir dir;
  ScopedEnv settings("KAVO_SETTINGS_DIR", QFile::encodeName(dir.Root()));
  ScopedEnv com12("KAVO_COM12", QByteArray());
  // The fall-back, then a ports/COM<n> entry, then the environment.
  EXPECT_EQ(ComPortPath(12), QStringLiteral("/dev/ttyS11"));
  EXPECT_EQ(ComPortPath(0), QString());
  ASSERT_TRUE(QDir(dir.Root()).mkpath(QStringLiteral("ports")));
  const QString link = dir.Path(QStringLiteral("ports/COM12"));
  ASSERT_TRUE(QFile::link(QStringLiteral("/nonexistent/pts"), link));
  EXPECT_EQ(ComPortPath(12), link);  // dangling, but what the user set up
  {
    ScopedEnv env("KAVO_COM12", "/dev/pts/77");
    EXPECT_EQ(ComPortPath(12), QStringLiteral("/dev/pts/77"));
  }

  PtyPair peer;
  ASSERT_TRUE(peer.Ok());
  TSerialPortDriver d;
  d.SetPort(pnCOM12);
  EXPECT_EQ(d.Port(), pnCOM12);
  EXPECT_EQ(d.PortName(), link);
  d.SetPort(pnCustom);
  EXPECT_EQ(d.PortName(), link);  // pnCustom keeps the name
  d.SetPortName(QString::fromStdString(peer.Path()));
  ASSERT_TRUE(d.Connect());
  d.SetPort(pnCOM3);
  d.SetPortName(QStringLiteral("/dev/null"));
  EXPECT_EQ(d.Port(), pnCustom);
  EXPECT_EQ(d.PortName(), QString::fromStdString(peer.Path()));
}

TEST(Spdrv, BufferAndPollingClamps) {
  TSerialPortDriver d;
  d.SetInBufSize(50);
  EXPECT_EQ(d.InBufSize(), 128u);
  d.SetInBufSize(10000);
  EXPECT_EQ(d.InBufSize(), 8192u);
  d.SetOutBufSize(1);
  EXPECT_EQ(d.OutBufSize(), 128u);
  d.SetPollingDelay(2);
  EXPECT_EQ(d.PollingDelay(), 5);
  d.SetPacketSize(0);
  EXPECT_EQ(d.PacketSize(), -1);
  d.SetInBufSize(1024);
  d.SetPacketSize(4000);  // a packet larger than the buffer grows the buffer
  EXPECT_EQ(d.InBufSize(), 4000u);
  EXPECT_EQ(d.PacketSize(), 4000);
  d.SetInBufSize(256);  // and a smaller buffer shrinks the packet with it
  EXPECT_EQ(d.PacketSize(), 256);
  d.SetPollingDelay(100);
  d.SetPacketTimeout(50);
  EXPECT_EQ(d.PacketTimeout(), 140);
  d.SetPacketTimeout(-3);
  EXPECT_EQ(d.PacketTimeout(), -1);

  PtyPair peer;
  ASSERT_TRUE(peer.Ok());
  d.SetPortName(QString::fromStdString(peer.Path()));
  ASSERT_TRUE(d.Connect());
  d.SetInBufSize(4096);
  d.SetOutBufSize(4096);
  EXPECT_EQ(d.InBufSize(), 256u);  // ignored while connected
  EXPECT_EQ(d.OutBufSize(), 128u);
  d.SetPollingDelay(20);  // the timer restarts with the new period
  EXPECT_EQ(d.PollingDelay(), 20);
  EXPECT_TRUE(d.PollingTimerActive());
}

TEST(Spdrv, PollingTimerTakesNoBytes) {
  PtyPair peer;
  ASSERT_TRUE(peer.Ok());
  TSerialPortDriver d;
  d.SetPortName(QString::fromStdString(peer.Path()));
  d.SetPollingDelay(5);
  ASSERT_TRUE(d.Connect());
  ASSERT_TRUE(peer.Write("OK\r"));
  ASSERT_TRUE(WaitForRX(d, 3));
  PumpFor(60);  // a dozen ticks
  EXPECT_EQ(d.CountRX(), 3u);
  char buf[3];
  EXPECT_EQ(d.ReadData(buf, 3), 3u);
  EXPECT_EQ(std::string(buf, 3), "OK\r");
}

TEST(Spdrv, ReadDeadlineCountsFromTheStartAndIsKept) {
  PtyPair peer;
  ASSERT_TRUE(peer.Ok());
  TSerialPortDriver d;
  d.SetPortName(QString::fromStdString(peer.Path()));
  ASSERT_TRUE(d.Connect());
  char buf[64];
  auto start = Clock::now();
  EXPECT_EQ(d.ReadData_inTime(buf, 5, 300), 0u);
  double took = MsSince(start);
  EXPECT_GE(took, 300.0);
  EXPECT_LT(took, 380.0);
  EXPECT_EQ(d.InputTimeout(), 300u);
  start = Clock::now();
  EXPECT_EQ(d.ReadData(buf, 5), 0u);
  EXPECT_GE(MsSince(start), 300.0);

  // Pieces arriving before the deadline are gathered; the deadline is not
  // renewed by them, so a piece after it is left for the next read.
  std::thread writer([&] {
    peer.Write("0123456789");
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    peer.Write("ABCD");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    peer.Write("EFGHI");
  });
  start = Clock::now();
  const uint32_t got = d.ReadData_inTime(buf, 19, 100);
  took = MsSince(start);
  writer.join();
  EXPECT_EQ(got, 14u);
  EXPECT_EQ(std::string(buf, got), "0123456789ABCD");
  EXPECT_GE(took, 100.0);
  EXPECT_LT(took, 150.0);
  EXPECT_EQ(d.ReadData(buf, 5), 5u);
  EXPECT_EQ(std::string(buf, 5), "EFGHI");
}

TEST(Spdrv, QueuedRecordIsReadAtOnceAndOnlyWhatIsAskedFor) {
  PtyPair peer;
  ASSERT_TRUE(peer.Ok());
  TSerialPortDriver d;
  d.SetPortName(QString::fromStdString(peer.Path()));
  ASSERT_TRUE(d.Connect());
  const std::string bytes = "0123456789ABCDEF012\rtail..";
  ASSERT_TRUE(peer.Write(bytes));
  ASSERT_TRUE(WaitForRX(d, uint32_t(bytes.size())));
  char buf[64];
  d.SetInputTimeout(1000);
  const auto start = Clock::now();
  EXPECT_EQ(d.ReadData(buf, 19), 19u);
  EXPECT_LT(MsSince(start), 50.0);  // far below the 1000 ms deadline
  EXPECT_EQ(std::string(buf, 19), bytes.substr(0, 19));
  EXPECT_EQ(d.CountRX(), uint32_t(bytes.size() - 19));
  // ReadData_All takes the rest, never more than the buffer holds.
  EXPECT_EQ(d.ReadData_All(buf, 3), 3u);
  EXPECT_EQ(d.ReadData_All(buf), 4u);
  EXPECT_EQ(std::string(buf, 4), "il..");
  uint8_t byte = 0;
  d.SetInputTimeout(20);
  EXPECT_FALSE(d.ReadByte(byte));
  ASSERT_TRUE(peer.Write("Z"));
  char c = 0;
  EXPECT_TRUE(d.ReadChar(c));
  EXPECT_EQ(c, 'Z');
}

TEST(Spdrv, SendAndFlush) {
  PtyPair peer;
  ASSERT_TRUE(peer.Ok());
  TSerialPortDriver d;
  d.SetPortName(QString::fromStdString(peer.Path()));
  ASSERT_TRUE(d.Connect());
  EXPECT_TRUE(d.SendZString("M1\r"));
  EXPECT_TRUE(d.SendZString(""));
  EXPECT_TRUE(d.SendByte(0x3F));
  EXPECT_TRUE(d.SendString(QByteArray("ME\r")));
  EXPECT_EQ(peer.Read(7, 500), "M1\r?ME\r");
  EXPECT_EQ(d.OutFreeSpace(), 2048);

  ASSERT_TRUE(peer.Write("stale reply\r"));
  ASSERT_TRUE(WaitForRX(d, 12));
  EXPECT_TRUE(d.FlushBuffers(true, true));
  EXPECT_EQ(d.CountRX(), 0u);
  char buf[16];
  EXPECT_EQ(d.ReadData_inTime(buf, 1, 30), 0u);
}

TEST(Spdrv, WriteStopsAfterTheIdleTimeoutWhenNobodyReads) {
  PtyPair peer;
  ASSERT_TRUE(peer.Ok());
  TSerialPortDriver d;
  d.SetPortName(QString::fromStdString(peer.Path()));
  ASSERT_TRUE(d.Connect());
  // The peer never reads: the pty fills up and the write must give up
  // 100 ms after its last progress instead of hanging.
  const std::string big(1 << 20, 'x');
  const auto start = Clock::now();
  const uint32_t sent = d.SendDataEx(big.data(), uint32_t(big.size()), 100);
  const double took = MsSince(start);
  EXPECT_GT(sent, 0u);
  EXPECT_LT(sent, big.size());
  EXPECT_GE(took, 100.0);
  EXPECT_LT(took, 1000.0);
}

TEST(Spdrv, PeerHangingUpMidReadGivesShortCountsNotHangs) {
  PtyPair peer;
  ASSERT_TRUE(peer.Ok());
  TSerialPortDriver d;
  d.SetPortName(QString::fromStdString(peer.Path()));
  ASSERT_TRUE(d.Connect());
  std::thread unit([&] {
    peer.Write("0190\r0123456789");
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    peer.Close();
  });
  char buf[7603];
  auto start = Clock::now();
  const uint32_t got = d.ReadData_inTime(buf, sizeof buf, 300);
  const double took = MsSince(start);
  unit.join();
  EXPECT_EQ(got, 15u);  // what came before the hang-up
  EXPECT_LT(took, 380.0);
  // The gone device answers every later call at once or by its deadline.
  start = Clock::now();
  EXPECT_EQ(d.ReadData(buf, 19), 0u);
  EXPECT_LT(MsSince(start), 380.0);
  start = Clock::now();
  EXPECT_FALSE(d.SendZString("ME\r"));
  EXPECT_LT(MsSince(start), 50.0);  // a write to a gone device fails at once
  EXPECT_FALSE(d.FlushBuffers(true, true));
  EXPECT_EQ(d.CountRX(), 0u);
  EXPECT_TRUE(d.Connected());  // the caller decides when to let go
  d.Disconnect();
  EXPECT_FALSE(d.Connected());
}

TEST(Spdrv, SetHandleAdoptsAndForgets) {
  PtyPair peer;
  ASSERT_TRUE(peer.Ok());
  const int fd = ::open(peer.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  TSerialPortDriver d;
  d.SetHandle(fd);
  EXPECT_TRUE(d.Connected());
  EXPECT_TRUE(d.PollingTimerActive());
  EXPECT_TRUE(d.SendZString("?\r"));
  EXPECT_EQ(peer.Read(2, 500), "?\r");
  d.SetHandle(-2);  // forgotten, not closed
  EXPECT_FALSE(d.Connected());
  EXPECT_FALSE(d.PollingTimerActive());
  EXPECT_EQ(::write(fd, "x", 1), 1);
  ::close(fd);
}

}  // namespace
}  // namespace kavo
