// What the fuzz targets share: raw input as the program's wide text, and a broken
// property reported loudly enough for libFuzzer to keep the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// UTF-8 when the bytes are well-formed UTF-8 (after an optional byte-order mark), else
// one character per byte, so that every input is some text and the seeds can be written
// in Japanese.
std::wstring WideTextFromBytes(const std::uint8_t* data, std::size_t size);

// Prints what did not hold and aborts; libFuzzer records the input as a crash.
[[noreturn]] void PropertyFailed(const char* property, std::wstring_view detail);

#define FUZZ_EXPECT(condition, detail)                      \
  do {                                                      \
    if (!(condition)) PropertyFailed(#condition, (detail)); \
  } while (false)
