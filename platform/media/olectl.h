// The property frame: a modal dialog that shows the property pages of a set of objects, one
// tab per page, with OK, Cancel and Apply. An application asks an object for its pages with
// ISpecifyPropertyPages::GetPages and passes them here.
//
//   CAUUID pages{};
//   if (pages_of->GetPages(&pages) == S_OK) {
//       IUnknown* object = pages_of;
//       OleCreatePropertyFrame(owner, 0, 0, u"Filter", 1, &object, pages.cElems,
//                              pages.pElems, 0, 0, nullptr);
//       CoTaskMemFree(pages.pElems);
//   }
//
// Results: S_OK once the user has closed the frame (OK applies the changed pages, Cancel and
// the close box do not); E_POINTER for a null object array, object or page class array
// (a null caption is an empty one); E_INVALIDARG for no object, no page, or an owner that is
// no window; E_FAIL when no page could be created for the objects (no frame is shown then);
// E_UNEXPECTED without a QApplication or off its thread.
// x and y place the frame relative to the owner's client area, or on the screen without one.
// Threading: the user-interface thread only; the call returns when the frame closes.
#pragma once

#include "platform/WinTypes.h"
#include "platform/com/ComErrors.h"
#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"
#include "platform/com/WideChar.h"
#include "platform/media/wtypes.h"

// The show commands IPropertyPage::Show takes (the ShowWindow values).
constexpr UINT SW_HIDE = 0;
constexpr UINT SW_SHOWNORMAL = 1;
constexpr UINT SW_SHOW = 5;

HRESULT OleCreatePropertyFrame(HWND owner, UINT x, UINT y, LPCOLESTR caption, ULONG object_count,
                               LPUNKNOWN* objects, ULONG page_count, LPCLSID page_classes,
                               LCID locale, DWORD reserved, LPVOID reserved2);
