#include "resident/win32/EjectMenuSources.h"

#include <windows.h>
#include <process.h>

#include <memory>
#include <vector>

#include "common/WaitDeadline.h"
#include "common/win32/CriticalSection.h"
#include "common/win32/Handles.h"
#include "common/win32/SentMessageWait.h"
#include "devices/DeviceEnumeration.h"
#include "devices/UsbStoragePresence.h"
#include "drives/win32/KernelDrives.h"
#include "pnp/win32/DeviceTreeFactory.h"

namespace {

// The menu must open within 300 ms whatever the disks do: opening a volume and reading
// its label wake a sleeping disk, and a disk that never answers would hold the tray.
// The drives are read on a thread of their own and waited for this long; a menu opened
// before they all are read takes those read by then and offers the others.
constexpr DWORD kDrivesWaitMs = 200;

// Shared by the menu and the reading thread, which may outlive the menu's wait.
class DriveReading {
 public:
  void Publish(const std::vector<LabelledDrive>& drives) {
    const win32::CriticalSection::Hold hold(lock_);
    drives_ = drives;
  }

  std::vector<LabelledDrive> Published() {
    const win32::CriticalSection::Hold hold(lock_);
    return drives_;
  }

  const win32::UniqueHandle done{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};

 private:
  win32::CriticalSection lock_;
  std::vector<LabelledDrive> drives_;
};

unsigned __stdcall ReadDrives(void* param) {
  const std::unique_ptr<std::shared_ptr<DriveReading>> reading(
      static_cast<std::shared_ptr<DriveReading>*>(param));
  try {
    const std::unique_ptr<DeviceTree> tree = CreateDeviceTree();
    KernelDrives storage;
    ReadLabelledDrives(*tree, storage, [&](const std::vector<LabelledDrive>& drives) {
      (*reading)->Publish(drives);
    });
  } catch (...) {
    // What was published stands: each drive in it was read whole.
  }
  ::SetEvent((*reading)->done.get());
  return 0;
}

// Starts reading at once, so that the devices are enumerated meanwhile.
class DriveReader {
 public:
  DriveReader() : start_(::GetTickCount()) {
    if (!reading_->done) return;
    auto* reference = new std::shared_ptr<DriveReading>(reading_);
    thread_.reset(
        reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &ReadDrives, reference, 0, nullptr)));
    if (!thread_) delete reference;
  }

  // The drives read within kDrivesWaitMs of the start, with those found but not read yet.
  std::vector<LabelledDrive> Take() {
    if (!thread_) return {};
    const DWORD left = RemainingWaitMs(start_, ::GetTickCount(), kDrivesWaitMs);
    win32::WaitTakingSentMessages(reading_->done.get(), left);
    return reading_->Published();
  }

 private:
  const DWORD start_;
  const std::shared_ptr<DriveReading> reading_ = std::make_shared<DriveReading>();
  win32::UniqueHandle thread_;
};

}  // namespace

std::vector<EjectMenuItem> CurrentEjectMenu(const std::vector<tag_device_hotkey_info>& table,
                                            const ResidentContext& context) {
  DriveReader reader;
  const std::unique_ptr<DeviceTree> tree = CreateDeviceTree();
  KernelDrives storage;
  OfferedDevices offered(context.names);
  DeviceEnumeration(*tree, context.settings.m_nDeviceKind, context.names, nullptr, offered)
      .ListStorageFrom(&storage)
      .EnumerateDevices(false);
  const bool storagePresent =
      UsbMassStoragePresent(*tree, context.names, context.settings.m_aKeptOut);
  const std::vector<LabelledDrive> drives = reader.Take();
  const EjectMenuSources sources{table, offered, storagePresent, drives};
  return BuildEjectMenu(sources, context.names);
}
