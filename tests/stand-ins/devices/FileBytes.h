// The simulated tree's file access on the C library and the system's own calls:
// std::filesystem would bring the stream library's locale machinery into the
// program file, for two small files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A path as the system spells it: UTF-16 on Windows, bytes elsewhere.
#ifdef _WIN32
using NativePath = std::wstring;
#else
using NativePath = std::string;
#endif

// What tells one version of a file from the next.
struct FileStamp {
  std::int64_t modified = 0;  // in the system's finest unit
  std::uint64_t size = 0;
  bool operator==(const FileStamp&) const = default;
};

// Nothing when the file cannot be looked at.
std::optional<FileStamp> StampOfFile(const NativePath& file);
std::optional<std::string> ReadFileBytes(const NativePath& file);
// Appends and flushes at once, so that a reader sees every line as it happens.
bool AppendFileBytes(const NativePath& file, std::string_view bytes);
// Writes the file anew with `bytes`.
bool ReplaceFileBytes(const NativePath& file, std::string_view bytes);
// The path in UTF-8, for messages.
std::string PathText(const NativePath& file);
