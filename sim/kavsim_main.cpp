// kavsim: the simulated KA-V unit on a pseudo-terminal, for trying KAVO
// without the hardware. Prints the device path to open as its first line.
#include "PtyUnit.h"

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <poll.h>
#include <string>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

void PrintHelp() {
  std::printf(
      "Usage: kavsim [options]\n"
      "\n"
      "Simulates a KA-V impedance unit on a pseudo-terminal. The first line on\n"
      "standard output is the slave device path; open it as the serial port\n"
      "(or give --link and open the link). Runs until SIGINT or SIGTERM.\n"
      "\n"
      "The unit answers \"?\", \"U?\", \"V?\", \"SN?\", \"M?\", \"M1\"..\"M4\" and \"ME\"\n"
      "(each ended by a carriage return) and streams one 19-byte point record\n"
      "per frequency of the band, then \"OK\". Unknown commands get \"NG\".\n"
      "\n"
      "Driver model  Z = Re + j2πf·Le + Res/(1 + jQms(f/Fs − Fs/f)), Res = Re·Qms/Qes\n"
      "  --preset NAME     start from a preset (default woofer65):\n");
  for (const kavsim::Preset& p : kavsim::Presets())
    std::printf("                      %-10s %s: Re %.2f Ω, Le %.2f mH, Fs %.0f Hz, Qms %.2f, Qes %.2f,\n"
                "                                 Sd %.0f cm², Vas %.3g l\n",
                p.name, p.description, p.model.Re, p.model.Le * 1e3, p.model.Fs, p.model.Qms, p.model.Qes,
                p.model.Sd * 1e4, p.model.Vas * 1e3);
  std::printf(
      "  --re OHM          voice-coil DC resistance\n"
      "  --le MH           voice-coil inductance in millihenry (0 allowed)\n"
      "  --fs HZ           resonance frequency\n"
      "  --qms Q           mechanical Q\n"
      "  --qes Q           electrical Q\n"
      "  --sd CM2          effective cone area in cm²\n"
      "  --vas LITRES      equivalent air volume of the suspension in litres, or\n"
      "  --mms GRAMS       moving mass in grams instead (sets Vas from Fs and Sd)\n"
      "                    (explicit values override the preset's)\n"
      "\n"
      "Loaded driver: the same driver measured again, by the mechanical model\n"
      "  Cms = Vas/(ρc²Sd²), Mms = 1/((2πFs)²Cms), Rms = 2πFs·Mms/Qms,\n"
      "  Bl = √(2πFs·Mms·Re/Qes), ρ = 1.18 kg/m³, c = 345 m/s; Rms and Bl stay.\n"
      "  --added-mass GRAMS  mass on the cone: Fs falls by √(Mms/(Mms+m))\n"
      "  --box-litres V    in a closed box of V litres: Fs rises by √(1+Vas/Vb)\n"
      "                    (both may be given; the status line on standard error\n"
      "                    shows the free driver's Mms, Cms, Rms, Bl and the\n"
      "                    loaded Fs, Qms, Qes)\n"
      "\n"
      "Voice coil and suspension (the electro-mechanical form, see UnitModel.h)\n"
      "  --model le|lr2|semi  voice coil jωLe (default, the presets' curves),\n"
      "                    lr2 jωLe + jωL2·R2/(R2 + jωL2), semi K·(jω)^n\n"
      "  --l2 MH, --r2 OHM lr2 terms (default L2 = 2·Le, R2 = 4·Re)\n"
      "  --k K, --n N      semi terms in Ω·s^n (default n 0.7, K giving |jωLe| at 1 kHz)\n"
      "  --creep LAMBDA    suspension creep C(ω) = Cms·(1 − λ·log10(jω/ωs)) (default 0)\n"
      "\n"
      "A crossover part instead of the driver (the driver's options are then refused)\n"
      "  --part inductor|capacitor|resistor\n"
      "      inductor   Z = Zs ∥ 1/(jωCp), Zs = Rdc + Rac·(f/1 kHz)² + jωL\n"
      "                 --l MH (1), --rdc OHM (0.3), --rac OHM (0.002: the losses at\n"
      "                 1 kHz, growing with f²), --cp NF (0: no self-resonance)\n"
      "      capacitor  Z = ESR + 1/(jωC) + jωESL\n"
      "                 --c UF (10), --esr OHM (0.05), --esl UH (0.02)\n"
      "      resistor   Z = R + jωLs\n"
      "                 --r OHM (8.2), --ls UH (5)\n"
      "  The unit resolves R from 0.01 Ω to 655.35 Ω in 0.01 Ω steps; beyond, the\n"
      "  records are clamped as the hardware's are.\n"
      "\n"
      "Signal and line\n"
      "  --noise X         complex noise, standard deviation relative to |Z| (default 0.002)\n"
      "  --seed N          seed of the noise and of garbage bytes (default 1)\n"
      "  --unpaced         send as fast as the line takes it\n"
      "  --baud N          pacing rate in bit/s, 10 bits per byte (default 9600)\n"
      "\n"
      "Unit identity\n"
      "  --firmware TEXT   reply to \"V?\", 4 characters (default 2.10)\n"
      "  --serial TEXT     reply to \"SN?\", 4 characters (default 0815)\n"
      "\n"
      "Faults\n"
      "  --fault NAME      misbehave in one way:\n");
  for (const kavsim::FaultInfo& f : kavsim::Faults())
    std::printf("                      %-16s %s\n", f.name, f.description);
  std::printf(
      "  --fault-point N   the record N (0-based) where stream faults strike (default 5)\n"
      "\n"
      "Process\n"
      "  --link PATH       create a symbolic link PATH to the slave, removed on exit;\n"
      "                    e.g. the settings directory's ports/COM1 makes it KAVO's COM1\n"
      "  --until-eof       also end when standard input reaches end-of-file\n"
      "  --help            this text\n"
      "  --version         kavsim's own version\n"
      "Each option with a value may also be given as --option=VALUE.\n");
}

