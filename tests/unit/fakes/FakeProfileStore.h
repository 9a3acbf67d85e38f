// In-memory settings file for unit tests. It follows the profile functions as Wine
// implements them: case-blind section and key names, quotes around a value stripped,
// values cut to 4095 characters, blanks at both ends of a value dropped (leading ones
// by the write, trailing ones when the file is read again), and
// GetPrivateProfileIntW's number parsing (an empty or missing value gives the default).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/ProfileStore.h"

class FakeProfileStore : public ProfileStore {
 public:
  struct ReadCall {
    std::wstring section;
    std::wstring key;
    bool operator==(const ReadCall&) const = default;
  };
  struct WriteCall {
    std::wstring section;
    std::optional<std::wstring> key;
    std::optional<std::wstring> value;
    bool operator==(const WriteCall&) const = default;
  };

  int ReadInt(std::wstring_view section, std::wstring_view key, int fallback) const override;
  std::wstring ReadString(std::wstring_view section, std::wstring_view key,
                          std::wstring_view fallback) const override;
  bool Write(std::wstring_view section, const std::optional<std::wstring>& key,
             const std::optional<std::wstring>& value) override;

  // Puts a value in place as if the file had been edited by hand; not logged.
  void Set(std::wstring_view section, std::wstring_view key, std::wstring_view value);
  // Puts one registration in place under `key` in all six of its sections.
  void StoreRegistration(const std::wstring& key, const std::wstring& name, std::uint32_t hotkey,
                         std::uint32_t kind = 1, int rejectTimes = 0, int winkey = 0,
                         int image = 0);
  // The value as it stands in the file, without the read-side rules.
  std::optional<std::wstring> Raw(std::wstring_view section, std::wstring_view key) const;
  bool HasSection(std::wstring_view section) const;
  // Section names in file order.
  std::vector<std::wstring> Sections() const;
  std::vector<std::wstring> Keys(std::wstring_view section) const;
  // The whole file as text, sections and keys in file order, one "\n" per line.
  std::wstring Text() const;

  // An unwritable file: every write fails and changes nothing.
  void SetWritable(bool writable) { writable_ = writable; }

  const std::vector<ReadCall>& reads() const { return reads_; }
  const std::vector<WriteCall>& writes() const { return writes_; }
  void ClearLog() {
    reads_.clear();
    writes_.clear();
  }

 private:
  struct Entry {
    std::wstring key;
    std::wstring value;
  };
  struct Section {
    std::wstring name;
    std::vector<Entry> entries;
  };

  const Section* FindSection(std::wstring_view name) const;
  Section* FindSection(std::wstring_view name);
  const Entry* FindEntry(std::wstring_view section, std::wstring_view key) const;
  void Put(std::wstring_view section, std::wstring_view key, std::wstring_view value);
  // What GetPrivateProfileStringW would hand back into a buffer of `bufferChars`.
  std::optional<std::wstring> Fetch(std::wstring_view section, std::wstring_view key,
                                    std::size_t bufferChars) const;

  std::vector<Section> sections_;
  bool writable_ = true;
  mutable std::vector<ReadCall> reads_;
  std::vector<WriteCall> writes_;
};
