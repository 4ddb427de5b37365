// The simulated KA-V unit: replies byte for byte, the sweep stream, pacing,
// every fault, and the kavsim program.
#include "PtyUnit.h"
#include "UnitModel.h"
#include "UnitProtocol.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <cmath>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using kavsim::Fault;

// The program's side of the line, by hand: a raw slave descriptor.
class Line {
 public:
  explicit Line(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios tio{};
    if (fd_ >= 0 && tcgetattr(fd_, &tio) == 0) {
      cfmakeraw(&tio);
      tcsetattr(fd_, TCSANOW, &tio);
    }
  }
  ~Line() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool Ok() const { return fd_ >= 0; }
  void Send(const std::string& command) {
    const std::string bytes = command + "\r";
    ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
  }
  // Collects bytes until `want` have come or nothing arrived for quietMs.
  std::string Read(size_t want, int quietMs = 150) {
    std::string got;
    while (got.size() < want) {
      pollfd pfd{fd_, POLLIN, 0};
      if (poll(&pfd, 1, quietMs) <= 0) break;
      char buf[8192];
      const ssize_t n = ::read(fd_, buf, std::min(sizeof buf, want - got.size()));
      if (n <= 0) break;
      got.append(buf, size_t(n));
    }
    return got;
  }
  std::string Ask(const std::string& command, size_t want = 64, int quietMs = 60) {
    Send(command);
    return Read(want, quietMs);
  }
  int Fd() const { return fd_; }

 private:
  int fd_ = -1;
};

kavsim::UnitConfig Unpaced(Fault fault = Fault::None, int faultPoint = 5) {
  kavsim::UnitConfig c;
  c.paced = false;
  c.fault = fault;
  c.faultPoint = faultPoint;
  return c;
}

std::string Stream(kavsim::UnitConfig config, int band) {
  kavsim::UnitProtocol unit(config);
  bool hangUp = false;
  return unit.SweepStream(band, hangUp);
}

TEST(UnitModel, GridAnchorsAndRecordsRoundTrip) {
  EXPECT_DOUBLE_EQ(kavsim::SlotFrequency(0), 20.0);
  EXPECT_NEAR(kavsim::SlotFrequency(143), 250.0, 1e-9);
  EXPECT_NEAR(kavsim::SlotFrequency(263), 2000.0, 1e-9);
  EXPECT_NEAR(kavsim::SlotFrequency(399), 20000.0, 1e-9);
  for (int s = 1; s < kavsim::GridSlots; ++s) EXPECT_GT(kavsim::SlotFrequency(s), kavsim::SlotFrequency(s - 1));

  // The format's own examples, coded back.
  EXPECT_EQ(kavsim::EncodePoint(655.355, 0.05, 0).substr(0, 8), "FFFF0000");
  EXPECT_EQ(kavsim::EncodePoint(1.0, -0.05, 1000).substr(4, 4), "FFFF");
  EXPECT_EQ(kavsim::EncodePoint(1.0, -3276.75, 1000).substr(4, 4), "8000");
  EXPECT_EQ(kavsim::EncodePoint(1.0, 3276.75, 1000).substr(4, 4), "7FFF");
  EXPECT_EQ(kavsim::EncodePoint(1e6, -1e6, 1000).substr(0, 8), "FFFF8000");  // clamped
  for (double f : {20.0, 20.43, 250.0, 1234.5, 19999.9, 20000.0}) {
    for (double theta : {-89.95, -0.05, 0.0, 45.0, 89.95}) {
      const std::string rec = kavsim::EncodePoint(7.777, theta, f);
      ASSERT_EQ(rec.size(), 18u);
      double r, t, ff;
      ASSERT_TRUE(kavsim::DecodePoint(rec, r, t, ff));
      EXPECT_NEAR(r, 7.777, 0.005 + 1e-12);
      EXPECT_NEAR(t, theta, 0.05 + 1e-12);
      EXPECT_NEAR(ff, f, f * 1e-6);
      EXPECT_LE(std::stoul(rec.substr(8, 6), nullptr, 16), 0xFFFFFFul);
    }
  }
  for (const kavsim::Preset& p : kavsim::Presets()) {
    EXPECT_TRUE(kavsim::IsValidModel(p.model)) << p.name;
    // The peak sits at Fs with Re + Res, the phase crosses zero there.
    const std::complex<double> z = kavsim::Impedance(p.model, p.model.Fs);
    EXPECT_NEAR(z.real(), p.model.Re * (1 + p.model.Qms / p.model.Qes), 1e-9) << p.name;
  }
  kavsim::DriverModel m;
  EXPECT_FALSE(kavsim::FindPreset("horn", m));
  m.Qes = 0;
  EXPECT_FALSE(kavsim::IsValidModel(m));
}

