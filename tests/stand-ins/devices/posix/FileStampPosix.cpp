// The Windows build takes StampOfFile from devices/win32 instead.
#if !defined(_WIN32)

#include <sys/stat.h>

#include "FileBytes.h"

std::optional<FileStamp> StampOfFile(const NativePath& file) {
  struct stat info {};
  if (::stat(file.c_str(), &info) != 0) return std::nullopt;
  return FileStamp{static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 +
                       info.st_mtim.tv_nsec,
                   static_cast<std::uint64_t>(info.st_size)};
}

#endif
