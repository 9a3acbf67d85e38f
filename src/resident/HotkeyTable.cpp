#include "resident/HotkeyTable.h"

#include "common/Prompter.h"
#include "common/WinValues.h"
#include "hotkeys/HotkeyCode.h"
#include "hotkeys/HotkeyRegistrar.h"
#include "resources/resource.h"
#include "settings/RegistrationStore.h"

namespace {

bool Selected(const tag_device_hotkey_info& entry, std::uint32_t deviceKind) {
  return (entry.device_kind & deviceKind) != 0;
}

// An entry that acts only at a moment (it has no hotkey, or the system refused it) takes a
// slot after the last hotkey id, so that no WM_HOTKEY ever carries its index.
void PlaceMomentOnly(const tag_device_hotkey_info& entry, int& nextSlot, HotkeyTableHost& host) {
  const auto index = static_cast<std::size_t>(nextSlot++);
  if (host.table.size() <= index) host.table.resize(index + 1);
  host.table[index] = entry;
}

}  // namespace

void LoadRegistrations(const SettingsFile& file, std::uint32_t deviceKind,
                       const std::wstring& storageDesc, HotkeyTableHost& host) {
  StoredRegistrations stored = ReadRegistrations(file);
  std::vector<tag_device_hotkey_info> momentOnly;
  int nextId = 0;
  for (tag_device_hotkey_info& entry : stored.numbered) {
    if (!Selected(entry, deviceKind)) continue;
    entry.image = 0;
    entry.present = 0;
    // A refused registration still takes its id, so ids do not depend on what other
    // programs hold.
    const bool registered = entry.hotkey != 0 && RegisterDeviceHotkey(nextId++, entry, host);
    if (!registered && entry.eject_on != 0) momentOnly.push_back(entry);
  }

  // The storage entry is filtered by the kind it was stored with.
  if (stored.storage && Selected(*stored.storage, deviceKind)) {
    stored.storage->name = storageDesc;
    const bool registered =
        stored.storage->hotkey != 0 && RegisterDeviceHotkey(nextId++, *stored.storage, host);
    if (!registered && stored.storage->eject_on != 0) momentOnly.push_back(*stored.storage);
  }
  for (const tag_device_hotkey_info& entry : momentOnly) PlaceMomentOnly(entry, nextId, host);
}

bool RegisterDeviceHotkey(int id, const tag_device_hotkey_info& record, HotkeyTableHost& host) {
  if (id < 0) return false;
  const HotkeyModifiers combination = HotkeyToModifiers(record.hotkey, record.winkey != 0);
  if (!host.registrar.Register(id, combination.modifiers, combination.virtualKey)) {
    host.prompter.Show(IDS_HOTKEY_TAKEN_DEVICE, record.name, IDS_ERROR_CAPTION,
                       winvalues::kMbIconError | winvalues::kMbTopmost);
    return false;
  }
  const auto index = static_cast<std::size_t>(id);
  if (host.table.size() <= index) host.table.resize(index + 1);
  host.table[index] = record;
  return true;
}

void UnregisterAllHotkeys(HotkeyTableHost& host) {
  for (std::size_t i = 0; i < host.table.size(); ++i) {
    tag_device_hotkey_info& record = host.table[i];
    if (record.name.empty()) continue;
    host.registrar.Unregister(static_cast<int>(i));
    record.name.clear();
  }
}
