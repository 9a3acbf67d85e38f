#include "ui/win32/PropPageList.h"

#include <setupapi.h>

#include <string>

#include "common/win32/Handles.h"
#include "common/win32/MessageBoxPrompter.h"
#include "common/win32/ResourceLanguage.h"
#include "common/win32/ResourceStrings.h"
#include "drives/win32/KernelDrives.h"
#include "pnp/DeviceTree.h"
#include "pnp/win32/DeviceTreeFactory.h"
#include "pnp/win32/SetupApi.h"
#include "resources/DeviceListIds.h"
#include "resources/resource.h"
#include "ui/win32/DialogHotkey.h"

namespace {

// Widths at 96 dots per inch; scaled by the screen's horizontal scale.
constexpr int kDeviceColumnWidth = 250;
constexpr int kHotkeyColumnWidth = 100;
constexpr int kCountColumnWidth = 45;

using RowRecord = tag_device_hotkey_info;

RowRecord* RecordOf(LPARAM itemData) { return reinterpret_cast<RowRecord*>(itemData); }

void SetSubItemText(HWND list, int item, int subItem, const std::wstring& text) {
  LVITEMW lvItem = {};
  lvItem.iSubItem = subItem;
  lvItem.pszText = const_cast<wchar_t*>(text.c_str());
  ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(&lvItem));
}

// Column 0: the name, marked when the device is kept out of the all-storage entry.
std::wstring DeviceColumnText(const DeviceListRow& shown) {
  if (!shown.keptOut) return shown.Text();
  return shown.Text() + win32::LoadResourceString(IDS_KEPT_OUT_MARK);
}

}  // namespace

// SetupAPI's class image list, held from the page's initialisation until its window
// is destroyed.
struct CPropPageList::ClassImages {
  SP_CLASSIMAGELIST_DATA data = {};
  bool valid = false;

  ClassImages() {
    data.cbSize = sizeof(data);
    const SetupApiFunctions& api = SetupApi();
    valid = api.getClassImageList != nullptr && api.destroyClassImageList != nullptr &&
            api.getClassImageList(&data) != FALSE;
  }
  ~ClassImages() {
    if (valid) SetupApi().destroyClassImageList(&data);
  }
  ClassImages(const ClassImages&) = delete;
  ClassImages& operator=(const ClassImages&) = delete;

  const ClassImageList* ForListing() const {
    return valid ? reinterpret_cast<const ClassImageList*>(&data) : nullptr;
  }
};

CPropPageList::CPropPageList(const SheetContext& context)
    : win32::PropertyPage(IDD_DEVICE_LIST), m_context(context) {}

CPropPageList::~CPropPageList() = default;

const ClassImageList* CPropPageList::Images() const {
  return m_pClassImages ? m_pClassImages->ForListing() : nullptr;
}

HWND CPropPageList::List() const { return ::GetDlgItem(hwnd(), IDC_DEVICE_LIST); }

std::optional<std::size_t> CPropPageList::SelectedRow() const {
  const auto item = static_cast<int>(
      ::SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (item < 0) return std::nullopt;
  return static_cast<std::size_t>(item);
}

BOOL CPropPageList::OnInitDialog() {
  const HWND list = List();
  ListView_SetExtendedListViewStyleEx(list, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  InsertColumns();

  m_pClassImages = std::make_unique<ClassImages>();
  if (m_pClassImages->valid) {
    ListView_SetImageList(list, m_pClassImages->data.ImageList, LVSIL_SMALL);
    ListView_SetImageList(list, m_pClassImages->data.ImageList, LVSIL_NORMAL);
  }

  m_pModel = std::make_unique<DeviceListModel>(m_context.names);
  m_pModel->SetObserver(this);
  m_pDeviceTree = CreateDeviceTree();
  m_pDriveStorage = std::make_unique<KernelDrives>();
  m_pModel->ListStorageFrom(m_pDriveStorage.get());
  m_pModel->Populate(*m_pDeviceTree, m_context.settings.m_nDeviceKind, Images(),
                     m_context.settingsFile);
  UpdateButtons();
  return TRUE;
}

void CPropPageList::InsertColumns() {
  struct Column {
    unsigned titleId;
    int width;
    int format;
  };
  static constexpr Column kColumns[] = {
      {IDS_COLUMN_DEVICE, kDeviceColumnWidth, LVCFMT_LEFT},
      {IDS_COLUMN_HOTKEY, kHotkeyColumnWidth, LVCFMT_LEFT},
      {IDS_COLUMN_COUNT, kCountColumnWidth, LVCFMT_RIGHT},
  };
  const double scale = m_context.scaleX;
  int index = 0;
  for (const Column& column : kColumns) {
    std::wstring title = win32::LoadResourceString(column.titleId);
    LVCOLUMNW lvColumn = {};
    lvColumn.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    lvColumn.fmt = column.format;
    lvColumn.cx = static_cast<int>(column.width * scale);
    lvColumn.pszText = title.data();
    lvColumn.iSubItem = index;
    ::SendMessageW(List(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&lvColumn));
    ++index;
  }
}

void CPropPageList::OnApply() {
  if (m_pModel) m_pModel->Save(m_context.settingsFile);
}

INT_PTR CPropPageList::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->idFrom != IDC_DEVICE_LIST) return FALSE;
      return OnListNotify(*header);
    }
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam)) ? TRUE : FALSE;
    case WM_CONTEXTMENU:
      return OnKeyboardContextMenu(wParam, lParam) ? TRUE : FALSE;
    case WM_DESTROY:
      OnDestroy();
      return FALSE;
    default:
      return FALSE;
  }
}

