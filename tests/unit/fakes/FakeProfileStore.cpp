#include "fakes/FakeProfileStore.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "settings/LetterEncoding.h"

namespace {

// GetPrivateProfileIntW reads the value into a buffer of this many characters first.
constexpr std::size_t kIntBufferChars = 30;

wchar_t Fold(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; }

bool SameName(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return Fold(x) == Fold(y); });
}

bool IsProfileBlank(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r' ||
         c == 0x1A;
}

// Wine's RtlUnicodeStringToInteger with base 0: blanks, a sign, an optional "0x",
// "0o" or "0b", then digits while they fit the base; the low 32 bits are kept.
int ParseProfileInt(std::wstring_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] <= L' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  std::uint32_t base = 10;
  if (i + 1 < text.size() && text[i] == L'0') {
    switch (text[i + 1]) {
      case L'x': base = 16; i += 2; break;
      case L'o': base = 8; i += 2; break;
      case L'b': base = 2; i += 2; break;
      default: break;
    }
  }
  std::uint32_t total = 0;
  for (; i < text.size(); ++i) {
    const wchar_t c = text[i];
    std::uint32_t digit = 99;
    if (c >= L'0' && c <= L'9') digit = static_cast<std::uint32_t>(c - L'0');
    else if (c >= L'A' && c <= L'Z') digit = static_cast<std::uint32_t>(c - L'A' + 10);
    else if (c >= L'a' && c <= L'z') digit = static_cast<std::uint32_t>(c - L'a' + 10);
    if (digit >= base) break;
    total = total * base + digit;
  }
  if (negative) total = 0u - total;
  return static_cast<int>(total);
}

}  // namespace

const FakeProfileStore::Section* FakeProfileStore::FindSection(std::wstring_view name) const {
  for (const Section& section : sections_) {
    if (SameName(section.name, name)) return &section;
  }
  return nullptr;
}

FakeProfileStore::Section* FakeProfileStore::FindSection(std::wstring_view name) {
  return const_cast<Section*>(std::as_const(*this).FindSection(name));
}

const FakeProfileStore::Entry* FakeProfileStore::FindEntry(std::wstring_view section,
                                                           std::wstring_view key) const {
  const Section* found = FindSection(section);
  if (!found) return nullptr;
  for (const Entry& entry : found->entries) {
    if (SameName(entry.key, key)) return &entry;
  }
  return nullptr;
}

std::optional<std::wstring> FakeProfileStore::Fetch(std::wstring_view section,
                                                    std::wstring_view key,
                                                    std::size_t bufferChars) const {
  reads_.push_back({std::wstring(section), std::wstring(key)});
  const Entry* entry = FindEntry(section, key);
  if (!entry) return std::nullopt;
  std::wstring_view value = entry->value;
  if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::wstring(value.substr(0, bufferChars - 1));
}

int FakeProfileStore::ReadInt(std::wstring_view section, std::wstring_view key,
                              int fallback) const {
  const std::optional<std::wstring> text = Fetch(section, key, kIntBufferChars);
  if (!text || text->empty()) return fallback;
  return ParseProfileInt(*text);
}

std::wstring FakeProfileStore::ReadString(std::wstring_view section, std::wstring_view key,
                                          std::wstring_view fallback) const {
  if (std::optional<std::wstring> text = Fetch(section, key, kProfileStringBufferChars)) {
    return *text;
  }
  return std::wstring(fallback.substr(0, kProfileStringBufferChars - 1));
}

void FakeProfileStore::Put(std::wstring_view section, std::wstring_view key,
                           std::wstring_view value) {
  // The write drops leading blanks; the next reading of the file drops trailing ones.
  while (!value.empty() && IsProfileBlank(value.front())) value.remove_prefix(1);
  while (!value.empty() && IsProfileBlank(value.back())) value.remove_suffix(1);
  Section* found = FindSection(section);
  if (!found) found = &sections_.emplace_back(Section{std::wstring(section), {}});
  for (Entry& entry : found->entries) {
    if (SameName(entry.key, key)) {
      entry.value = value;
      return;
    }
  }
  found->entries.push_back({std::wstring(key), std::wstring(value)});
}

bool FakeProfileStore::Write(std::wstring_view section, const std::optional<std::wstring>& key,
                             const std::optional<std::wstring>& value) {
  writes_.push_back({std::wstring(section), key, value});
  if (!writable_) return false;
  if (!key) {
    std::erase_if(sections_, [&](const Section& s) { return SameName(s.name, section); });
  } else if (!value) {
    if (Section* found = FindSection(section)) {
      std::erase_if(found->entries, [&](const Entry& e) { return SameName(e.key, *key); });
    }
  } else {
    Put(section, *key, *value);
  }
  return true;
}

void FakeProfileStore::Set(std::wstring_view section, std::wstring_view key,
                           std::wstring_view value) {
  Put(section, key, value);
}

std::optional<std::wstring> FakeProfileStore::Raw(std::wstring_view section,
                                                  std::wstring_view key) const {
  const Entry* entry = FindEntry(section, key);
  if (!entry) return std::nullopt;
  return entry->value;
}

bool FakeProfileStore::HasSection(std::wstring_view section) const {
  return FindSection(section) != nullptr;
}

std::vector<std::wstring> FakeProfileStore::Sections() const {
  std::vector<std::wstring> names;
  for (const Section& section : sections_) names.push_back(section.name);
  return names;
}

std::vector<std::wstring> FakeProfileStore::Keys(std::wstring_view section) const {
  std::vector<std::wstring> keys;
  if (const Section* found = FindSection(section)) {
    for (const Entry& entry : found->entries) keys.push_back(entry.key);
  }
  return keys;
}

std::wstring FakeProfileStore::Text() const {
  std::wstring text;
  for (const Section& section : sections_) {
    text += L"[" + section.name + L"]\n";
    for (const Entry& entry : section.entries) text += entry.key + L"=" + entry.value + L"\n";
  }
  return text;
}

void FakeProfileStore::StoreRegistration(const std::wstring& key, const std::wstring& name,
                                         std::uint32_t hotkey, std::uint32_t kind, int rejectTimes,
                                         int winkey, int image) {
  Set(L"NAME", key, name);
  Set(L"HOTKEY", key, EncodeLetters(BlockFromHotkeyCode(hotkey)));
  Set(L"WINKEY", key, std::to_wstring(winkey));
  Set(L"IMAGE", key, std::to_wstring(image));
  Set(L"DEVICE_KIND", key, std::to_wstring(kind));
  Set(L"REJECT_TIMES", key, std::to_wstring(rejectTimes));
}
