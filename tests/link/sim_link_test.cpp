// The driver against the simulated unit over a real pty: the conversation of
// a measurement, and every record of a sweep through the program's converter.
#include "PtyUnit.h"
#include "data/Kavo_file.h"
#include "data/Kavo_setting.h"
#include "link/Spdrv.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace kavo {
namespace {

// A fixed-length exchange as the program makes it: purge, command + CR,
// n content bytes and one terminator within the deadline.
bool Query(TSerialPortDriver& d, const std::string& command, std::string& reply, uint32_t deadline, size_t n) {
  d.FlushBuffers(true, true);
  if (!d.SendZString((command + "\r").c_str())) return false;
  char buf[32] = {};
  if (d.ReadData_inTime(buf, uint32_t(n + 1), deadline) != n + 1) return false;
  reply.assign(buf, n);
  return true;
}

class SimLink : public ::testing::Test {
 protected:
  void Open(kavsim::UnitConfig config) {
    unit_ = std::make_unique<kavsim::PtyUnit>(config);
    ASSERT_TRUE(unit_->Start());
    driver_.SetPortName(QString::fromStdString(unit_->SlavePath()));
    driver_.SetBaudRate(br9600);
    ASSERT_TRUE(driver_.Connect());
  }
  std::unique_ptr<kavsim::PtyUnit> unit_;
  TSerialPortDriver driver_;
};

TEST_F(SimLink, FullMeasurementConversationAndEveryRecordConverts) {
  kavsim::UnitConfig config;
  config.paced = false;
  ASSERT_TRUE(kavsim::FindPreset("woofer65", config.model));
  Open(config);

  std::string reply;
  ASSERT_TRUE(Query(driver_, "?", reply, 100, 2));
  EXPECT_EQ(reply, "OK");
  for (const char* cmd : {"U?", "ME", "U?", "V?", "SN?", "M?"}) {
    const size_t n = std::strcmp(cmd, "ME") == 0 ? 2 : std::strcmp(cmd, "M?") == 0 ? 1 : 4;
    ASSERT_TRUE(Query(driver_, cmd, reply, std::strcmp(cmd, "ME") == 0 ? 300 : 100, n)) << cmd;
  }
  ASSERT_TRUE(Query(driver_, "M1", reply, 100, 4));
  EXPECT_EQ(reply, "0190");

  // The sweep as the acquisition reads it: 19 bytes per step.
  MeasureData data;
  data.band = 1;
  PointValues raw, ave;
  KAVO_File file;
  char rec[19];
  for (int n = 0; n < 400; ++n) {
    ASSERT_EQ(driver_.ReadData(rec, 19), 19u) << "record " << n;
    ASSERT_EQ(rec[18], '\r');
    std::memcpy(data.points[n].c, rec, 18);
    data.points[n].c[18] = 0;
    ASSERT_TRUE(file.ConvertPoint(&data, &raw, n, &ave)) << n;
    const double f = kavsim::SlotFrequency(n);
    const std::complex<double> z = kavsim::Impedance(config.model, f);
    // Within the record's resolution: 0.01 Ω, 0.1°, and float storage.
    EXPECT_NEAR(raw.R[n], std::abs(z), 0.0051 + 1e-6 * std::abs(z)) << n;
    EXPECT_NEAR(raw.Theta[n], std::arg(z) * 180.0 / M_PI, 0.051) << n;
    EXPECT_NEAR(raw.Freq[n], f, f * 2e-6) << n;
  }
  char closing[3];
  ASSERT_EQ(driver_.ReadData(closing, 3), 3u);
  EXPECT_EQ(std::string(closing, 3), "OK\r");
  EXPECT_NEAR(raw.Freq[0], 20.0, 1e-3);
  EXPECT_NEAR(raw.Freq[143], 250.0, 1e-3);
  EXPECT_NEAR(raw.Freq[263], 2000.0, 1e-2);
  EXPECT_NEAR(raw.Freq[399], 20000.0, 0.1);
  EXPECT_TRUE(file.ConvertData(&data, &raw, &ave));

  ASSERT_TRUE(Query(driver_, "ME", reply, 300, 2));
  EXPECT_EQ(reply, "OK");
  const std::vector<std::string> expected = {"?", "U?", "ME", "U?", "V?", "SN?", "M?", "M1", "ME"};
  EXPECT_EQ(unit_->Commands(), expected);
}

TEST_F(SimLink, EachBandAnnouncesAndSendsItsPoints) {
  kavsim::UnitConfig config;
  config.paced = false;
  config.noise = 0.01;
  ASSERT_TRUE(kavsim::FindPreset("tweeter", config.model));
  Open(config);
  const char* counts[] = {"0190", "0090", "0079", "0089"};
  for (int band = 1; band <= 4; ++band) {
    std::string reply;
    ASSERT_TRUE(Query(driver_, "M" + std::to_string(band), reply, 100, 4));
    EXPECT_EQ(reply, counts[band - 1]);
    MeasureData data;
    data.band = band;
    for (int n = 0; n < BandPointCount(band); ++n) {
      char rec[19];
      ASSERT_EQ(driver_.ReadData(rec, 19), 19u);
      std::memcpy(data.points[BandFirstSlot(band) + n].c, rec, 18);
    }
    char closing[3];
    ASSERT_EQ(driver_.ReadData(closing, 3), 3u);
    EXPECT_EQ(std::string(closing, 2), "OK");
    PointValues raw, ave;
    ASSERT_TRUE(KAVO_File().ConvertData(&data, &raw, &ave));
    EXPECT_NEAR(raw.Freq[BandFirstSlot(band)], BandFreqMin(band), BandFreqMin(band) * 1e-5);
    EXPECT_NEAR(raw.Freq[BandLastSlot(band)], BandFreqMax(band), BandFreqMax(band) * 1e-5);
    // Nothing beyond the band's bytes.
    EXPECT_EQ(driver_.ReadData_inTime(closing, 1, 20), 0u);
  }
}

TEST_F(SimLink, PacedSweepIsReadRecordByRecordWithTheShortDeadline) {
  Open(kavsim::UnitConfig{});  // 9600 bit/s, as the unit talks
  std::string reply;
  ASSERT_TRUE(Query(driver_, "M3", reply, 100, 4));
  EXPECT_EQ(reply, "0079");
  // The acquisition's steps: 19 bytes within the 100 ms the band command left.
  std::string stream;
  const auto start = std::chrono::steady_clock::now();
  for (int step = 0; step < 400 && stream.size() < 121 * 19 + 3; ++step) {
    char buf[19];
    stream.append(buf, driver_.ReadData(buf, 19));
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_EQ(stream.size(), 121u * 19u + 3u);
  EXPECT_EQ(stream.substr(stream.size() - 3), "OK\r");
  for (int n = 0; n < 121; ++n) EXPECT_EQ(stream[n * 19 + 18], '\r') << n;
  EXPECT_NEAR(seconds, 2302 / 960.0, 0.15);
}

TEST_F(SimLink, UnitHungUpMidSweepEndsTheReadsQuietly) {
  kavsim::UnitConfig config;
  config.paced = false;
  Open(config);
  std::string reply;
  ASSERT_TRUE(Query(driver_, "M2", reply, 100, 4));
  char rec[19];
  ASSERT_EQ(driver_.ReadData(rec, 19), 19u);
  unit_->HangUp();
  EXPECT_TRUE(unit_->HungUp());
  // Whatever was still queued may come; then short counts, never a hang.
  uint32_t total = 0;
  for (int i = 0; i < 200; ++i) {
    const uint32_t got = driver_.ReadData_inTime(rec, 19, 50);
    total += got;
    if (got < 19) break;
  }
  EXPECT_LT(total, 143u * 19u);
  EXPECT_EQ(driver_.ReadData(rec, 19), 0u);
  EXPECT_FALSE(driver_.SendZString("ME\r"));
  EXPECT_TRUE(driver_.Disconnect());
}

}  // namespace
}  // namespace kavo
