#include "commandline/DeviceListJson.h"

#include "commandline/CommandLineListing.h"

namespace {

void AppendEscape(std::wstring& out, unsigned unit) {
  constexpr wchar_t kHex[] = L"0123456789abcdef";
  out += L"\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 0xF];
}

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// A character beyond the first plane: as its surrogate pair where wchar_t is 32 bits.
void AppendEscapedCharacter(std::wstring& out, char32_t c) {
  if (c > 0xFFFF) {
    AppendEscape(out, 0xD800 + ((c - 0x10000) >> 10));
    AppendEscape(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
  } else {
    AppendEscape(out, static_cast<unsigned>(c));
  }
}

std::wstring AsciiString(std::string_view text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

std::wstring JsonString(std::wstring_view text, bool asciiOnly) {
  std::wstring out = L"\"";
  for (const wchar_t unit : text) {
    const auto c = static_cast<char32_t>(unit);
    switch (c) {
      case U'"':
        out += L"\\\"";
        break;
      case U'\\':
        out += L"\\\\";
        break;
      case U'\b':
        out += L"\\b";
        break;
      case U'\f':
        out += L"\\f";
        break;
      case U'\n':
        out += L"\\n";
        break;
      case U'\r':
        out += L"\\r";
        break;
      case U'\t':
        out += L"\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7F || (asciiOnly && c > 0x7F) || IsSurrogate(c))
          AppendEscapedCharacter(out, c);
        else
          out += unit;
    }
  }
  return out + L"\"";
}

std::wstring FormatDevicesJson(const std::vector<ListedDevice>& devices, bool asciiOnly) {
  std::wstring text = L"[";
  for (std::size_t index = 0; index < devices.size(); ++index) {
    const ListedDevice& device = devices[index];
    text += index == 0 ? L"\r\n" : L",\r\n";
    text += L"{\"name\":" + JsonString(ListedName(device.name), asciiOnly);
    text += L",\"kind\":" + JsonString(AsciiString(device.kind), asciiOnly);
    std::wstring drives, labels;
    for (const ListedDrive& drive : device.drives) {
      drives += (drives.empty() ? L"" : L",") + JsonString(drive.path, asciiOnly);
      if (drive.label)
        labels += (labels.empty() ? L"" : L",") + JsonString(drive.path, asciiOnly) + L":" +
                  JsonString(*drive.label, asciiOnly);
    }
    text += L",\"drives\":[" + drives + L"],\"labels\":{" + labels + L"}";
    text += L",\"instanceId\":" +
            (device.instanceId.empty() ? L"null" : JsonString(device.instanceId, asciiOnly));
    text += device.present ? L",\"present\":true}" : L",\"present\":false}";
  }
  return text + L"\r\n]\r\n";
}
