// Main window: the KA-V unit's command protocol (port, probe,
// identification, stop, release) and the measurement sequence that
// receives a sweep one record per idle pass.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QSocketNotifier>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "data/Kavo_data.h"
#include "data/Kavo_file.h"
#include "data/Stringutil.h"
#include "graph/Graph_rtf.h"
#include "link/Spdrv.h"
#include "messages/Ka_message.h"
#include "messages/Ka_status.h"
#include "platform/ComPorts.h"
#include "shell/Kavo_main.h"

namespace kavo {
namespace {

const char* const StartCaption = "測定開始";
const char* const StopCaption = "測定停止";
constexpr int RecordBytes = RecordLength + 1;  // record and its terminator

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

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
  if (std::strcmp(model, "KA-V") != 0) return false;
  return mCommand("ME", "OK", 300);
}

bool TFormMain::mIdentifyUnit() {
  if (!portOpen) return false;
  char reply[8];
  if (!mQuery("U?", reply, 100, 4)) {
    statusTexts->ShowResponseError();
    return false;
  }
  if (std::strcmp(reply, "KA-V") != 0) {
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
}

void TFormMain::mSetIdleUI() {
  for (QMenu* menu : {MenuFile, MenuMeasure, MenuGraph, MenuRef, MenuSet, MenuHelp})
    menu->menuAction()->setEnabled(true);
  QuitBtn->setEnabled(true);
  ComboBox2->setEnabled(true);
  MStartBtn->setEnabled(true);
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
  // Connection: port, probe, identification.
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
  statusTexts->ShowUnitInfo(QStringLiteral("KA-V"), FromCp932(unitSerial), FromCp932(unitVersion));

  // The data set and the graph scale for the new band.
  const int32_t band = ComboBox2->currentIndex() + 1;
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
  setWindowTitle(QStringLiteral("KAVO v2.1"));

  // Sweep start: "M1".."M4" answers with the point count.
  commDriver->FlushBuffers(true, true);
  char command[4] = {'M', static_cast<char>('0' + band), '\0', '\0'};
  char reply[8];
  if (!mQuery(command, reply, 100, 4)) {
    statusTexts->ShowSendError();
    unitConnected = 0;
    commDriver->Disconnect();
    portOpen = 0;
    return false;
  }
  if (reply[0] == 'N' || reply[1] == 'G' || !IsHexDigit(reply[0])) {
    unitConnected = 0;  // refused or garbled: nothing shown, port stays open
    return false;
  }
  int announced = 0;
  for (int i = 0; i < 4; ++i) announced = announced * 16 + HexValue(reply[i]);
  if (announced != pointsExpected) {
    msgCatalog->ShowVersionMismatch();
    unitConnected = 0;
    return false;
  }

  acquiring = 1;
  WatchPort(true);
  mStartTimeout(timeoutMs);
  statusTexts->ShowReceiving();
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

void TFormMain::mAcquireStep() {
  // 1. Ten seconds of silence end the sweep.
  if (timeoutExpired) {
    timeoutExpired = 0;
    EndSweepWithReceiveError();
  }

  // 2. Read what has come, at most one record's worth: the bytes the next
  // record (or the closing answer) still lacks, waiting for them up to the
  // input deadline; when it is complete already (a stalled sweep), only what
  // is queued. Asking for more than the next step needs would sit out the
  // deadline at the end of every sweep. A unit that keeps sending while
  // records stall must not overrun the buffer: a full buffer ends the sweep
  // like a broken record.
  if (portOpen && acquiring) {
    if (rxCount >= RxBufferSize) {
      EndSweepWithReceiveError();
      return;
    }
    const bool signalled = portSignalled;
    portSignalled = false;
    const int32_t missing = (pointCount >= pointsExpected ? rxParsePos + 3 : rxParsePos + RecordBytes) - rxCount;
    uint32_t want = missing > 0 ? static_cast<uint32_t>(missing) : std::min<uint32_t>(RecordBytes, commDriver->CountRX());
    want = std::min<uint32_t>(want, static_cast<uint32_t>(RxBufferSize - rxCount));
    const uint32_t got = want > 0 ? commDriver->ReadData(rxBuffer + rxCount, want) : 0;
    if (got > 0) {
      rxCount += static_cast<int32_t>(got);
      mStartTimeout(timeoutMs);
    } else if (signalled && commDriver->DeviceGone()) {
      // The device went away (adapter pulled, line hung up).
      EndSweepWithReceiveError();
      return;
    }
  }
  if (!acquiring) return;

  // 3. All points in: wait for the closing answer.
  if (pointCount >= pointsExpected) {
    if (rxCount < rxParsePos + 3) return;
    mStopTimeout();
    acquiring = 0;
    if (rxBuffer[rxParsePos] == 'O' && rxBuffer[rxParsePos + 1] == 'K') {
      statusTexts->ShowCalculating();
      completionPending = 1;
    } else {
      statusTexts->ShowReceiveError();
    }
    EndSweep();
    return;
  }

  // 4. A whole record, or wait.
  if (rxCount < rxParsePos + RecordBytes) return;

  // 5. Into the next slot; a carriage return inside it breaks the sweep.
  const int32_t slot = bandFirst + pointCount;
  PointText& target = mainData.points[slot];
  for (int i = 0; i < RecordLength; ++i) {
    const char c = rxBuffer[rxParsePos + i];
    if (c == '\r') {
      EndSweepWithReceiveError();
      return;
    }
    target.c[i] = c;
  }
  target.c[RecordLength] = '\0';

  // 6. Read-out of the point.
  statusTexts->SetPanelText(PointReadout(target), 2);

  // 7. Numbers; a record without a divisor stalls the sweep until the watchdog.
  if (!fileHandler->ConvertPoint(&mainData, &rawValues, slot, &aveValues)) return;

  // 8. Draw the new segment, growing the R scale when the point needs it.
  if (pointCount > 0) {
    const float r = rawValues.R[slot];
    if (graphScale.rMax >= 200.0f) {
      graphPlotter->DrawSegment(ROnly(), slot, Wide());
    } else if (r > graphScale.rMax) {
      graphScale.rMax = mRScaleFor(r);
      graphPlotter->Clear();
      graphPlotter->DrawMeasurementSoFar(ROnly(), pointCount, Wide());
    } else {
      graphPlotter->DrawSegment(ROnly(), slot, Wide());
    }
  }

  // 9. Next record.
  ++pointCount;
  rxParsePos += RecordBytes;
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
