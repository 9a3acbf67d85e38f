// The settings file through the settings sheet: whatever file a user left, opening the
// sheet and pressing OK gives a file that opening and OK again leave exactly as it is,
// and every registration and setting the sheet showed is still in it.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "FuzzSupport.h"
#include "IniText.h"
#include "SimulatedDeviceTree.h"
#include "common/AsciiCase.h"
#include "fakes/FakeProfileStore.h"
#include "fakes/RecordingPrompter.h"
#include "pnp/SystemNames.h"
#include "settings/ProfileDocument.h"
#include "settings/RegistrationStore.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsRecord.h"
#include "ui/DeviceListModel.h"
#include "ui/DeviceListRegistrations.h"
#include "ui/DisplaySettingsModel.h"
#include "ui/OptionsModel.h"

namespace {

// What the sheet depends on in the system: the storage description and all-storage
// name, whether the removal-window box is offered, and the shortcut's existence.
// Windows 2000 and Vista differ in all of them.
struct System {
  unsigned majorVersion;
  bool xpOrLater;
  bool shortcutExists;
};
constexpr System kSystems[] = {{5, false, false}, {6, true, true}};

constexpr wchar_t kShortcutPath[] = L"C:\\Startup\\Tollevane.lnk";

class FixedShortcut final : public ShortcutFiles {
 public:
  explicit FixedShortcut(bool exists) : exists_(exists) {}
  bool Exists(const std::wstring&) override { return exists_; }
  winvalues::HResult Create(const std::wstring&) override {
    exists_ = true;
    return winvalues::kSOk;
  }
  bool Delete(const std::wstring&) override {
    exists_ = false;
    return true;
  }

 private:
  bool exists_;
};

// Every registration the file holds where the readers look, whatever its kind.
class EveryStoredRow final : public RegistrationRows {
 public:
  explicit EveryStoredRow(std::wstring allStorageName)
      : allStorageName_(std::move(allStorageName)) {}
  const std::wstring& AllStorageName() const override { return allStorageName_; }
  int AddOrUpdateRow(const tag_device_hotkey_info& record, bool) override {
    records.push_back(record);
    return static_cast<int>(records.size() - 1);
  }
  std::size_t RowCount() const override { return records.size(); }
  std::wstring RowText(std::size_t row) const override { return records.at(row).name; }
  tag_device_hotkey_info RowRecord(std::size_t row) const override { return records.at(row); }
  std::int32_t RowImage(std::size_t row) const override { return records.at(row).image; }

  std::vector<tag_device_hotkey_info> records;