// A mass on the cone and a closed box, per preset: the loaded Fs by the
// textbook ratios, Rms and Bl kept, and the impedance the loaded model gives
// equal to that of the mechanical circuit Re + jωLe + Bl²/(Rms + jωMms + 1/(jωCms)).
TEST(UnitModel, AddedMassAndClosedBoxFollowTheMechanicalModel) {
  struct Load { double massG, boxL; };
  const Load loads[] = {{10, 0}, {0, 20}, {25, 8}};
  for (const kavsim::Preset& p : kavsim::Presets()) {
    const kavsim::DriverModel& d = p.model;
    const kavsim::Mechanics k = kavsim::MechanicsOf(d);
    // The relations back: Fs and Vas from Mms and Cms, Qms and Qes from Rms and Bl.
    EXPECT_NEAR(1 / (2 * M_PI * std::sqrt(k.Mms * k.Cms)), d.Fs, d.Fs * 1e-9) << p.name;
    EXPECT_NEAR(k.Cms * 1.18 * 345.0 * 345.0 * d.Sd * d.Sd, d.Vas, d.Vas * 1e-9) << p.name;
    EXPECT_NEAR(2 * M_PI * d.Fs * k.Mms * d.Re / (k.Bl * k.Bl), d.Qes, 1e-9) << p.name;
    EXPECT_GT(k.Mms, 0.1e-3) << p.name;  // plausible drivers: 0.1 g .. 0.5 kg, Bl 1 .. 30 T·m
    EXPECT_LT(k.Mms, 0.5) << p.name;
    EXPECT_GT(k.Bl, 1.0) << p.name;
    EXPECT_LT(k.Bl, 30.0) << p.name;
    for (const Load& l : loads) {
      const double m = l.massG * 1e-3 * (p.model.Fs > 500 ? 0.02 : 1.0);  // a tweeter takes 0.2 g, not 10
      const double vb = l.boxL * 1e-3 * (p.model.Fs > 500 ? 0.001 : 1.0);
      const kavsim::DriverModel out = kavsim::Loaded(d, m, vb);
      ASSERT_TRUE(kavsim::IsValidModel(out)) << p.name;
      double ratio = std::sqrt(k.Mms / (k.Mms + m));
      if (vb > 0) ratio *= std::sqrt(1 + d.Vas / vb);
      const std::string what = std::string(p.name) + " " + std::to_string(l.massG) + " g " + std::to_string(l.boxL) + " l";
      EXPECT_NEAR(out.Fs, d.Fs * ratio, d.Fs * 1e-9) << what;
      if (m == 0) {
        // Box only: Qms and Qes rise with Fs.
        EXPECT_NEAR(out.Qes, d.Qes * ratio, 1e-9) << what;
        EXPECT_NEAR(out.Qms, d.Qms * ratio, 1e-9) << what;
      }
      if (vb == 0) {
        EXPECT_LT(out.Fs, d.Fs) << what;
      }
      const kavsim::Mechanics lk = kavsim::MechanicsOf(out);
      EXPECT_NEAR(lk.Mms, k.Mms + m, k.Mms * 1e-9) << what;
      EXPECT_NEAR(lk.Rms, k.Rms, k.Rms * 1e-9) << what;
      EXPECT_NEAR(lk.Bl, k.Bl, k.Bl * 1e-9) << what;
      for (double f : {out.Fs * 0.5, out.Fs, out.Fs * 1.7, 1000.0}) {
        const double w = 2 * M_PI * f;
        const std::complex<double> j(0, 1);
        const std::complex<double> zm = k.Rms + j * w * (k.Mms + m) + 1.0 / (j * w * k.Cms) +
                                        (vb > 0 ? 1.0 / (j * w * vb / (1.18 * 345.0 * 345.0 * d.Sd * d.Sd)) : 0.0);
        const std::complex<double> expected = d.Re + j * w * d.Le + k.Bl * k.Bl / zm;
        EXPECT_LT(std::abs(kavsim::Impedance(out, f) - expected), 1e-9 * std::abs(expected)) << what << " at " << f;
      }
    }
  }
}

