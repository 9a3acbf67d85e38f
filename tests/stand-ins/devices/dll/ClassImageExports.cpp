// A class image list of the stand-in's own: one small picture for each setup class the
// tree knows, and image 0 for any other class, as the system keeps one for "Unknown".
#include <array>

#include "Exports.h"
#include "pnp/win32/Guids.h"
#include "SimulatedTreeFile.h"

namespace {

constexpr COLORREF kTransparent = RGB(255, 0, 255);

struct Picture {
  COLORREF fill;
  wchar_t mark;
};

// Image 0 is the unknown class; the rest follow the tree's known classes in order.
constexpr auto kPictures = std::to_array<Picture>({
    {RGB(128, 128, 128), L'?'},
    {RGB(0, 102, 204), L'U'},   // usb
    {RGB(204, 102, 0), L'P'},   // pcmcia
    {RGB(0, 153, 76), L'H'},    // hidclass
    {RGB(153, 0, 153), L'F'},   // 1394
    {RGB(0, 153, 153), L'N'},   // net
    {RGB(102, 51, 0), L'D'},    // diskdrive
    {RGB(204, 0, 0), L'V'},     // volume
    {RGB(76, 76, 153), L'M'},   // mouse
    {RGB(153, 153, 0), L'K'},   // keyboard
    {RGB(51, 102, 153), L'S'},  // scsiadapter
    {RGB(96, 96, 96), L'Y'},    // system
    {RGB(153, 76, 0), L'C'},    // cdrom
    {RGB(0, 102, 51), L'W'},    // wpd
    {RGB(102, 0, 204), L'R'},   // ports
    {RGB(204, 153, 0), L'T'},   // mtd
    {RGB(0, 51, 153), L'B'},    // sbp2
});
static_assert(kPictures.size() == kSimulatedKnownClassCount + 1,
              "one picture per known class, and the unknown one");

void DrawPicture(HDC dc, int size, const Picture& picture) {
  RECT all{0, 0, size, size};
  HBRUSH clear = ::CreateSolidBrush(kTransparent);
  ::FillRect(dc, &all, clear);
  ::DeleteObject(clear);
  HBRUSH fill = ::CreateSolidBrush(picture.fill);
  HGDIOBJ oldBrush = ::SelectObject(dc, fill);
  HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
  ::RoundRect(dc, 0, 0, size, size, size / 3, size / 3);
  ::SelectObject(dc, oldPen);
  ::SelectObject(dc, oldBrush);
  ::DeleteObject(fill);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, RGB(255, 255, 255));
  ::DrawTextW(dc, &picture.mark, 1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

HIMAGELIST MakeClassImages() {
  const int size = ::GetSystemMetrics(SM_CXSMICON);
  HIMAGELIST list = ::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK,
                                       static_cast<int>(kPictures.size()), 0);
  if (list == nullptr) return nullptr;
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HFONT font = ::CreateFontW(-(size * 3 / 4), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
  HGDIOBJ oldFont = ::SelectObject(dc, font);
  for (const Picture& picture : kPictures) {
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
    DrawPicture(dc, size, picture);
    ::SelectObject(dc, oldBitmap);
    ::ImageList_AddMasked(list, bitmap, kTransparent);
    ::DeleteObject(bitmap);
  }
  ::SelectObject(dc, oldFont);
  ::DeleteObject(font);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  return list;
}

bool ValidListData(const SP_CLASSIMAGELIST_DATA* data) {
  return data != nullptr && data->cbSize == sizeof(SP_CLASSIMAGELIST_DATA);
}

}  // namespace

STAND_IN_EXPORT BOOL WINAPI SetupDiGetClassImageList(PSP_CLASSIMAGELIST_DATA data) {
  if (!ValidListData(data)) {
    ::SetLastError(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  if (SimulatedClassImageCount() != static_cast<int>(kPictures.size())) {
    ::SetLastError(ERROR_GEN_FAILURE);  // the tree learnt a class and this file did not
    return FALSE;
  }
  HIMAGELIST list = MakeClassImages();
  if (list == nullptr) {
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  data->ImageList = list;
  data->Reserved = 0;
  ::SetLastError(ERROR_SUCCESS);
  return TRUE;
}

STAND_IN_EXPORT BOOL WINAPI SetupDiGetClassImageIndex(PSP_CLASSIMAGELIST_DATA data,
                                                      const GUID* classGuid, PINT index) {
  if (!ValidListData(data) || data->ImageList == nullptr) {
    ::SetLastError(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  if (classGuid == nullptr || index == nullptr) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // A class the list lacks gets the unknown class's image, and success.
  *index = SimulatedClassImage(FromGuid(*classGuid)).value_or(0);
  ::SetLastError(ERROR_SUCCESS);
  return TRUE;
}

STAND_IN_EXPORT BOOL WINAPI SetupDiDestroyClassImageList(PSP_CLASSIMAGELIST_DATA data) {
  if (!ValidListData(data)) {
    ::SetLastError(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  if (data->ImageList != nullptr) ::ImageList_Destroy(data->ImageList);
  data->ImageList = nullptr;
  ::SetLastError(ERROR_SUCCESS);
  return TRUE;
}
