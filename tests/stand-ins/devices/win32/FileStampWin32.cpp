#include <windows.h>

#include "FileBytes.h"

std::optional<FileStamp> StampOfFile(const NativePath& file) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!::GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  const auto join = [](DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
  };
  return FileStamp{
      static_cast<std::int64_t>(join(data.ftLastWriteTime.dwHighDateTime,
                                     data.ftLastWriteTime.dwLowDateTime)),
      join(data.nFileSizeHigh, data.nFileSizeLow)};
}
