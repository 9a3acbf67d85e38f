// What a folder window's document leads to: the folder view, its folder and the
// folder's own item, whose Path is the listed path; and the document of a web
// page, which is no folder view.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <string>

namespace shellstandin {

// Each hands a new object with one reference to `out`: S_OK, E_POINTER for a null
// `out`, E_OUTOFMEMORY (and null) when it cannot be made.
HRESULT NewFolderView(const std::wstring& path, IDispatch** out);
HRESULT NewWebDocument(IDispatch** out);

}  // namespace shellstandin