TEST(UnitProtocol, StreamLayoutPerBand) {
  const int points[] = {400, 144, 121, 137};
  for (int band = 1; band <= 4; ++band) {
    const std::string s = Stream(Unpaced(), band);
    ASSERT_EQ(s.size(), size_t(points[band - 1]) * 19 + 3) << band;
    for (int n = 0; n < points[band - 1]; ++n) {
      for (int k = 0; k < 18; ++k) ASSERT_TRUE(std::isxdigit(static_cast<unsigned char>(s[n * 19 + k])));
      ASSERT_EQ(s[n * 19 + 18], '\r');
    }
    EXPECT_EQ(s.substr(s.size() - 3), "OK\r");
  }
  EXPECT_EQ(Stream(Unpaced(), 1).size(), 7603u);
  EXPECT_TRUE(Stream(Unpaced(), 5).empty());

  // Noise is seeded: the same seed gives the same sweep, another seed not.
  kavsim::UnitConfig noisy = Unpaced();
  noisy.noise = 0.02;
  const std::string a = Stream(noisy, 2);
  EXPECT_EQ(a, Stream(noisy, 2));
  EXPECT_NE(a, Stream(Unpaced(), 2));
  noisy.seed = 2;
  EXPECT_NE(a, Stream(noisy, 2));
}

TEST(PtyUnit, RepliesByteForByteAndLogsCommands) {
  kavsim::PtyUnit unit(Unpaced());
  ASSERT_TRUE(unit.Start());
  EXPECT_FALSE(unit.Start());
  Line line(unit.SlavePath());
  ASSERT_TRUE(line.Ok());
  EXPECT_EQ(line.Ask("?"), "OK\r");
  EXPECT_EQ(line.Ask("U?"), "KA-V\r");
  EXPECT_EQ(line.Ask("V?"), "2.10\r");
  EXPECT_EQ(line.Ask("SN?"), "0815\r");
  EXPECT_EQ(line.Ask("M?"), "0\r");
  EXPECT_EQ(line.Ask("ME"), "OK\r");
  EXPECT_EQ(line.Ask("HELLO"), "NG\r");
  EXPECT_EQ(line.Ask("M5"), "NG\r");
  const char* counts[] = {"0190\r", "0090\r", "0079\r", "0089\r"};
  const size_t points[] = {400, 144, 121, 137};
  for (int band = 1; band <= 4; ++band) {
    const std::string all = line.Ask("M" + std::to_string(band), 5 + points[band - 1] * 19 + 3, 200);
    ASSERT_EQ(all.size(), 5 + points[band - 1] * 19 + 3);
    EXPECT_EQ(all.substr(0, 5), counts[band - 1]);
    EXPECT_EQ(all.substr(all.size() - 3), "OK\r");
  }
  // A line feed after the carriage return is ignored, not a command.
  ASSERT_EQ(::write(line.Fd(), "?\r\n", 3), 3);
  EXPECT_EQ(line.Read(64, 60), "OK\r");
  const std::vector<std::string> expected = {"?", "U?", "V?", "SN?", "M?", "ME", "HELLO", "M5",
                                             "M1", "M2", "M3", "M4", "?"};
  EXPECT_EQ(unit.Commands(), expected);
  unit.ClearCommands();
  EXPECT_TRUE(unit.Commands().empty());
}

TEST(PtyUnit, EndCommandCutsARunningSweepShort) {
  kavsim::PtyUnit unit;  // paced: the sweep takes seconds
  ASSERT_TRUE(unit.Start());
  Line line(unit.SlavePath());
  line.Send("M1");
  const std::string head = line.Read(5 + 19, 500);
  EXPECT_EQ(head.substr(0, 5), "0190\r");
  line.Send("ME");
  std::string rest = line.Read(8000, 100);
  // A few bytes of the record in flight may still come, then "OK\r" and silence.
  ASSERT_GE(rest.size(), 3u);
  EXPECT_EQ(rest.substr(rest.size() - 3), "OK\r");
  EXPECT_LT(rest.size(), 60u);
}

