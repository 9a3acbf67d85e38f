#include "resident/EjectMenu.h"

#include <algorithm>

#include "hotkeys/HotkeyCode.h"
#include "pnp/DeviceNames.h"
#include "settings/RegistrationStore.h"
#include "settings/SettingsRecord.h"

namespace {

std::wstring MenuSafe(const std::wstring& text) {
  std::wstring safe;
  for (const wchar_t c : text) {
    if (c == L'&') safe += L'&';
    safe += c == L'\t' ? L' ' : c;
  }
  return safe;
}

bool IsStorageRegistration(const tag_device_hotkey_info& record) {
  return record.key == kStorageKey;
}

class MenuBuilder {
 public:
  MenuBuilder(const EjectMenuSources& sources, const SystemNames& names)
      : sources_(sources), names_(names) {}

  std::vector<EjectMenuItem> Build() {
    for (std::size_t i = 0; i < sources_.table.size(); ++i) AddRegistered(i);
    if (!storageShown_ && sources_.usbMassStoragePresent && AllStorageOffered())
      items_.push_back({MenuSafe(names_.allStorageLabel), {std::nullopt, names_.storageDesc}});
    for (std::size_t i = 0; i < sources_.offered.Count(); ++i) AddOffered(i);
    return std::move(items_);
  }

 private:
  void AddRegistered(std::size_t index) {
    const tag_device_hotkey_info& record = sources_.table[index];
    if (record.name.empty()) return;
    std::wstring text;
    if (IsStorageRegistration(record)) {
      if (storageShown_ || !sources_.usbMassStoragePresent) return;
      storageShown_ = true;
      text = MenuSafe(names_.allStorageLabel);
    } else {
      if (!OfferedByName(record.name) || Shown(record.name) || EmptySlot(record)) return;
      text = EjectItemText(record.name, sources_.drives);
    }
    // A registration that acts only at a moment (sleep, lock) has no key to show.
    if (record.hotkey != 0)
      text += L'\t' + HotkeyToText(record.hotkey, record.winkey != 0, names_.language);
    items_.push_back({std::move(text), {index, record.name}});
  }

  void AddOffered(std::size_t index) {
    if (sources_.offered.IsAllStorageEntry(index)) return;
    const std::wstring& name = sources_.offered.At(index).name;
    if (Shown(name) || EmptySlot(sources_.offered.At(index))) return;
    items_.push_back({EjectItemText(name, sources_.drives), {std::nullopt, name}});
  }

  // Taking out a card that is not there would only end in the failure message. A slot
  // not read in time, or that cannot tell, is offered: its removal says when it is empty.
  bool EmptySlot(const tag_device_hotkey_info& record) const {
    if (record.device_kind != kKindCard) return false;
    bool read = false;
    for (const LabelledDrive& drive : sources_.drives) {
      if (!drive.drive.CarriedBy(record.name)) continue;
      if (drive.mediumPresent.value_or(true)) return false;
      read = true;
    }
    return read;
  }

  bool OfferedByName(const std::wstring& name) const {
    for (std::size_t i = 0; i < sources_.offered.Count(); ++i)
      if (!sources_.offered.IsAllStorageEntry(i) &&
          DeviceNamesEqual(sources_.offered.At(i).name, name))
        return true;
    return false;
  }

  bool AllStorageOffered() const {
    for (std::size_t i = 0; i < sources_.offered.Count(); ++i)
      if (sources_.offered.IsAllStorageEntry(i)) return true;
    return false;
  }

  // One item per device: a registration and the offered device it names are the same
  // device, and two registrations of one name would eject it twice over.
  bool Shown(const std::wstring& name) const {
    return std::any_of(items_.begin(), items_.end(), [&](const EjectMenuItem& item) {
      return !IsStorageChoice(item.choice) && DeviceNamesEqual(item.choice.name, name);
    });
  }

  bool IsStorageChoice(const EjectChoice& choice) const {
    return choice.name == names_.storageDesc;
  }

  const EjectMenuSources& sources_;
  const SystemNames& names_;
  std::vector<EjectMenuItem> items_;
  bool storageShown_ = false;
};

}  // namespace

std::vector<EjectMenuItem> BuildEjectMenu(const EjectMenuSources& sources,
                                          const SystemNames& names) {
  return MenuBuilder(sources, names).Build();
}

std::wstring EjectItemText(const std::wstring& name, const std::vector<LabelledDrive>& drives) {
  std::wstring letters;
  for (const LabelledDrive& drive : drives) {
    if (!drive.drive.CarriedBy(name)) continue;
    if (!letters.empty()) letters += L", ";
    letters += drive.drive.letter;
    letters += L':';
    if (!drive.label.empty()) letters += L' ' + drive.label;
  }
  std::wstring text = name;
  if (!letters.empty()) text += L" (" + letters + L")";
  return MenuSafe(text);
}

void ReadLabelledDrives(DeviceTree& tree, Drives& storage,
                        const std::function<void(const std::vector<LabelledDrive>&)>& publish) {
  std::vector<LabelledDrive> drives;
  for (DeviceLetter& drive : FindDeviceLetters(tree, storage))
    drives.push_back({std::move(drive), std::wstring()});
  publish(drives);
  for (LabelledDrive& drive : drives) {
    // A medium that Windows cannot read (RAW) is there all the same: its presence is
    // asked of the drive, and the label only names it.
    const wchar_t letter = drive.drive.letter;
    const std::optional<bool> present = storage.MediumPresent(letter);
    if (present.value_or(true)) drive.label = storage.VolumeLabel(letter).value_or(std::wstring());
    drive.mediumPresent = present;
    publish(drives);
  }
}
