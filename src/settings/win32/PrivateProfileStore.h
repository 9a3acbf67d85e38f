// The settings-file seam on the system's profile functions, for one file.
#pragma once

#include <string>

#include "settings/ProfileStore.h"

class PrivateProfileStore final : public ProfileStore {
 public:
  explicit PrivateProfileStore(std::wstring path) : path_(std::move(path)) {}

  const std::wstring& path() const { return path_; }
  void SetPath(std::wstring path) { path_ = std::move(path); }

  int ReadInt(std::wstring_view section, std::wstring_view key, int fallback) const override;
  std::wstring ReadString(std::wstring_view section, std::wstring_view key,
                          std::wstring_view fallback) const override;
  bool Write(std::wstring_view section, const std::optional<std::wstring>& key,
             const std::optional<std::wstring>& value) override;

 private:
  std::wstring path_;
};