 private:
  std::wstring allStorageName_;
};

struct SheetSession {
  SettingsRecord record;
  std::vector<tag_device_hotkey_info> rows;
};

// The main window's load of the settings, the pages' opening (no device plugged in),
// then OK, which applies the pages in their order.
SheetSession OpenSheetAndPressOk(SettingsFile& file, const System& system) {
  SheetSession session;
  const SystemNames names = SystemNamesFor(system.majorVersion);
  LoadSettings(file, false, names.vistaOrLater, session.record);
  SimulatedDeviceTree noDevices(EmptySimulatedTree());
  DeviceListModel list(names);
  list.Populate(noDevices, session.record.m_nDeviceKind, nullptr, file);
  const DisplayPageStart display = DisplayPageFromRecord(session.record, system.xpOrLater);
  FixedShortcut shortcut(system.shortcutExists);
  const OptionsPageStart options = OptionsPageFromRecord(session.record, kShortcutPath, shortcut);

  list.Save(file);
  ApplyDisplaySettings(file, display.boxes, system.xpOrLater, session.record.m_nRemoveWindowTime);
  RecordingPrompter prompter;
  ApplyOptions(file, shortcut, prompter, kShortcutPath, options.boxes,
               session.record.m_nCloseExplorerSleep);
  for (std::size_t row = 0; row < list.RowCount(); ++row)
    session.rows.push_back(list.RowRecord(row));
  return session;
}

bool SameRegistration(const tag_device_hotkey_info& a, const tag_device_hotkey_info& b) {
  return a.name == b.name && a.hotkey == b.hotkey && a.winkey == b.winkey &&
         a.device_kind == b.device_kind && a.reject_times == b.reject_times;
}

void ExpectRowsStored(const std::vector<tag_device_hotkey_info>& rows, const SettingsFile& file,
                      const std::wstring& allStorageName) {
  EveryStoredRow stored(allStorageName);
  LoadRegistrationsToList(file, ~0u, stored);
  for (const tag_device_hotkey_info& row : rows) {
    bool found = false;
    for (const tag_device_hotkey_info& entry : stored.records)
      found = found || SameRegistration(row, entry);
    FUZZ_EXPECT(found, row.name);
  }
}

// The second load sees what the pages wrote: booleans as 0 or 1, the kinds the display
// page stores, the removal-window flag only where the page offers it.
void ExpectSettingsStored(const SettingsRecord& shown, const SettingsRecord& reread,
                          const System& system) {
  const auto sameTruth = [](std::int32_t a, std::int32_t b) { return (a != 0) == (b != 0); };
  FUZZ_EXPECT(sameTruth(reread.m_bDispRejectErr, shown.m_bDispRejectErr), L"DISP_REJECT_ERR");
  FUZZ_EXPECT(reread.m_nDeviceKind == (shown.m_nDeviceKind & kStoredDeviceKinds), L"DEVICE_KIND");
  FUZZ_EXPECT(sameTruth(reread.m_bRemoveWindow, !system.xpOrLater && shown.m_bRemoveWindow != 0),
              L"REMOVE_WINDOW");
  FUZZ_EXPECT(sameTruth(reread.m_bDispMessage, shown.m_bDispMessage), L"DISP_MESSAGE");
  FUZZ_EXPECT(reread.m_nRemoveWindowTime == shown.m_nRemoveWindowTime, L"REMOVE_WINDOW_TIME");
  FUZZ_EXPECT(sameTruth(reread.m_bStartup, system.shortcutExists), L"STARTUP");
  FUZZ_EXPECT(sameTruth(reread.m_bCloseExplorer, shown.m_bCloseExplorer), L"CLOSE_EXPLORER");
  FUZZ_EXPECT(reread.m_strCloseExplorerDrive == shown.m_strCloseExplorerDrive,
              reread.m_strCloseExplorerDrive);
  FUZZ_EXPECT(reread.m_nCloseExplorerSleep == shown.m_nCloseExplorerSleep, L"CLOSE_EXPLORER_SLEEP");
}

// The file as the profile functions read it. A save deletes the registration sections
// and writes them anew, and a section written anew goes to the end of the file, so the
// order of the sections may change once; nothing reads that order.
std::wstring ProfileContents(const FakeProfileStore& store) {
  std::vector<std::wstring> sections = store.Sections();
  std::sort(sections.begin(), sections.end());
  std::wstring contents;
  for (const std::wstring& section : sections) {
    contents += L"[" + section + L"]\n";
    for (const std::wstring& key : store.Keys(section))
      contents += key + L"=" + store.Raw(section, key).value_or(L"") + L"\n";
  }
  return contents;
}

// The readers stop at 256, so a save must never number an entry beyond it.
void ExpectNoEntryOutOfReach(const FakeProfileStore& store) {
  for (const std::wstring& key : store.Keys(L"NAME")) {
    if (key == kStorageKey) continue;
    FUZZ_EXPECT(key.size() == 3 && key <= RegistrationKey(kMaxRegistrationNumber), key);
  }
}

// What a reader finds: every section's keys and values, names in one case, in no order.
std::set<std::wstring> ReadableEntries(const FakeProfileStore& store) {
  const auto upper = [](std::wstring name) {
    for (wchar_t& c : name) c = UpperAscii(c);
    return name;
  };
  std::set<std::wstring> entries;
  for (const std::wstring& section : store.Sections()) {
    for (const std::wstring& key : store.Keys(section))
      entries.insert(upper(section) + L"]" + upper(key) + L"=" +
                     store.Raw(section, key).value_or(L""));
  }
  return entries;
}

// The file a save puts in place is the old text with the save's writes applied line by
// line; read back, it must hold what the profile functions would have left.
void ExpectDocumentHolds(const std::wstring& text, const FakeProfileStore& store) {
  ProfileDocument document(text);
  for (const FakeProfileStore::WriteCall& write : store.writes())
    document.Write(write.section, write.key, write.value);
  FakeProfileStore reread;
  LoadIniText(document.Text(), reread);
  FUZZ_EXPECT(ReadableEntries(reread) == ReadableEntries(store), document.Text());
}

void RoundTrip(const std::wstring& text, const System& system) {
  FakeProfileStore store;
  LoadIniText(text, store);
  SettingsFile file(store);

  const SheetSession first = OpenSheetAndPressOk(file, system);
  std::wstring saved = ProfileContents(store);
  ExpectDocumentHolds(text, store);
  ExpectRowsStored(first.rows, file, SystemNamesFor(system.majorVersion).allStorageName);
  ExpectNoEntryOutOfReach(store);

  SheetSession again = OpenSheetAndPressOk(file, system);
  ExpectSettingsStored(first.record, again.record, system);
  // Kind bits that no box stands for (the hub bit, foreign bits) are dropped by the first
  // OK; registrations listed under them are then hidden and move behind the listed ones,
  // which renumbers them once. From there on the file must stand still.
  if (first.record.m_nDeviceKind != (first.record.m_nDeviceKind & kStoredDeviceKinds)) {
    saved = ProfileContents(store);
    again = OpenSheetAndPressOk(file, system);
  }
  const std::wstring savedAgain = ProfileContents(store);
  FUZZ_EXPECT(savedAgain == saved, saved + L"--- became ---\n" + savedAgain);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring text = WideTextFromBytes(data, size);
  for (const System& system : kSystems) RoundTrip(text, system);
  return 0;
}
