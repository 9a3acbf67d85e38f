#include "settings/win32/WholeProfileFile.h"

#include <string_view>

#include "common/win32/Handles.h"

namespace win32 {
namespace {

// A settings file is a few hundred kilobytes at the most; anything past this is no
// settings file, and is left alone rather than read into memory.
constexpr LONGLONG kMaxProfileBytes = 16LL * 1024 * 1024;

std::wstring Decode(std::string_view bytes) {
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
      text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                     static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
    }
    return text;
  }
  UINT codePage = CP_ACP;
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    codePage = CP_UTF8;
    bytes.remove_prefix(3);
  }
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  const int length = ::MultiByteToWideChar(codePage, 0, bytes.data(), size, text.data(), size);
  text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
  return text;
}

DWORD WriteAndFlush(const std::wstring& path, const std::wstring& text) {
  const UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return ::GetLastError();
  std::string bytes = "\xFF\xFE";
  for (const wchar_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>((c >> 8) & 0xFF);
  }
  DWORD written = 0;
  if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
    return ::GetLastError();
  if (written != bytes.size()) return ERROR_DISK_FULL;
  // On the disk before it takes the old file's name, or a power cut could leave the
  // name on a file whose data never arrived.
  if (!::FlushFileBuffers(file.get())) return ::GetLastError();
  return ERROR_SUCCESS;
}

}  // namespace

std::optional<std::wstring> ReadProfileText(const std::wstring& path, DWORD& error) {
  const UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return std::wstring();
    return std::nullopt;
  }
  LARGE_INTEGER size = {};
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxProfileBytes) {
    error = size.QuadPart > kMaxProfileBytes ? ERROR_FILE_TOO_LARGE : ::GetLastError();
    return std::nullopt;
  }
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() &&
      !::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
    error = ::GetLastError();
    return std::nullopt;
  }
  bytes.resize(read);
  return Decode(bytes);
}

DWORD ReplaceProfileText(const std::wstring& path, const std::wstring& text) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (!exists && ::GetLastError() != ERROR_FILE_NOT_FOUND) return ::GetLastError();
  // Replacing needs write access to the old file: the read-only mark is the user's word
  // that it stays as it is, which a rename over it would not ask.
  if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return ERROR_ACCESS_DENIED;

  // A fixed name: a save that was cut off leaves at most this one file, which the next
  // save overwrites.
  const std::wstring fresh = path + L".new";
  DWORD error = WriteAndFlush(fresh, text);
  constexpr DWORD kKept =
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  if (error == ERROR_SUCCESS && exists && (attributes & kKept) != 0 &&
      !::SetFileAttributesW(fresh.c_str(), attributes & kKept))
    error = ::GetLastError();
  // A rename over the old file, not ReplaceFileW: that one moves the old file aside
  // before the new one takes its name, and a reader or a power cut in between finds no
  // settings file at all. The new file keeps the folder's inherited security, as one the
  // profile functions create does.
  if (error == ERROR_SUCCESS)
    error = ::MoveFileExW(fresh.c_str(), path.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                ? ERROR_SUCCESS
                : ::GetLastError();
  if (error != ERROR_SUCCESS) ::DeleteFileW(fresh.c_str());
  return error;
}

}  // namespace win32
