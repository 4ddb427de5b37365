// Writes the fuzz targets' seed corpus: data and settings files as KAVO
// writes them, with records of the simulated unit for a preset driver.
//   fuzz_make_seeds <fuzz folder>
#include <QString>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "UnitModel.h"
#include "data/Kavo_file.h"

namespace {

namespace fs = std::filesystem;
using namespace kavo;

std::string UnitRecord(int slot) {
  const kavsim::DriverModel model;
  const double f = kavsim::SlotFrequency(slot);
  const std::complex<double> z = kavsim::Impedance(model, f);
  return kavsim::EncodePoint(std::abs(z), std::arg(z) * 180.0 / M_PI, f);
}

void Write(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The convert target's input: a double, pattern, separator, slot, band, record.
std::string ConvertSeed(double value, uint8_t pattern, int16_t slot, int8_t band, const std::string& record) {
  std::string s(reinterpret_cast<const char*>(&value), sizeof value);
  s += static_cast<char>(pattern);
  s += '\0';
  s.append(reinterpret_cast<const char*>(&slot), sizeof slot);
  s += static_cast<char>(band);
  return s + record;
}

// The sweep target's input: band, reply, chunk size, then the unit's bytes.
std::string SweepSeed(int band, const std::string& tail, int chunk) {
  int first = 0, last = 0;
  kavsim::BandSlots(band, first, last);
  char reply[8];
  std::snprintf(reply, sizeof reply, "%04X", last - first + 1);
  std::string s(1, static_cast<char>(band - 1));
  s += reply;
  s += static_cast<char>(chunk);
  for (int k = first; k <= last; ++k) s += UnitRecord(k) + "\r";
  return s + tail;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_make_seeds <fuzz folder>\n");
    return 2;
  }
  const fs::path root = fs::path(argv[1]) / "corpus";
  const KAVO_File file;
  SettingsRecord settings;
  for (int band = 1; band <= 4; ++band) {
    MeasureData data;
    data.dateTime = "2026/12/08 5:00:00";
    data.band = band;
    for (int k = BandFirstSlot(band); k <= BandLastSlot(band); ++k)
      std::strncpy(data.points[k].c, UnitRecord(k).c_str(), RecordLength);
    const fs::path path = root / "read_datafile" / ("band" + std::to_string(band) + ".dta");
    fs::create_directories(path.parent_path());
    settings.CommPortNum = band * 3;
    if (!file.WriteDataFile(QString::fromStdString(path.string()), "A1B2", &settings, &data)) return 1;
  }
  const std::string whole = ReadAll(root / "read_datafile" / "band2.dta");
  Write(root / "read_datafile" / "truncated.dta", whole.substr(0, 300));

  ViewSettings view;
  fs::create_directories(root / "read_settings");
  if (!file.WriteSettings(QString::fromStdString((root / "read_settings" / "default.ini").string()), &settings, &view))
    return 1;
  settings.pstr[0] = Utf8ToCp932("スピーカー測定");
  settings.pstr[2] = "Box 12 l";
  view.band = 3;
  view.fwide = 1;
  view.fronly = 1;
  if (!file.WriteSettings(QString::fromStdString((root / "read_settings" / "custom.ini").string()), &settings, &view))
    return 1;

  const fs::path convert = root / "convert";
  Write(convert / "point", ConvertSeed(0.5, 2, 10, 1, UnitRecord(10)));
  Write(convert / "negative", ConvertSeed(-0.004, 0, 399, 1, UnitRecord(399)));
  Write(convert / "highband", ConvertSeed(12345.678, 4, 480, 4, UnitRecord(480)));
  Write(convert / "nodivisor", ConvertSeed(1e300, 5, 3, 1, "00010002000003" "0000"));

  const fs::path sweep = root / "sweep_receiver";
  for (int band = 1; band <= 4; ++band)
    Write(sweep / ("band" + std::to_string(band)), SweepSeed(band, "OK\r", 19));
  Write(sweep / "closing_ng", SweepSeed(3, "NG\r", 7));
  std::string broken = SweepSeed(4, "", 1);
  broken[6 + 19 * 5 + 7] = '\r';
  Write(sweep / "cr_in_record", broken);

  // The measurement target takes the band byte and what follows the reply.
  const fs::path pty = root / "measure_pty";
  for (int band : {2, 4}) {
    const std::string seed = SweepSeed(band, "OK\r", 0);
    Write(pty / ("band" + std::to_string(band)), seed.substr(0, 1) + seed.substr(1, 4) + "\r" + seed.substr(6));
  }
  const std::string seed = SweepSeed(3, "NG\r", 0);
  Write(pty / "closing_ng", seed.substr(0, 1) + seed.substr(1, 4) + "\r" + seed.substr(6));
  Write(pty / "stops_short", seed.substr(0, 1) + seed.substr(1, 4) + "\r" + seed.substr(6, 19 * 10));
  Write(pty / "refused", seed.substr(0, 1) + "NG\r");
  return 0;
}
