// The settings sheet's device list page: the registered and present removable
// devices with their hotkeys, and the commands that set, release and delete them.
// The rows live in DeviceListModel; the list view follows them.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <memory>
#include <optional>

#include "common/win32/PropertyPage.h"
#include "ui/DeviceListModel.h"
#include "ui/win32/SheetContext.h"

class DeviceTree;

class CPropPageList final : public win32::PropertyPage, private DeviceListObserver {
 public:
  explicit CPropPageList(const SheetContext& context);
  ~CPropPageList() override;

 protected:
  BOOL OnInitDialog() override;
  void OnApply() override;
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  struct ClassImages;

  void RowInserted(std::size_t row) override;
  void RowChanged(std::size_t row) override;
  void RowRemoved(std::size_t row) override;

  void InsertColumns();
  INT_PTR OnListNotify(NMHDR& header);
  // Hands `result` back to the list view as the notification's answer.
  INT_PTR Answer(LRESULT result);
  LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw) const;
  bool OnCommand(UINT id);
  void OnSetHotkey();
  void OnContextMenu(int item, POINT clientPoint);
  // Shift+F10 or the menu key on the list: the selected row's menu, below its name.
  bool OnKeyboardContextMenu(WPARAM window, LPARAM position);
  void OnDestroy();
  void UpdateButtons();
  void ShowRowState(std::size_t row);

  HWND List() const;
  // Null when SetupAPI gave no class image list: the rows then show no icons.
  const ClassImageList* Images() const;
  std::optional<std::size_t> SelectedRow() const;

  const SheetContext& m_context;
  std::unique_ptr<DeviceListModel> m_pModel;
  std::unique_ptr<DeviceTree> m_pDeviceTree;
  std::unique_ptr<Drives> m_pDriveStorage;
  std::unique_ptr<ClassImages> m_pClassImages;
  bool m_bDestroying = false;
};