bool ParseDouble(const char* text, double& value) {
  char* end = nullptr;
  errno = 0;
  value = std::strtod(text, &end);
  return errno == 0 && end != text && *end == '\0';
}

bool ParseUnsigned(const char* text, unsigned long& value) {
  char* end = nullptr;
  errno = 0;
  if (*text == '-') return false;
  value = std::strtoul(text, &end, 10);
  return errno == 0 && end != text && *end == '\0';
}

// The option last on the command line when its value is missing: whatever
// its own check then says, the message is that the value is missing.
std::string missingValueOf;

int Fail(const std::string& message) {
  const std::string text = missingValueOf.empty() ? message : "option " + missingValueOf + " needs a value";
  std::fprintf(stderr, "kavsim: %s (see --help)\n", text.c_str());
  return 64;  // a wrong command line, as for KAVO and kavo-tool
}

// After --help or --version: 1 when standard output did not take the text
// (a full disk, a closed pipe).
int Printed() { return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1; }

}  // namespace

int main(int argc, char** argv) {
  kavsim::UnitConfig config;
  config.noise = 0.002;
  std::string link;
  bool untilEof = false;
  // Unset until given; a given value, however bad, is checked below.
  const double unset = std::nan("");
  double re = unset, le = unset, fs = unset, qms = unset, qes = unset, sd = unset, vas = unset, mms = unset;
  double addedMass = 0, boxLitres = 0;
  double l2 = unset, r2 = unset, semiK = unset, semiN = unset, creep = unset;
  std::string coil;
  // A part's values in the units the options take, unset until given.
  struct PartOption { const char* name; double scale; double kavsim::PartModel::*member; double value; };
  PartOption partOptions[] = {
      {"--l", 1e-3, &kavsim::PartModel::L, unset},      {"--rdc", 1, &kavsim::PartModel::Rdc, unset},
      {"--rac", 1, &kavsim::PartModel::Rac, unset},     {"--cp", 1e-9, &kavsim::PartModel::Cp, unset},
      {"--c", 1e-6, &kavsim::PartModel::C, unset},      {"--esr", 1, &kavsim::PartModel::ESR, unset},
      {"--esl", 1e-6, &kavsim::PartModel::ESL, unset},  {"--r", 1, &kavsim::PartModel::R, unset},
      {"--ls", 1e-6, &kavsim::PartModel::Ls, unset}};
  kavsim::PartModel::Kind partKind = kavsim::PartModel::Kind::None;
  bool driverGiven = false;

  for (int i = 1; i < argc; ++i) {
    // An option's value follows it as "--opt VALUE" or "--opt=VALUE".
    std::string opt = argv[i];
    std::string inlineValue;
    const bool hasInline = opt.rfind("--", 0) == 0 && opt.find('=') != std::string::npos;
    if (hasInline) {
      inlineValue = opt.substr(opt.find('=') + 1);
      opt.resize(opt.find('='));
    }
    if (opt == "--help" || opt == "-h") {
      PrintHelp();
      return Printed();
    }
    if (opt == "--version") {
      std::printf("kavsim %s\n", KAVO_VERSION);
      return Printed();
    }
    if (opt == "--unpaced") { config.paced = false; continue; }
    if (opt == "--until-eof") { untilEof = true; continue; }
    const bool hasValue = hasInline || i + 1 < argc;
    const std::string value = hasInline ? inlineValue : hasValue ? argv[++i] : "";
    const char* v = value.c_str();
    if (!hasValue) missingValueOf = opt;
    unsigned long n = 0;
    PartOption* partOption = nullptr;
    for (PartOption& p : partOptions)
      if (opt == p.name) partOption = &p;
    for (const char* d : {"--preset", "--re", "--le", "--fs", "--qms", "--qes", "--sd", "--vas", "--mms", "--added-mass",
                          "--box-litres", "--model", "--l2", "--r2", "--k", "--n", "--creep"})
      if (opt == d) driverGiven = true;
    if (partOption) {
      if (!ParseDouble(v, partOption->value)) return Fail("bad " + opt);
    } else if (opt == "--part") {
      if (!kavsim::FindPartKind(v, partKind)) return Fail("bad --part: inductor, capacitor or resistor");
    } else if (opt == "--preset") {
      if (!kavsim::FindPreset(v, config.model)) return Fail(std::string("unknown preset ") + v);
    } else if (opt == "--re") {
      if (!ParseDouble(v, re)) return Fail("bad --re");
    } else if (opt == "--le") {
      if (!ParseDouble(v, le)) return Fail("bad --le");
    } else if (opt == "--fs") {
      if (!ParseDouble(v, fs)) return Fail("bad --fs");
    } else if (opt == "--qms") {
      if (!ParseDouble(v, qms)) return Fail("bad --qms");
    } else if (opt == "--qes") {
      if (!ParseDouble(v, qes)) return Fail("bad --qes");
    } else if (opt == "--sd") {
      if (!ParseDouble(v, sd)) return Fail("bad --sd");
    } else if (opt == "--vas") {
      if (!ParseDouble(v, vas)) return Fail("bad --vas");
    } else if (opt == "--mms") {
      if (!ParseDouble(v, mms)) return Fail("bad --mms");
    } else if (opt == "--added-mass") {
      if (!ParseDouble(v, addedMass) || !(addedMass >= 0) || !std::isfinite(addedMass))
        return Fail("bad --added-mass: grams, 0 or more");
    } else if (opt == "--box-litres") {
      if (!ParseDouble(v, boxLitres) || !(boxLitres > 0) || !std::isfinite(boxLitres))
        return Fail("bad --box-litres: litres, more than 0");
    } else if (opt == "--model") {
      coil = v;
      if (coil != "le" && coil != "lr2" && coil != "semi") return Fail("bad --model: le, lr2 or semi");
    } else if (opt == "--l2") {
      if (!ParseDouble(v, l2)) return Fail("bad --l2");
    } else if (opt == "--r2") {
      if (!ParseDouble(v, r2)) return Fail("bad --r2");
    } else if (opt == "--k") {
      if (!ParseDouble(v, semiK)) return Fail("bad --k");
    } else if (opt == "--n") {
      if (!ParseDouble(v, semiN)) return Fail("bad --n");
    } else if (opt == "--creep") {
      if (!ParseDouble(v, creep)) return Fail("bad --creep");
    } else if (opt == "--noise") {
      if (!ParseDouble(v, config.noise) || config.noise < 0) return Fail("bad --noise");
    } else if (opt == "--seed") {
      if (!ParseUnsigned(v, n)) return Fail("bad --seed");
      config.seed = uint32_t(n);
    } else if (opt == "--baud") {
      if (!ParseUnsigned(v, n) || n < 50 || n > 4000000) return Fail("bad --baud");
      config.baud = uint32_t(n);
    } else if (opt == "--fault") {
      if (!kavsim::FindFault(v, config.fault)) return Fail(std::string("unknown fault ") + v);
    } else if (opt == "--fault-point") {
      if (!ParseUnsigned(v, n) || n > 1000) return Fail("bad --fault-point");
      config.faultPoint = int(n);
    } else if (opt == "--firmware") {
      config.version = v;
    } else if (opt == "--serial") {
      config.serial = v;
    } else if (opt == "--link") {
      link = v;
    } else {
      missingValueOf.clear();
      return Fail("unknown option " + opt);
    }
    if (!hasValue) return Fail(opt);
  }
  kavsim::DriverModel& model = config.model;
  if (partKind != kavsim::PartModel::Kind::None && driverGiven) return Fail("--part takes no driver options");
  for (const PartOption& p : partOptions)
    if (!std::isnan(p.value)) {
      if (partKind == kavsim::PartModel::Kind::None) return Fail(std::string(p.name) + " goes with --part");
      model.part.*p.member = p.value * p.scale;
    }
  model.part.kind = partKind;
  if (!std::isnan(re)) model.Re = re;
  if (!std::isnan(le)) model.Le = le * 1e-3;
  if (!std::isnan(fs)) model.Fs = fs;
  if (!std::isnan(qms)) model.Qms = qms;
  if (!std::isnan(qes)) model.Qes = qes;
  if (!std::isnan(sd)) model.Sd = sd * 1e-4;
  if (!std::isnan(vas) && !std::isnan(mms)) return Fail("give --vas or --mms, not both");
  if (!std::isnan(vas)) model.Vas = vas * 1e-3;
  if (!std::isnan(mms)) {
    // Vas = ρc²Sd²·Cms with Cms = 1/((2πFs)²·Mms).
    const double ws = 2.0 * M_PI * model.Fs;
    model.Vas = kavsim::AirDensity * kavsim::SoundSpeed * kavsim::SoundSpeed * model.Sd * model.Sd /
                (ws * ws * mms * 1e-3);
  }
  using Coil = kavsim::DriverModel::Coil;
  if (coil == "lr2") {
    model.coil = Coil::LR2;
    model.L2 = std::isnan(l2) ? 2 * model.Le : l2 * 1e-3;
    model.R2 = std::isnan(r2) ? 4 * model.Re : r2;
  } else if (coil == "semi") {
    model.coil = Coil::Semi;
    model.n = std::isnan(semiN) ? 0.7 : semiN;
    const double w = 2.0 * M_PI * 1000.0;
    model.K = std::isnan(semiK) ? w * model.Le / std::pow(w, model.n) : semiK;
  }
  if (!std::isnan(creep)) model.creep = creep;
  if (!kavsim::IsValidModel(model))
    return Fail("Re, Fs, Qms, Qes, Sd and Vas (or Mms) must be positive, Le not negative; "
                "L2, R2 not negative, 0 < n < 1, 0 ≤ creep < 1/(0.682·Qms)");
  const kavsim::Mechanics free = kavsim::MechanicsOf(model);
  const kavsim::DriverModel freeModel = model;
  if (addedMass > 0 || boxLitres > 0) model = kavsim::Loaded(model, addedMass * 1e-3, boxLitres * 1e-3);

  // Signals arrive through a descriptor, so that the link is removed on exit.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGHUP);
  sigprocmask(SIG_BLOCK, &signals, nullptr);
  const int sigfd = signalfd(-1, &signals, SFD_CLOEXEC);

  kavsim::PtyUnit unit(config);
  if (!unit.Start()) {
    std::fprintf(stderr, "kavsim: no pseudo-terminal available: %s\n", std::strerror(errno));
    return 1;
  }
  std::error_code ec;
  if (!link.empty()) {
    const std::filesystem::path path(link);
    if (std::filesystem::exists(std::filesystem::symlink_status(path, ec)) && !std::filesystem::is_symlink(path, ec))
      return Fail(link + " exists and is not a link");
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
    std::filesystem::remove(path, ec);
    std::filesystem::create_symlink(unit.SlavePath(), path, ec);
    if (ec) {
      std::fprintf(stderr, "kavsim: cannot create %s: %s\n", link.c_str(), ec.message().c_str());
      return 1;
    }
  }
  std::printf("%s\n", unit.SlavePath().c_str());
  std::fflush(stdout);
  const kavsim::PartModel& part = model.part;
  switch (part.kind) {
    case kavsim::PartModel::Kind::Inductor:
      std::fprintf(stderr, "kavsim: inductor L %.4g mH, Rdc %.4g Ω, Rac %.4g Ω at 1 kHz, Cp %.4g nF\n", part.L * 1e3,
                   part.Rdc, part.Rac, part.Cp * 1e9);
      break;
    case kavsim::PartModel::Kind::Capacitor:
      std::fprintf(stderr, "kavsim: capacitor C %.4g µF, ESR %.4g Ω, ESL %.4g µH\n", part.C * 1e6, part.ESR,
                   part.ESL * 1e6);
      break;
    case kavsim::PartModel::Kind::Resistor:
      std::fprintf(stderr, "kavsim: resistor R %.4g Ω, Ls %.4g µH\n", part.R, part.Ls * 1e6);
      break;
    case kavsim::PartModel::Kind::None:
      break;
  }
  if (part.kind == kavsim::PartModel::Kind::None) {
    std::fprintf(stderr, "kavsim: Re %.2f Ω, Le %.3f mH, Fs %.1f Hz, Qms %.2f, Qes %.2f; %s; fault %s\n",
                 model.Re, model.Le * 1e3, model.Fs, model.Qms, model.Qes, config.paced ? "paced" : "unpaced",
                 kavsim::FaultName(config.fault));
    std::fprintf(stderr,
                 "kavsim: driver Sd %.1f cm², Vas %.3f l, Mms %.3f g, Cms %.4g mm/N, Rms %.4g kg/s, Bl %.3f T·m,"
                 " free Fs %.2f Hz\n",
                 free.Sd * 1e4, free.Vas * 1e3, free.Mms * 1e3, free.Cms * 1e3, free.Rms, free.Bl, freeModel.Fs);
    if (kavsim::IsExtended(freeModel))
      std::fprintf(stderr, "kavsim: voice coil %s (L2 %.3f mH, R2 %.2f Ω, K %.4g, n %.2f), creep %.3f\n",
                   coil.empty() ? "le" : coil.c_str(), model.L2 * 1e3, model.R2, model.K, model.n, model.creep);
    if (addedMass > 0) std::fprintf(stderr, "kavsim: loaded with %.2f g on the cone\n", addedMass);
    if (boxLitres > 0) std::fprintf(stderr, "kavsim: in a closed box of %.3g l\n", boxLitres);
  } else {
    std::fprintf(stderr, "kavsim: %s; fault %s\n", config.paced ? "paced" : "unpaced", kavsim::FaultName(config.fault));
  }

  int status = 0;
  for (;;) {
    pollfd fds[2] = {{sigfd, POLLIN, 0}, {untilEof ? STDIN_FILENO : -1, POLLIN, 0}};
    const int r = poll(fds, 2, 200);
    if (r < 0 && errno != EINTR) break;
    if (fds[0].revents & POLLIN) break;
    if (fds[1].revents & (POLLIN | POLLHUP)) {
      char buf[256];
      if (read(STDIN_FILENO, buf, sizeof buf) <= 0) break;
    }
    if (!unit.Running()) {
      std::fprintf(stderr, "kavsim: the line has been hung up\n");
      break;
    }
  }
  unit.Stop();
  if (!link.empty()) std::filesystem::remove(link, ec);
  return status;
}
