#include "Serial_device_list.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringList>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "Prompter.h"

namespace doz {

namespace {
constexpr int LIST_WIDTH = 640;
constexpr int LIST_HEIGHT = 180;

enum TColumn { COLUMN_COM, COLUMN_PATH, COLUMN_INFO, COLUMN_COUNT };

QString Text(const std::string& text) { return QString::fromStdString(text); }

// "COM33", or "なし" for a device no COM number opens.
QString ComNumberText(int comNumber) {
  return comNumber > 0 ? QStringLiteral("COM%1").arg(comNumber) : QStringLiteral("なし");
}

// One line each: the product; the USB ids, serial number and driver; the
// by-id name, which alone is long enough to fill a line.
QString DeviceInfoText(const TSerialDevice& device) {
  QStringList lines;
  if (const std::string product = ProductText(device); !product.empty()) lines << Text(product);
  QStringList details;
  if (const std::string ids = UsbIdText(device); !ids.empty())
    details << QStringLiteral("USB %1").arg(Text(ids));
  if (!device.serial.empty()) details << QStringLiteral("シリアル番号 %1").arg(Text(device.serial));
  if (!device.driver.empty()) details << QStringLiteral("ドライバ %1").arg(Text(device.driver));
  if (!details.isEmpty()) lines << details.join(QStringLiteral("、"));
  if (!device.byId.empty())
    lines << QStringLiteral("by-id: ") +
                 Text(std::filesystem::path(device.byId).filename().string());
  return lines.isEmpty() ? QStringLiteral("情報なし") : lines.join(u'\n');
}

// The box text for a link that could not be made; empty when nothing failed.
QString ComLinkFailureText(const TComLink& link, const std::string& appDir) {
  switch (link.result) {
    case TComLinkResult::Made:
    case TComLinkResult::AlreadyReachable:
      return {};
    case TComLinkResult::NoSuchDevice:
      return QStringLiteral("このデバイスは見つかりません");
    case TComLinkResult::NoFreeNumber:
      return QStringLiteral("空いているCOM番号がありません");
    case TComLinkResult::CannotCreate:
      break;
  }
  const std::string ports = (std::filesystem::path(appDir) / "ports").string();
  return QStringLiteral("COM番号のリンクを作成できません（%1）").arg(Text(ports));
}

}  // namespace

TSerialDeviceList::TSerialDeviceList(TPrompter& prompter, const TSerialRoots& roots,
                                     QWidget* parent)
    : QGroupBox(QStringLiteral("接続されているシリアルデバイス"), parent),
      prompter_(prompter),
      roots_(roots) {
  DeviceTree = new QTreeWidget(this);
  DeviceTree->setColumnCount(COLUMN_COUNT);
  DeviceTree->setHeaderLabels(
      {QStringLiteral("COM番号"), QStringLiteral("デバイス"), QStringLiteral("説明")});
  DeviceTree->setRootIsDecorated(false);
  DeviceTree->setAllColumnsShowFocus(true);
  DeviceTree->setAlternatingRowColors(true);
  DeviceTree->setSelectionMode(QAbstractItemView::SingleSelection);
  DeviceTree->setMinimumSize(LIST_WIDTH, LIST_HEIGHT);
  LinkButton = new QPushButton(QStringLiteral("COM番号を割り当てる"), this);
  LinkButton->setToolTip(QStringLiteral(
      "プログラムのフォルダに ports/comN のリンクを作り、空いているCOM番号で開けるようにします"));
  RefreshButton = new QPushButton(QStringLiteral("一覧を更新"), this);
  // Neither may take Enter from the form's own confirming button.
  LinkButton->setAutoDefault(false);
  RefreshButton->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(LinkButton);
  buttons->addWidget(RefreshButton);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(DeviceTree);
  layout->addLayout(buttons);

  connect(DeviceTree, &QTreeWidget::currentItemChanged, this, &TSerialDeviceList::SelectionChanged);
  connect(LinkButton, &QPushButton::clicked, this, &TSerialDeviceList::LinkButtonClick);
  connect(RefreshButton, &QPushButton::clicked, this, qOverload<>(&TSerialDeviceList::Refresh));
  Fill();
}

void TSerialDeviceList::Refresh(const std::string& appDir) {
  roots_.appDir = appDir;
  Refresh();
}

void TSerialDeviceList::Refresh() {
  devices_ = ListSerialDevices(roots_);
  Fill();
}

void TSerialDeviceList::Fill() {
  // Refilling is no choice of the user's.
  const QSignalBlocker quiet(DeviceTree);
  DeviceTree->clear();
  if (devices_.empty()) {
    auto* none =
        new QTreeWidgetItem(DeviceTree, {QStringLiteral("シリアルデバイスが見つかりません")});
    none->setFirstColumnSpanned(true);
    none->setFlags(Qt::NoItemFlags);
  }
  for (std::size_t i = 0; i < devices_.size(); ++i) {
    const TSerialDevice& device = devices_[i];
    auto* item = new QTreeWidgetItem(
        DeviceTree, {ComNumberText(device.comNumber), Text(device.path), DeviceInfoText(device)});
    item->setData(COLUMN_COM, Qt::UserRole, static_cast<int>(i));
    for (int column = 0; column < COLUMN_COUNT; ++column)
      item->setTextAlignment(column, Qt::AlignLeft | Qt::AlignTop);
    if (!device.byId.empty()) item->setToolTip(COLUMN_INFO, Text(device.byId));
  }
  for (int column = 0; column < COLUMN_COUNT; ++column) DeviceTree->resizeColumnToContents(column);
  LinkButton->setEnabled(false);
}

const TSerialDevice* TSerialDeviceList::Selected() const {
  const QTreeWidgetItem* item = DeviceTree->currentItem();
  if (!item || !item->data(COLUMN_COM, Qt::UserRole).isValid()) return nullptr;
  return &devices_[item->data(COLUMN_COM, Qt::UserRole).toInt()];
}

void TSerialDeviceList::SelectionChanged() {
  const TSerialDevice* device = Selected();
  LinkButton->setEnabled(device && device->comNumber == 0);
  if (device && device->comNumber != 0) emit ComChosen(device->comNumber);
}

void TSerialDeviceList::Select(int comNumber) {
  for (int row = 0; row < DeviceTree->topLevelItemCount(); ++row) {
    QTreeWidgetItem* item = DeviceTree->topLevelItem(row);
    if (item->text(COLUMN_COM) == ComNumberText(comNumber)) return DeviceTree->setCurrentItem(item);
  }
}

void TSerialDeviceList::LinkButtonClick() {
  const TSerialDevice* device = Selected();
  if (!device || device->comNumber != 0) return;
  const TComLink link = MakeComLink(roots_, device->path);
  Refresh();
  const QString failure = ComLinkFailureText(link, roots_.appDir);
  if (!failure.isEmpty()) {
    prompter_.MessageBox(failure, QStringLiteral("エラー"), TBoxStyle::Error);
    return;
  }
  Select(link.comNumber);
}

}  // namespace doz
