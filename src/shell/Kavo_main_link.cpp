// Main window: the KA-V unit's command protocol (port, probe,
// identification, stop, release) and the measurement sequence that
// receives a sweep one record per idle pass.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QSocketNotifier>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <poll.h>

#include "data/Kavo_data.h"
#include "data/Kavo_file.h"
#include "data/Stringutil.h"
#include "graph/Graph_rtf.h"
#include "link/Deadline.h"
#include "link/Spdrv.h"
#include "link/SweepReceiver.h"
#include "messages/Ka_message.h"
#include "messages/Ka_status.h"
#include "platform/ComPorts.h"
#include "platform/Names.h"
#include "shell/Kavo_main.h"

namespace kavo {
namespace {

const char* const StartCaption = "測定開始";
const char* const StopCaption = "測定停止";

}  // namespace

// ---- exchanges ----

bool TFormMain::mQuery(const char* command, char* reply, int deadlineMs, int n) {
  char line[32];
  const int len = std::snprintf(line, sizeof line, "%s\r", command);
  if (len <= 0 || len >= static_cast<int>(sizeof line)) return false;
  commDriver->FlushBuffers(true, true);
  if (!commDriver->SendZString(line)) return false;
  const uint32_t got = commDriver->ReadData_inTime(reply, static_cast<uint32_t>(n + 1), static_cast<uint32_t>(deadlineMs));
  if (got != static_cast<uint32_t>(n + 1)) return false;
  reply[n] = '\0';  // the terminator's value is never looked at
  return true;
}

bool TFormMain::mCommand(const char* command, const char* expected, int deadlineMs) {
  char reply[20];
  const int n = static_cast<int>(std::strlen(expected));
  if (n > 19) return false;
  if (!mQuery(command, reply, deadlineMs, n)) return false;
  return std::memcmp(reply, expected, static_cast<size_t>(n)) == 0;
}

bool TFormMain::mOpenPort(int32_t port) {
  // An open port is reused as it is: a COM number changed meanwhile waits
  // until the port has been closed.
  if (portOpen) return true;
  if (port >= 1 && port <= 16) {
    commDriver->SetPort(static_cast<TPortNumber>(pnCOM1 + port - 1));
  } else {
    commDriver->SetPort(pnCustom);
    commDriver->SetPortName(ComPortPath(port));
  }
  commDriver->SetBaudRate(br9600);
  if (!commDriver->Connect()) {
    commDriver->Disconnect();
    return false;
  }
  commDriver->FlushBuffers(true, true);
  portOpen = 1;
  return true;
}

void TFormMain::mClosePort() {
  if (!portOpen) return;
  commDriver->FlushBuffers(true, true);
  commDriver->Disconnect();
  portOpen = 0;
}

bool TFormMain::mProbeUnit() {
  if (!mCommand("?", "OK", 100)) return false;
  char model[8];
  if (!mQuery("U?", model, 100, 4)) return false;
  if (std::strcmp(model, UnitModelName) != 0) return false;
  return mCommand("ME", "OK", 300);
}

bool TFormMain::mIdentifyUnit() {
  if (!portOpen) return false;
  char reply[8];
  if (!mQuery("U?", reply, 100, 4)) {
    statusTexts->ShowResponseError();
    return false;
  }
  if (std::strcmp(reply, UnitModelName) != 0) {
    statusTexts->ShowNotUnit();
    return false;
  }
  if (!mQuery("V?", reply, 100, 4)) {
    statusTexts->ShowResponseError();
    return false;
  }
  unitVersion.assign(reply, 4);
  if (!mQuery("SN?", reply, 100, 4)) {
    statusTexts->ShowResponseError();
    return false;
  }
  unitSerial.assign(reply, 4);
  if (!mCommand("M?", "0", 100)) {
    statusTexts->ShowNotCalibrated();
    return false;
  }
  return true;
}

void TFormMain::mStopMeasure() {
  if (!commDriver || !unitConnected) return;
  WatchPort(false);
  mStopTimeout();
  bool stopped = false;
  for (int attempt = 0; attempt < 3 && !stopped; ++attempt) stopped = mCommand("ME", "OK", 300);
  if (stopped) {
    if (portOpen) commDriver->FlushBuffers(true, true);
    mClosePort();
  } else {
    commDriver->FlushBuffers(true, true);
    commDriver->Disconnect();
    portOpen = 0;
  }
  // The unit is gone either way; the next start connects from scratch.
  unitConnected = 0;
  acquiring = 0;
  statusTexts->ShowMeasureStopped();
}

void TFormMain::mReleaseCOM() {
  if (!commDriver || !unitConnected) return;
  WatchPort(false);
  if (portOpen) {
    mCommand("ME", "OK", 300);
    commDriver->FlushBuffers(true, true);
  }
  mClosePort();
  unitConnected = 0;
}

// ---- start and stop ----

void TFormMain::MStartBtnClick() {
  MStartBtn->setEnabled(false);
  if (MStartBtn->text() == QString::fromUtf8(StartCaption)) {
    mStartMeasure();
  } else {
    mStopMeasure();
    mSetIdleUI();
    MStartBtn->setText(QString::fromUtf8(StartCaption));
  }
  MStartBtn->setEnabled(true);
}

void TFormMain::MenuMeasure_StartClick() {
  MStartBtn->setEnabled(false);
  mStartMeasure();
  MStartBtn->setEnabled(true);
}

void TFormMain::mSetBusyUI() {
  for (QMenu* menu : {MenuFile, MenuMeasure, MenuGraph, MenuRef, MenuSet, MenuHelp})
    menu->menuAction()->setEnabled(false);
  QuitBtn->setEnabled(false);
  ComboBox2->setEnabled(false);
  StopShortcut->setEnabled(true);
  MStartBtn->setFocus();  // taken up again once the start has returned (eventFilter)
}

void TFormMain::mSetIdleUI() {
  for (QMenu* menu : {MenuFile, MenuMeasure, MenuGraph, MenuRef, MenuSet, MenuHelp})
    menu->menuAction()->setEnabled(true);
  QuitBtn->setEnabled(true);
  ComboBox2->setEnabled(true);
  MStartBtn->setEnabled(true);
  StopShortcut->setEnabled(false);
}

void TFormMain::mStartMeasure() {
  if (mainData.valid && !dataSaved && !msgCatalog->ConfirmDiscardAndMeasure()) return;
  mSetBusyUI();
  MStartBtn->setText(QString::fromUtf8(StopCaption));
  statusTexts->ClearPanel(1);
  statusTexts->ClearPanel(2);
  if (mConnectAndStart()) {
    graphPlotter->Clear();
    graphPlotter->DrawScales(ROnly());
    statusTexts->ShowMeasuring();
  } else {
    mSetIdleUI();
    MStartBtn->setText(QString::fromUtf8(StartCaption));
  }
}

bool TFormMain::mConnectAndStart() {
  if (!mConnectUnit()) return false;
  const int32_t band = ComboBox2->currentIndex() + 1;
  mPrepareSweep(band);
  if (!mStartBand(band)) return false;
  acquiring = 1;
  WatchPort(true);
  mStartTimeout(timeoutMs);
  statusTexts->ShowReceiving();
  return true;
}

// Port, probe and identification; each failure reports itself.
bool TFormMain::mConnectUnit() {
  if (!commDriver) return false;
  if (!mOpenPort(settings.CommPortNum)) {
    statusTexts->ShowPortError();
    msgCatalog->ShowComOpenError();
    return false;
  }
  if (!mProbeUnit()) {
    mClosePort();
    statusTexts->ShowUnitMissing();
    msgCatalog->ShowUnitNotFound();
    return false;
  }
  if (!mIdentifyUnit()) {
    mClosePort();
    unitConnected = 0;
    return false;
  }
  unitConnected = 1;
  statusTexts->ShowUnitInfo(QString::fromLatin1(UnitModelName), FromCp932(unitSerial), FromCp932(unitVersion));
  return true;
}

// An empty data set and graph scale for the band, and a fresh receive state.
void TFormMain::mPrepareSweep(int32_t band) {
  mainData.band = band;
  ResetGraphScale(band);
  bandFirst = BandFirstSlot(band);
  mainData.valid = 0;
  ClearData(mainData);
  mainData.dateTime = NowText();
  pointCount = 0;
  pointsExpected = BandPointCount(band);
  rxCount = 0;
  rxParsePos = 0;
  fileName.clear();
  setWindowTitle(QString::fromLatin1(ProgramCaption));
}

// "M1".."M4", answered with the band's point count in hexadecimal.
bool TFormMain::mStartBand(int32_t band) {
  commDriver->FlushBuffers(true, true);
  const char command[3] = {'M', static_cast<char>('0' + band), '\0'};
  char reply[8];
  if (!mQuery(command, reply, 100, 4)) {
    statusTexts->ShowSendError();
    unitConnected = 0;
    commDriver->Disconnect();
    portOpen = 0;
    return false;
  }
  const BandReply answer = ParseBandReply(reply);
  if (answer.answer != BandAnswer::Count) {
    unitConnected = 0;  // refused or garbled: nothing shown, port stays open
    return false;
  }
  if (answer.count != pointsExpected) {
    msgCatalog->ShowVersionMismatch();
    unitConnected = 0;
    return false;
  }
  return true;
}

// ---- watchdog ----

void TFormMain::mStartTimeout(int ms) {
  Timer1.stop();
  Timer1.setInterval(ms);
  timeoutExpired = 0;
  Timer1.start();
}

void TFormMain::mStopTimeout() { Timer1.stop(); }

void TFormMain::Timer1Timer() {
  Timer1.stop();
  timeoutExpired = 1;
}

// While a sweep runs, readable data on the port wakes the event loop, so an
// idle pass follows every arrival and the program keeps pace with the line.
void TFormMain::WatchPort(bool on) {
  delete portNotifier;
  portNotifier = nullptr;
  portSignalled = false;
  if (!on || !commDriver || commDriver->Handle() < 0) return;
  portNotifier = new QSocketNotifier(commDriver->Handle(), QSocketNotifier::Read, this);
  connect(portNotifier, &QSocketNotifier::activated, this, [this] { portSignalled = true; });
}

// ---- receiving ----

void TFormMain::EndSweepWithReceiveError() {
  mStopTimeout();
  acquiring = 0;
  statusTexts->ShowReceiveError();
  EndSweep();
}

void TFormMain::EndSweep() {
  mReleaseCOM();
  MStartBtn->setText(QString::fromUtf8(StartCaption));
  mSetIdleUI();
}

// Reads what the next record (or the closing answer) still lacks, waiting
// for it up to the input deadline; asking for more would sit out the
// deadline at the end of every sweep. False when the sweep has ended: a full
// buffer (a unit that keeps sending while records stall) or a vanished device.
bool TFormMain::mReceiveSome() {
  if (rxCount >= RxBufferSize) {
    EndSweepWithReceiveError();
    return false;
  }
  const bool signalled = portSignalled;
  portSignalled = false;
  const uint32_t queued = commDriver->CountRX();
  const int32_t want = SweepBytesWanted(rxCount, rxParsePos, pointCount >= pointsExpected, RxBufferSize, queued);
  // Nothing queued yet: the bytes wanted cannot arrive sooner than the line
  // carries them. Sleeping that long first takes a record in one wake-up
  // instead of one for its first byte and another for the rest.
  if (want > 0 && queued == 0) {
    const uint32_t lineMs = DelayForRX(commDriver->BaudRate(), static_cast<uint32_t>(want));
    const Deadline until(lineMs);
    while (lineMs > 1 && !until.Passed()) poll(nullptr, 0, until.PollMs());
  }
  const uint32_t got = want > 0 ? commDriver->ReadData(rxBuffer + rxCount, static_cast<uint32_t>(want)) : 0;
  if (got > 0) {
    rxCount += static_cast<int32_t>(got);
    mStartTimeout(timeoutMs);
  } else if (signalled && commDriver->DeviceGone()) {
    EndSweepWithReceiveError();  // adapter pulled, line hung up
    return false;
  }
  return true;
}

void TFormMain::mAcquireStep() {
  if (timeoutExpired) {
    timeoutExpired = 0;
    EndSweepWithReceiveError();
  }
  if (portOpen && acquiring && !mReceiveSome()) return;
  if (!acquiring) return;

  const int32_t slot = bandFirst + pointCount;
  const SweepStep step = NextSweepItem(rxBuffer, rxCount, rxParsePos, pointCount >= pointsExpected);
  switch (step.item) {
    case SweepItem::Incomplete:
      return;
    case SweepItem::ClosingOk:
    case SweepItem::ClosingError:
      mEndSweepClosed(step.item == SweepItem::ClosingOk);
      return;
    case SweepItem::Broken:
      // The slot keeps what came before the bad byte.
      std::copy_n(rxBuffer + rxParsePos, step.length, mainData.points[slot].c);
      EndSweepWithReceiveError();
      return;
    case SweepItem::Point:
      break;
  }
  PointText& target = mainData.points[slot];
  std::copy_n(rxBuffer + rxParsePos, RecordLength, target.c);
  target.c[RecordLength] = '\0';
  statusTexts->SetPanelText(PointReadout(target), 2);
  // A record without a divisor stalls the sweep until the watchdog.
  if (!fileHandler->ConvertPoint(&mainData, &rawValues, slot, &aveValues)) return;
  if (pointCount > 0) mDrawNewPoint(slot);
  ++pointCount;
  rxParsePos += RecordBytes;
  // The next record follows on the heels of this one: the next pass goes
  // straight to it rather than waiting in the event loop for its first byte.
  idleArmed = true;
}

// The closing answer has come: the sweep is complete when it is "OK".
void TFormMain::mEndSweepClosed(bool ok) {
  mStopTimeout();
  acquiring = 0;
  if (ok) {
    statusTexts->ShowCalculating();
    completionPending = 1;
  } else {
    statusTexts->ShowReceiveError();
  }
  EndSweep();
}

// One more segment, or the whole curve so far when the R scale has to grow
// (it grows during a sweep only up to 200 ohm).
void TFormMain::mDrawNewPoint(int32_t slot) {
  const float r = rawValues.R[slot];
  if (graphScale.rMax < 200.0f && r > graphScale.rMax) {
    graphScale.rMax = mRScaleFor(r);
    graphPlotter->Clear();
    graphPlotter->DrawMeasurementSoFar(ROnly(), pointCount, Wide());
  } else {
    graphPlotter->DrawSegment(ROnly(), slot, Wide());
  }
}

void TFormMain::mFinishMeasure() {
  if (!fileHandler->ConvertData(&mainData, &rawValues, &aveValues)) {
    statusTexts->ShowCalcError();
    mainData.valid = 0;
    return;
  }
  mainData.valid = 1;
  dataSaved = 0;
  RedrawWithMeasurement();
  const int32_t band = mainData.band;
  statusTexts->SetPanelText(QStringLiteral("周波数：") + mFormatFrequency(mainData.points[BandFirstSlot(band)]) +
                                QStringLiteral("...") + mFormatFrequency(mainData.points[BandLastSlot(band)]),
                            2);
  statusTexts->ShowMeasureDone();
}

}  // namespace kavo
