// The serial devices present, in the COM port dialog: for each the COM number
// that opens it, its device path and what the system knows of it; a device
// that no COM number reaches yet can be given one by a ports/comN link in the
// program's folder.
#pragma once

#include <QGroupBox>
#include <string>
#include <vector>

#include "Serial_devices.h"

class QPushButton;
class QTreeWidget;

namespace doz {

class TPrompter;

class TSerialDeviceList : public QGroupBox {
  Q_OBJECT
 public:
  // `roots` say where the system's devices are; their program folder is
  // replaced by the one each Refresh is given.
  TSerialDeviceList(TPrompter& prompter, const TSerialRoots& roots, QWidget* parent = nullptr);

  // Reads the devices again, with `appDir` as the folder holding ports/.
  void Refresh(const std::string& appDir);
  void Refresh();
  // Gives the selected device the lowest free COM number.
  void LinkButtonClick();

  const std::vector<TSerialDevice>& Devices() const { return devices_; }

  QTreeWidget* DeviceTree;
  QPushButton* LinkButton;
  QPushButton* RefreshButton;

 signals:
  // A device that this COM number opens was selected, or has just been given it.
  void ComChosen(int comNumber);

 private:
  void Fill();
  void Select(int comNumber);
  const TSerialDevice* Selected() const;
  void SelectionChanged();

  TPrompter& prompter_;
  TSerialRoots roots_;
  std::vector<TSerialDevice> devices_;
};

}  // namespace doz
