#include "FileBytes.h"

#include <cstdio>
#include <memory>

#include "Utf8Text.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

UniqueFile Open(const NativePath& file, const char* mode) {
#ifdef _WIN32
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return UniqueFile(_wfopen(file.c_str(), wideMode.c_str()));
#else
  return UniqueFile(std::fopen(file.c_str(), mode));
#endif
}

}  // namespace

std::optional<std::string> ReadFileBytes(const NativePath& file) {
  const UniqueFile in = Open(file, "rb");
  if (!in) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, in.get())) > 0) bytes.append(buffer, got);
  if (std::ferror(in.get())) return std::nullopt;
  return bytes;
}

namespace {

bool WriteWith(const NativePath& file, const char* mode, std::string_view bytes) {
  const UniqueFile out = Open(file, mode);
  if (!out) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out.get()) == bytes.size();
  return std::fflush(out.get()) == 0 && written;
}

}  // namespace

bool AppendFileBytes(const NativePath& file, std::string_view bytes) {
  return WriteWith(file, "ab", bytes);
}

bool ReplaceFileBytes(const NativePath& file, std::string_view bytes) {
  return WriteWith(file, "wb", bytes);
}

std::string PathText(const NativePath& file) {
#ifdef _WIN32
  return EncodeUtf8(file);
#else
  return file;
#endif
}
