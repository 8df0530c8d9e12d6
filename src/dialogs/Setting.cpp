#include "Setting.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "Prompter.h"
#include "Serial_device_list.h"

namespace doz {

namespace {
constexpr int COM_MIN = 1;
constexpr int LIST_MIN = 10;
const QString COM_PREFIX = QStringLiteral("COM");

void ShowError(TPrompter& prompter, const QString& text, TBoxStyle style) {
  prompter.MessageBox(text, QStringLiteral("エラー"), style);
}
}  // namespace

TComEntry ParseComText(const QString& text, int& number) {
  if (!text.startsWith(COM_PREFIX, Qt::CaseSensitive)) return TComEntry::NotCom;
  const QString rest = text.mid(COM_PREFIX.size());
  // Only ASCII digits after an optional sign: toInt alone would also take
  // surrounding blanks.
  const qsizetype digitsFrom = rest.startsWith(u'+') || rest.startsWith(u'-') ? 1 : 0;
  if (rest.size() == digitsFrom) return TComEntry::NotInteger;
  for (qsizetype i = digitsFrom; i < rest.size(); ++i)
    if (rest[i] < u'0' || rest[i] > u'9') return TComEntry::NotInteger;
  bool ok = false;
  const int value = rest.toInt(&ok, 10);
  if (!ok) return TComEntry::NotInteger;
  if (value < COM_MIN || value > COM_MAX) return TComEntry::OutOfRange;
  number = value;
  return TComEntry::Valid;
}

int ComListLength(int port) { return std::clamp(port, LIST_MIN, COM_MAX); }

QString DeviceLineText(const std::string& path, TDeviceState state) {
  if (path.empty()) return QStringLiteral("このCOM番号に割り当てられたデバイスはありません");
  const QString device = QString::fromStdString(path) + QStringLiteral(" — ");
  switch (state) {
    case TDeviceState::Present:
      return device + QStringLiteral("使用できます");
    case TDeviceState::NoAccess:
      return device +
             QStringLiteral("アクセス権がありません（dialout グループに参加してください）");
    case TDeviceState::Missing:
      break;
  }
  return device + QStringLiteral("デバイスがありません");
}

TFormSetting::TFormSetting(TPrompter& prompter, const TSerialRoots& roots, QWidget* parent)
    : TFixedDialog(QStringLiteral("COMポートの設定"), parent), prompter_(prompter) {
  ComboBox1 = new QComboBox(this);
  ComboBox1->setEditable(true);
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  // The toolkit's completer would turn "com5" or "COM" into a list entry on
  // Enter or when the focus leaves; a typed text is checked as typed.
  ComboBox1->setCompleter(nullptr);
  ComboBox1->setMaxVisibleItems(10);
  DeviceLabel = new QLabel(this);
  DeviceList = new TSerialDeviceList(prompter, roots, this);
  Button1 = new QPushButton(QStringLiteral("設定"), this);
  Button2 = new QPushButton(QStringLiteral("取り消し"), this);
  auto* layout = new QVBoxLayout;
  layout->addWidget(ComboBox1, 0, Qt::AlignLeft);
  layout->addWidget(DeviceLabel);
  layout->addWidget(DeviceList);
  SetContent(layout, Button1, Button2);

  connect(Button1, &QPushButton::clicked, this, &TFormSetting::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TFormSetting::Button2Click);
  connect(ComboBox1, &QComboBox::editTextChanged, this, &TFormSetting::UpdateDeviceLine);
  connect(DeviceList, &TSerialDeviceList::ComChosen, this, &TFormSetting::SelectCom);
}

void TFormSetting::Prepare(int storedPort, const std::string& appDir) {
  port_ = storedPort;
  appDir_ = appDir;
  ComboBox1->clear();
  const int entries = ComListLength(storedPort);
  for (int n = 1; n <= entries; ++n) ComboBox1->addItem(COM_PREFIX + QString::number(n));
  // A port outside the list leaves nothing selected and the field empty.
  ComboBox1->setCurrentIndex(storedPort >= 1 && storedPort <= entries ? storedPort - 1 : -1);
  DeviceList->Refresh(appDir);
  UpdateDeviceLine();
}

// A number past the list's end is shown as typed, as the user would enter it.
void TFormSetting::SelectCom(int number) {
  if (number <= ComboBox1->count()) ComboBox1->setCurrentIndex(number - 1);
  ComboBox1->setEditText(COM_PREFIX + QString::number(number));
  // A link just made changes the device of a number already shown.
  UpdateDeviceLine();
}

TComEntry TFormSetting::Chosen(int& number) const {
  const int index = ComboBox1->currentIndex();
  if (index >= 0 && ComboBox1->currentText() == ComboBox1->itemText(index)) {
    number = index + 1;
    return TComEntry::Valid;
  }
  return ParseComText(ComboBox1->currentText(), number);
}

void TFormSetting::Button1Click() {
  int number = 0;
  switch (Chosen(number)) {
    case TComEntry::NotCom:
      ShowError(prompter_, QStringLiteral("不正なCOM指定です"), TBoxStyle::Plain);
      return;
    case TComEntry::NotInteger:
      ShowError(prompter_,
                QStringLiteral("「%1」は有効な整数ではありません").arg(ComboBox1->currentText()),
                TBoxStyle::Error);
      return;
    case TComEntry::OutOfRange:
      ShowError(prompter_, QStringLiteral("COM番号エラーです"), TBoxStyle::Plain);
      return;
    case TComEntry::Valid:
      break;
  }
  port_ = number;
  Confirm();
}

void TFormSetting::Button2Click() { Cancel(); }

void TFormSetting::UpdateDeviceLine() {
  int number = 0;
  if (Chosen(number) != TComEntry::Valid) {
    DeviceLabel->setText(QStringLiteral("COM番号が正しくありません"));
    return;
  }
  const std::string path = ComPortDevice(appDir_, number);
  DeviceLabel->setText(DeviceLineText(path, path.empty() ? TDeviceState::Missing
                                                         : DeviceState(path)));
}

}  // namespace doz