TEST(PtyUnit, PacedStreamRunsAt960BytesPerSecond) {
  kavsim::PtyUnit unit;
  ASSERT_TRUE(unit.Start());
  Line line(unit.SlavePath());
  line.Send("M1");
  ASSERT_EQ(line.Read(100, 500).size(), 100u);
  const auto start = Clock::now();
  const std::string part = line.Read(1152, 500);  // 1.2 s of line time
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  ASSERT_EQ(part.size(), 1152u);
  const double rate = 1152 / seconds;
  EXPECT_GT(rate, 960 * 0.98);
  EXPECT_LT(rate, 960 * 1.02);
}

// One sweep of band 2 against a faulty unit: the reply to "M2" and the stream.
std::string FaultySweep(Fault fault, int faultPoint = 5) {
  kavsim::PtyUnit unit(Unpaced(fault, faultPoint));
  EXPECT_TRUE(unit.Start());
  Line line(unit.SlavePath());
  return line.Ask("M2", 8000, 150);
}

TEST(PtyUnit, IdentityFaults) {
  {
    kavsim::PtyUnit unit(Unpaced(Fault::Silence));
    ASSERT_TRUE(unit.Start());
    Line line(unit.SlavePath());
    EXPECT_EQ(line.Ask("?"), "");
    EXPECT_EQ(line.Ask("M1", 64, 100), "");
    EXPECT_EQ(unit.Commands().size(), 2u);  // heard, not answered
  }
  struct Exchange {
    const char* command;
    const char* reply;
  };
  struct Case {
    Fault fault;
    std::vector<Exchange> exchanges;
  };
  const Case cases[] = {
      {Fault::WrongModel, {{"U?", "KA-X\r"}}},
      // Upper case to the probe ("?" then "U?"), lower case to the identification.
      {Fault::LowerCaseModel, {{"?", "OK\r"}, {"U?", "KA-V\r"}, {"ME", "OK\r"}, {"U?", "ka-v\r"}}},
      {Fault::Uncalibrated, {{"M?", "1\r"}, {"?", "OK\r"}}},
  };
  for (const Case& c : cases) {
    kavsim::PtyUnit unit(Unpaced(c.fault));
    ASSERT_TRUE(unit.Start());
    Line line(unit.SlavePath());
    for (const Exchange& e : c.exchanges) EXPECT_EQ(line.Ask(e.command), e.reply) << kavsim::FaultName(c.fault);
  }
  EXPECT_EQ(FaultySweep(Fault::Refuse), "NG  \r");
  const std::string wrong = FaultySweep(Fault::WrongCount);
  EXPECT_EQ(wrong.substr(0, 5), "0091\r");
  EXPECT_EQ(wrong.size(), 5 + 144 * 19 + 3u);  // the stream itself is the band's
}

TEST(PtyUnit, StreamFaults) {
  const size_t full = 5 + 144 * 19 + 3;
  std::string s = FaultySweep(Fault::CrInRecord, 3);
  ASSERT_EQ(s.size(), full);
  EXPECT_EQ(s[5 + 3 * 19 + 6], '\r');
  EXPECT_NE(s[5 + 2 * 19 + 6], '\r');

  s = FaultySweep(Fault::ZeroDivisor, 4);
  ASSERT_EQ(s.size(), full);
  EXPECT_EQ(s.substr(5 + 4 * 19 + 14, 4), "0000");
  double r, t, f;
  EXPECT_FALSE(kavsim::DecodePoint(s.substr(5 + 4 * 19, 18), r, t, f));
  EXPECT_TRUE(kavsim::DecodePoint(s.substr(5 + 5 * 19, 18), r, t, f));

  s = FaultySweep(Fault::Stall, 10);
  EXPECT_EQ(s.size(), 5 + 10 * 19u);

  s = FaultySweep(Fault::BadClosing);
  ASSERT_EQ(s.size(), full);
  EXPECT_EQ(s.substr(s.size() - 3), "NG\r");

  s = FaultySweep(Fault::Garbage, 2);
  ASSERT_EQ(s.size(), full + 7);
  const std::string junk = s.substr(5 + 2 * 19, 7);
  EXPECT_EQ(junk[3], '\r');
  EXPECT_EQ(s.substr(5 + 2 * 19 + 7, 18), Stream(Unpaced(), 2).substr(2 * 19, 18));
}