INT_PTR CPropPageList::OnListNotify(NMHDR& header) {
  // The list notifies as soon as rows are inserted, painted or selected, which keeps the
  // buttons in step with the selection without a rule of their own.
  UpdateButtons();
  switch (header.code) {
    case LVN_DELETEITEM:
      delete RecordOf(reinterpret_cast<NMLISTVIEW&>(header).lParam);
      return FALSE;
    case NM_CUSTOMDRAW:
      return Answer(OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header)));
    case NM_DBLCLK:
      if (reinterpret_cast<NMITEMACTIVATE&>(header).iItem >= 0) OnSetHotkey();
      return FALSE;
    case NM_RCLICK: {
      const auto& activate = reinterpret_cast<NMITEMACTIVATE&>(header);
      if (activate.iItem < 0) return FALSE;
      OnContextMenu(activate.iItem, activate.ptAction);
      return Answer(TRUE);  // no WM_CONTEXTMENU after the menu
    }
    default:
      return FALSE;
  }
}

INT_PTR CPropPageList::Answer(LRESULT result) {
  ::SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, result);
  return TRUE;
}

LRESULT CPropPageList::OnCustomDraw(NMLVCUSTOMDRAW& draw) const {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      const RowRecord* record = RecordOf(static_cast<LPARAM>(draw.nmcd.lItemlParam));
      if (record == nullptr || (record->present & 1) != 0) return CDRF_DODEFAULT;
      // The system's grey stays readable in high-contrast themes.
      draw.clrText = ::GetSysColor(COLOR_GRAYTEXT);
      return CDRF_NEWFONT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

bool CPropPageList::OnCommand(UINT id) {
  if (!m_pModel || m_bDestroying) return false;
  const std::optional<std::size_t> selected = SelectedRow();
  switch (id) {
    case IDC_DEVICE_LIST_UPDATE:
      m_pModel->UpdateDevices(*m_pDeviceTree, m_context.settings.m_nDeviceKind, Images());
      break;
    case IDC_DEVICE_LIST_SET:
      OnSetHotkey();
      break;
    case IDC_DEVICE_LIST_RELEASE:
      if (selected) m_pModel->ReleaseHotkey(*selected);
      break;
    case ID_DEVICE_LIST_DELETE:
      if (selected) m_pModel->DeleteRow(*selected);
      break;
    case ID_DEVICE_LIST_KEEP_OUT:
      if (selected) m_pModel->ToggleKeepOut(*selected);
      break;
    default:
      return false;
  }
  UpdateButtons();
  return true;
}

void CPropPageList::OnSetHotkey() {
  const std::optional<std::size_t> selected = SelectedRow();
  if (!m_pModel || !m_pModel->HasRow(selected)) return;
  const RowRecord record = m_pModel->RowRecord(*selected);

  CDialogHotkey dialog(m_context.mainWindow, m_context.helpPath);
  dialog.m_nHotkey = record.hotkey;
  dialog.m_bWinkey = record.winkey != 0;
  dialog.m_nEjectOn = record.eject_on;
  if (dialog.DoModal() != IDOK) return;

  MessageBoxPrompter prompter(::GetAncestor(hwnd(), GA_ROOT));
  if (m_pModel->SetHotkey(*selected, dialog.m_nHotkey, dialog.m_bWinkey, prompter) ==
      SetHotkeyResult::Stored)
    m_pModel->SetEjectMoments(*selected, dialog.m_nEjectOn);
  UpdateButtons();
}

void CPropPageList::OnContextMenu(int item, POINT clientPoint) {
  if (!m_pModel || !m_pModel->HasRow(static_cast<std::size_t>(item))) return;
  const win32::UniqueMenu menu(win32::LoadMenuResource(IDM_DEVICE_LIST_CONTEXT));
  if (!menu) return;
  const HMENU popup = ::GetSubMenu(menu.get(), 0);
  if (popup == nullptr) return;

  const DeviceListMenuGreying grey = m_pModel->MenuFor(static_cast<std::size_t>(item));
  ::EnableMenuItem(popup, IDC_DEVICE_LIST_RELEASE,
                   MF_BYCOMMAND | (grey.release ? MF_GRAYED : MF_ENABLED));
  ::EnableMenuItem(popup, ID_DEVICE_LIST_DELETE,
                   MF_BYCOMMAND | (grey.remove ? MF_GRAYED : MF_ENABLED));
  ::EnableMenuItem(popup, ID_DEVICE_LIST_KEEP_OUT,
                   MF_BYCOMMAND | (grey.keepOut ? MF_GRAYED : MF_ENABLED));
  ::CheckMenuItem(popup, ID_DEVICE_LIST_KEEP_OUT,
                  MF_BYCOMMAND | (grey.keptOut ? MF_CHECKED : MF_UNCHECKED));

  POINT screenPoint = clientPoint;
  ::ClientToScreen(List(), &screenPoint);
  ::SetForegroundWindow(hwnd());
  ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, screenPoint.x,
                   screenPoint.y, 0, hwnd(), nullptr);
}

