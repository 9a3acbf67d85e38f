// Small accessors for the controls of the settings pages: check boxes and texts.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

inline bool IsChecked(HWND dialog, int id) {
  return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

inline void SetChecked(HWND dialog, int id, bool checked) {
  ::CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

inline void EnableControl(HWND dialog, int id, bool enabled) {
  ::EnableWindow(::GetDlgItem(dialog, id), enabled ? TRUE : FALSE);
}

// The whole text, however long: the edit boxes of the pages set no length limit.
inline std::wstring ControlText(HWND dialog, int id) {
  const HWND control = ::GetDlgItem(dialog, id);
  const int length = ::GetWindowTextLengthW(control);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(control, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

}  // namespace ui