TEST(PtyUnit, HangUpFaultAndHangUpFromATest) {
  {
    kavsim::PtyUnit unit(Unpaced(Fault::HangUp, 7));
    ASSERT_TRUE(unit.Start());
    Line line(unit.SlavePath());
    const std::string s = line.Ask("M1", 8000, 300);
    EXPECT_LE(s.size(), 5 + 7 * 19u);  // the hang-up may swallow what was queued
    for (int i = 0; i < 100 && !unit.HungUp(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(unit.HungUp());
    EXPECT_FALSE(unit.Running());
    char c;
    EXPECT_LE(::read(line.Fd(), &c, 1), 0);  // end-of-file or EIO, never data
  }
  {
    kavsim::PtyUnit unit;  // paced, so the sweep is surely mid-way
    ASSERT_TRUE(unit.Start());
    Line line(unit.SlavePath());
    line.Send("M1");
    EXPECT_EQ(line.Read(24, 500).size(), 24u);
    unit.HangUp();
    EXPECT_TRUE(unit.HungUp());
    EXPECT_LT(unit.BytesSent(), 7603u + 5u);
    pollfd pfd{line.Fd(), POLLIN, 0};
    ASSERT_EQ(poll(&pfd, 1, 100), 1);
    EXPECT_NE(pfd.revents & (POLLHUP | POLLERR), 0);
    EXPECT_EQ(unit.Commands(), std::vector<std::string>{"M1"});
  }
}

TEST(Kavsim, ProgramPrintsThePathLinksItAndCleansUp) {
  const QString exe = QCoreApplication::applicationDirPath() + QStringLiteral("/kavsim");
  ASSERT_TRUE(QFileInfo(exe).isExecutable()) << "build the kavsim target first";
  QProcess help;
  help.start(exe, {QStringLiteral("--help")});
  ASSERT_TRUE(help.waitForFinished(5000));
  EXPECT_EQ(help.exitCode(), 0);
  const QString text = QString::fromUtf8(help.readAllStandardOutput());
  for (const kavsim::FaultInfo& f : kavsim::Faults()) EXPECT_TRUE(text.contains(QString::fromUtf8(f.name))) << f.name;
  for (const kavsim::Preset& p : kavsim::Presets()) EXPECT_TRUE(text.contains(QString::fromUtf8(p.name))) << p.name;
  for (const char* opt : {"--re", "--le", "--fs", "--qms", "--qes", "--sd", "--vas", "--mms", "--added-mass",
                          "--box-litres", "--seed", "--noise", "--unpaced", "--link", "--fault-point"})
    EXPECT_TRUE(text.contains(QString::fromUtf8(opt))) << opt;

  const QStringList refused[] = {{"--fault", "lightning"}, {"--added-mass", "-5"}, {"--box-litres", "0"},
                                 {"--qes", "-0.4"}, {"--sd", "0"}, {"--vas", "20", "--mms", "15"}};
  for (const QStringList& args : refused) {
    QProcess bad;
    bad.start(exe, args);
    ASSERT_TRUE(bad.waitForFinished(5000));
    EXPECT_EQ(bad.exitCode(), 64) << args.join(' ').toStdString();
    EXPECT_TRUE(bad.readAllStandardOutput().isEmpty()) << args.join(' ').toStdString();
  }

  QTemporaryDir dir;
  const QString link = dir.filePath(QStringLiteral("ports/COM1"));
  QProcess sim;
  sim.start(exe, {QStringLiteral("--unpaced"), QStringLiteral("--preset"), QStringLiteral("sub10"),
                  QStringLiteral("--link"), link});
  ASSERT_TRUE(sim.waitForReadyRead(5000));
  const QString path = QString::fromUtf8(sim.readLine()).trimmed();
  EXPECT_TRUE(path.startsWith(QStringLiteral("/dev/pts/"))) << path.toStdString();
  EXPECT_EQ(QFileInfo(link).symLinkTarget(), path);
  {
    Line line(link.toStdString());
    ASSERT_TRUE(line.Ok());
    EXPECT_EQ(line.Ask("U?", 64, 300), "KA-V\r");
  }
  sim.terminate();
  ASSERT_TRUE(sim.waitForFinished(5000));
  EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
  EXPECT_FALSE(QFileInfo(link).isSymLink());
}

}  // namespace