bool CPropPageList::OnKeyboardContextMenu(WPARAM window, LPARAM position) {
  // A right click opened its menu on NM_RCLICK already; only the keyboard's position is -1.
  if (reinterpret_cast<HWND>(window) != List() || position != -1) return false;
  const std::optional<std::size_t> selected = SelectedRow();
  if (!selected) return false;
  RECT label = {};
  if (!ListView_GetItemRect(List(), static_cast<int>(*selected), &label, LVIR_LABEL)) return false;
  OnContextMenu(static_cast<int>(*selected), POINT{label.left, label.bottom});
  return true;
}

void CPropPageList::UpdateButtons() {
  if (m_bDestroying || !m_pModel) return;
  const DeviceListButtons buttons = m_pModel->ButtonsFor(SelectedRow());
  const auto enable = [this](int id, bool enabled) {
    ::EnableWindow(::GetDlgItem(hwnd(), id), enabled ? TRUE : FALSE);
  };
  enable(IDC_DEVICE_LIST_SET, buttons.set);
  enable(IDC_DEVICE_LIST_RELEASE, buttons.release);
  enable(ID_DEVICE_LIST_DELETE, buttons.remove);
  enable(IDC_DEVICE_LIST_UPDATE, buttons.update);
}

void CPropPageList::OnDestroy() {
  m_bDestroying = true;
  const HWND list = List();
  // The records go with the rows; deleting them here does not depend on how the list
  // view reports its own destruction.
  ListView_DeleteAllItems(list);
  if (m_pModel) m_pModel->SetObserver(nullptr);
  // The list view would destroy image lists it was given on its own destruction;
  // this one belongs to SetupAPI, which frees it below.
  ListView_SetImageList(list, nullptr, LVSIL_SMALL);
  ListView_SetImageList(list, nullptr, LVSIL_NORMAL);
  m_pClassImages.reset();
}

void CPropPageList::RowInserted(std::size_t row) {
  const DeviceListRow& shown = m_pModel->Row(row);
  const HWND list = List();
  auto record = std::make_unique<RowRecord>(shown.record);

  LVITEMW item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
  item.iItem = static_cast<int>(row);
  const std::wstring text = DeviceColumnText(shown);
  item.pszText = const_cast<wchar_t*>(text.c_str());
  item.iImage = shown.record.image;
  item.lParam = reinterpret_cast<LPARAM>(record.get());
  item.state = shown.IsPresent() ? 0 : LVIS_CUT;
  item.stateMask = LVIS_CUT;
  const auto inserted =
      static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (inserted < 0) return;
  record.release();  // owned by the row now; freed on LVN_DELETEITEM
  SetSubItemText(list, inserted, 1, shown.hotkeyText);
  SetSubItemText(list, inserted, 2, shown.countText);
}

void CPropPageList::RowChanged(std::size_t row) {
  const DeviceListRow& shown = m_pModel->Row(row);
  const HWND list = List();
  const auto item = static_cast<int>(row);

  LVITEMW lvItem = {};
  lvItem.mask = LVIF_PARAM;
  lvItem.iItem = item;
  if (::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&lvItem)) != FALSE) {
    if (RowRecord* record = RecordOf(lvItem.lParam)) *record = shown.record;
  }
  ShowRowState(row);
  SetSubItemText(list, item, 0, DeviceColumnText(shown));
  SetSubItemText(list, item, 1, shown.hotkeyText);
  SetSubItemText(list, item, 2, shown.countText);
}

void CPropPageList::ShowRowState(std::size_t row) {
  const UINT state = m_pModel->Row(row).IsPresent() ? 0 : LVIS_CUT;
  ListView_SetItemState(List(), static_cast<int>(row), state, LVIS_CUT);
}

void CPropPageList::RowRemoved(std::size_t row) {
  ListView_DeleteItem(List(), static_cast<int>(row));
}
