#include "common/win32/ResourceLanguage.h"

#include <atomic>
#include <cstring>

#include "common/win32/SystemLibrary.h"
#include "common/win32/WindowsVersion.h"

namespace win32 {

namespace {

// Set by the user-interface thread while no worker runs; read by the worker as well.
std::atomic<UiLanguage> g_resourceLanguage{UiLanguage::Japanese};

using SetThreadUILanguageFn = LANGID(WINAPI*)(LANGID);
using GetUserDefaultUILanguageFn = LANGID(WINAPI*)();

// Looked up, not imported (Kernel32Function): Windows 2000 has no SetThreadUILanguage.

// Windows before Vista accept only 0 here, which picks a console language, not ours.
void SetThreadLanguage(UiLanguage language) {
  if (!QueryWindowsVersion().IsVistaOrLater()) return;
  const auto set = Kernel32Function<SetThreadUILanguageFn>("SetThreadUILanguage");
  if (set != nullptr) set(ResourceLanguageId(language));
}

// The chosen language's resource, else the Japanese one every id has.
HRSRC FindLocalized(LPCWSTR type, LPCWSTR name) {
  HMODULE module = ::GetModuleHandleW(nullptr);
  const WORD chosen = ResourceLanguageId(g_resourceLanguage.load());
  if (HRSRC found = ::FindResourceExW(module, type, name, chosen)) return found;
  return ::FindResourceExW(module, type, name, ResourceLanguageId(UiLanguage::Japanese));
}

const void* LockFound(HRSRC found, DWORD* size) {
  if (found == nullptr) return nullptr;
  HGLOBAL loaded = ::LoadResource(::GetModuleHandleW(nullptr), found);
  if (loaded == nullptr) return nullptr;
  if (size != nullptr) *size = ::SizeofResource(::GetModuleHandleW(nullptr), found);
  return ::LockResource(loaded);
}

}  // namespace

void UseResourceLanguage(UiLanguage language) {
  g_resourceLanguage.store(language);
  SetThreadLanguage(language);
}

UiLanguage CurrentResourceLanguage() { return g_resourceLanguage.load(); }

void ApplyResourceLanguageToThread() { SetThreadLanguage(g_resourceLanguage.load()); }

LANGID UserUiLanguage() {
  const auto get = Kernel32Function<GetUserDefaultUILanguageFn>("GetUserDefaultUILanguage");
  return get != nullptr ? get() : 0;
}

std::vector<std::byte> DialogTemplate(unsigned id) {
  DWORD size = 0;
  const void* data = LockFound(FindLocalized(RT_DIALOG, MAKEINTRESOURCEW(id)), &size);
  if (data == nullptr) return {};
  std::vector<std::byte> copy(size);
  std::memcpy(copy.data(), data, size);
  return copy;
}

HMENU LoadMenuResource(unsigned id) {
  const void* data = LockFound(FindLocalized(RT_MENU, MAKEINTRESOURCEW(id)), nullptr);
  return data != nullptr ? ::LoadMenuIndirectW(data) : nullptr;
}

}  // namespace win32
