// The settings-file seam for one file: reads through the system's profile functions,
// writes by putting a whole new file in the old one's place.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/win32/CriticalSection.h"
#include "settings/ProfileStore.h"

class PrivateProfileStore final : public ProfileStore {
 public:
  explicit PrivateProfileStore(std::wstring path) : path_(std::move(path)) {}

  const std::wstring& path() const { return path_; }
  void SetPath(std::wstring path) { path_ = std::move(path); }

  int ReadInt(std::wstring_view section, std::wstring_view key, int fallback) const override;
  std::wstring ReadString(std::wstring_view section, std::wstring_view key,
                          std::wstring_view fallback) const override;
  // Outside a save, a save of this one write.
  bool Write(std::wstring_view section, const std::optional<std::wstring>& key,
             const std::optional<std::wstring>& value) override;
  void BeginSave() override;
  std::uint32_t EndSave() override;

 private:
  struct PendingWrite {
    std::wstring section;
    std::optional<std::wstring> key;
    std::optional<std::wstring> value;
  };

  // Applies the pending writes to the file as it is now, and puts the result in place.
  std::uint32_t Commit();

  std::wstring path_;
  // The resident's removals write their counts on a thread of their own.
  win32::CriticalSection lock_;
  bool saving_ = false;
  std::vector<PendingWrite> pending_;
};
