#include "resident/HotkeyTable.h"

#include "common/Prompter.h"
#include "common/WinValues.h"
#include "hotkeys/HotkeyCode.h"
#include "hotkeys/HotkeyRegistrar.h"
#include "resources/resource.h"
#include "settings/RegistrationStore.h"

void LoadRegistrations(const SettingsFile& file, std::uint32_t deviceKind,
                       const std::wstring& storageDesc, HotkeyTableHost& host) {
  StoredRegistrations stored = ReadRegistrations(file);
  int nextId = 0;
  for (tag_device_hotkey_info& entry : stored.numbered) {
    if (entry.hotkey == 0 || (entry.device_kind & deviceKind) == 0) continue;
    entry.image = 0;
    entry.present = 0;
    // A refused registration still takes its id, so ids do not depend on what other
    // programs hold.
    RegisterDeviceHotkey(nextId++, entry, host);
  }

  // The storage entry is filtered by the kind it was stored with.
  if (!stored.storage || stored.storage->hotkey == 0) return;
  if ((stored.storage->device_kind & deviceKind) == 0) return;
  stored.storage->name = storageDesc;
  RegisterDeviceHotkey(nextId, *stored.storage, host);
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
