// The process-wide description that the running system gives a USB mass-storage
// device node, and whether the system is Vista or later.
#pragma once

#include <string>
#include <string_view>

inline constexpr std::wstring_view kStorageDescBeforeVista = L"USB 大容量記憶装置デバイス";
inline constexpr std::wstring_view kStorageDescVista = L"USB 大容量記憶装置";
inline constexpr std::wstring_view kAllStorageNameBeforeVista = L"すべての USB 大容量記憶装置デバイス";
inline constexpr std::wstring_view kAllStorageNameVista = L"すべての USB 大容量記憶装置";

extern std::wstring g_strStorageDesc;
extern bool g_bVistaOrLater;

// Sets both globals from the major version that GetVersionExW reports.
void SelectStorageDesc(unsigned majorVersion);

std::wstring_view StorageDescFor(unsigned majorVersion);
std::wstring_view AllStorageNameFor(unsigned majorVersion);
