#include "dialogs/Setting.h"

#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <algorithm>

#include "data/Stringutil.h"
#include "platform/ComPorts.h"
#include "platform/desktop/Look.h"
#include "platform/desktop/Modal.h"
#include "ui_Setting.h"

namespace kavo {
namespace {

constexpr int32_t MinPort = 1;
constexpr int32_t MaxPort = 256;
constexpr int ListMinimum = 10;

QString InvalidText() { return QStringLiteral("不正なCOM指定です"); }
QString NumberText() { return QStringLiteral("COM番号エラーです"); }
QString NotNumberText() { return QStringLiteral("COM番号は数字で指定して下さい"); }

void ShowError(const QString& text) {
  Modal().Message(QApplication::activeWindow(), TFormSetting::Caption(), text, MsgIcon::None,
                  MsgButtons::OK);
}

QString StateSuffix(ComPortTarget::State state) {
  switch (state) {
    case ComPortTarget::State::Ready: return QString();
    case ComPortTarget::State::Missing: return QStringLiteral(" (ありません)");
    case ComPortTarget::State::NoAccess: return QStringLiteral(" (アクセス権がありません)");
    case ComPortTarget::State::NotSerial: return QStringLiteral(" (シリアルポートではありません)");
    case ComPortTarget::State::NoUart: return QStringLiteral(" (ポートがありません)");
  }
  return QString();
}

// The list of serial devices to map a COM number to; -1 when the user
// cancels, else the chosen index.
int ChooseDevice(QWidget* parent, int n, const std::vector<SerialDevice>& devices) {
  QDialog chooser(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  chooser.setObjectName(QStringLiteral("TFormPortMap"));
  chooser.setWindowTitle(QStringLiteral("COMポートの割り当て"));
  chooser.setFont(ProgramFont(12));
  auto* layout = new QVBoxLayout(&chooser);
  layout->addWidget(new QLabel(QStringLiteral("COM%1 で開く機器を選んで下さい").arg(n), &chooser));
  auto* list = new QListWidget(&chooser);
  list->setObjectName(QStringLiteral("DeviceList"));
  for (const SerialDevice& device : devices) list->addItem(device.label);
  list->setCurrentRow(0);
  list->setMinimumWidth(360);
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(&chooser);
  buttons->addButton(QStringLiteral("割り当て"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("取り消し"), QDialogButtonBox::RejectRole);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &chooser, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &chooser, &QDialog::reject);
  QObject::connect(list, &QListWidget::itemDoubleClicked, &chooser, &QDialog::accept);
  if (Modal().ExecDialog(chooser) != QDialog::Accepted) return -1;
  const int row = list->currentRow();
  return row >= 0 && row < static_cast<int>(devices.size()) ? row : -1;
}

}  // namespace

TFormSetting::TFormSetting(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      ui_(std::make_unique<Ui::TFormSetting>()) {
  ui_->setupUi(this);
  setFont(ProgramFont(12));
  setFixedSize(size());
  designedSize_ = size();
  designedLineWidth_ = ui_->DeviceLine->width();
  ComboBox1 = ui_->ComboBox1;
  Button1 = ui_->Button1;
  Button2 = ui_->Button2;
  MapBtn = ui_->MapBtn;
  DeviceLine = ui_->DeviceLine;
  // The list's completer would turn a typed "com3" into "COM3" before
  // "設定" looks at it; only the exact upper-case "COM" is a COM number.
  if (QCompleter* completer = ComboBox1->completer()) completer->setCaseSensitivity(Qt::CaseSensitive);
  connect(Button1, &QPushButton::clicked, this, &TFormSetting::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TFormSetting::Button2Click);
  connect(MapBtn, &QPushButton::clicked, this, &TFormSetting::MapBtnClick);
  connect(ComboBox1, &QComboBox::currentTextChanged, this, [this] { UpdateDeviceLine(); });
}

TFormSetting::~TFormSetting() = default;

void TFormSetting::SetPortTarget(int32_t& port, uint8_t& cancelled) {
  port_ = &port;
  cancelled_ = &cancelled;
  cancelled = 1;
  ComboBox1->clear();
  const int32_t last = std::max<int32_t>(ListMinimum, std::min(port, MaxPort));
  for (int32_t n = 1; n <= last; ++n) ComboBox1->addItem(QStringLiteral("COM%1").arg(n));
  ComboBox1->setCurrentIndex(port >= 1 && port <= last ? port - 1 : -1);
  UpdateDeviceLine();
}

void TFormSetting::SetDeviceRoots(const QString& devRoot, const QString& sysTtyRoot) {
  devRoot_ = devRoot;
  sysTtyRoot_ = sysTtyRoot;
  UpdateDeviceLine();
}

TFormSetting::Parse TFormSetting::CurrentPort(int32_t& n) const {
  const QString text = ComboBox1->currentText();
  // An entry counts as selected only while the box shows its exact text.
  const int entry = ComboBox1->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (entry >= 0) {
    n = entry + 1;
    return Parse::Ok;
  }
  if (!text.startsWith(QStringLiteral("COM"))) return Parse::NotCom;
  const std::string digits = text.mid(3).toStdString();
  int32_t value = 0;
  if (!ParseInt(digits, value)) {
    // Digits too many for an integer are still a number, just a wrong one.
    static const QRegularExpression number(QStringLiteral("^ *[+-]?[0-9]+$"));
    return number.match(text.mid(3)).hasMatch() ? Parse::BadNumber : Parse::NotNumber;
  }
  if (value < MinPort || value > MaxPort) return Parse::BadNumber;
  n = value;
  return Parse::Ok;
}

bool TFormSetting::CheckedPort(int32_t& n) {
  switch (CurrentPort(n)) {
    case Parse::Ok: return true;
    case Parse::NotCom: ShowError(InvalidText()); return false;
    case Parse::BadNumber: ShowError(NumberText()); return false;
    case Parse::NotNumber: ShowError(NotNumberText()); return false;
  }
  return false;
}

void TFormSetting::Button1Click() {
  int32_t n = 0;
  if (!CheckedPort(n)) return;  // the dialog stays open, the port unchanged
  if (port_) *port_ = n;
  if (cancelled_) *cancelled_ = 0;
  accept();
}

void TFormSetting::Button2Click() { reject(); }

// Escape and the window manager's close end here as well as "取り消し".
void TFormSetting::reject() {
  if (cancelled_) *cancelled_ = 1;
  QDialog::reject();
}

QString TFormSetting::DeviceLineText(int n) const {
  const ComPortTarget target = DescribeComPort(n, sysTtyRoot_);
  QString text = QStringLiteral("→ ") + target.device;
  if (target.source == ComPortTarget::Source::Environment)
    text += QStringLiteral(" [KAVO_COM%1]").arg(n);
  return text + StateSuffix(target.state);
}

void TFormSetting::UpdateDeviceLine() {
  int32_t n = 0;
  const QString text = CurrentPort(n) == Parse::Ok ? DeviceLineText(n) : QString();
  DeviceLine->setText(text);
  DeviceLine->setToolTip(text);
  DeviceLine->setCursorPosition(0);
  // The whole line shows: a long path or state widens the dialog to the
  // right (never below its designed size); the line edit's own margins are
  // a few pixels on each side.
  const int needed = DeviceLine->fontMetrics().horizontalAdvance(text) + 12;
  const int widen = std::max(0, needed - designedLineWidth_);
  DeviceLine->resize(designedLineWidth_ + widen, DeviceLine->height());
  setFixedSize(designedSize_.width() + widen, designedSize_.height());
}

void TFormSetting::MapBtnClick() {
  int32_t n = 0;
  if (!CheckedPort(n)) return;
  const std::vector<SerialDevice> devices = ListSerialDevices(devRoot_, sysTtyRoot_);
  if (devices.empty()) {
    ShowError(QStringLiteral("シリアルポートの機器が見つかりません"));
    return;
  }
  const int chosen = ChooseDevice(this, n, devices);
  if (chosen < 0) return;
  QString why;
  if (!MapComPort(n, devices[static_cast<size_t>(chosen)].path, &why)) {
    ShowError(QStringLiteral("COM%1の割り当てを保存できませんでした\n%2").arg(n).arg(why));
    return;
  }
  UpdateDeviceLine();
}

}  // namespace kavo
