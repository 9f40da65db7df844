#include "platform/media/olectl.h"

#include <QApplication>
#include <QThread>

#include "platform/media/proppage/PropertyFrame.h"
#include "platform/ui/WindowFunctions.h"

namespace {

bool OnGuiThread() {
    // Widgets need a QApplication, and only its thread may show them.
    const auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    return application && application->thread() == QThread::currentThread();
}

HRESULT CheckArguments(HWND owner, ULONG object_count, LPUNKNOWN* objects, ULONG page_count,
                       LPCLSID page_classes) {
    if (object_count == 0 || page_count == 0) return E_INVALIDARG;
    if (!objects || !page_classes) return E_POINTER;
    for (ULONG i = 0; i < object_count; ++i) {
        if (!objects[i]) return E_POINTER;
    }
    if (owner && !IsWindow(owner)) return E_INVALIDARG;
    return S_OK;
}

}  // namespace

HRESULT OleCreatePropertyFrame(HWND owner, UINT x, UINT y, LPCOLESTR caption, ULONG object_count,
                               LPUNKNOWN* objects, ULONG page_count, LPCLSID page_classes,
                               LCID locale, DWORD /*reserved*/, LPVOID /*reserved2*/) {
    const HRESULT hr = CheckArguments(owner, object_count, objects, page_count, page_classes);
    if (FAILED(hr)) return hr;
    if (!OnGuiThread()) return E_UNEXPECTED;
    PropertyFrame frame(owner, caption ? QString::fromUtf16(caption) : QString(), locale);
    if (frame.CreatePages(object_count, objects, page_count, page_classes) == 0) return E_FAIL;
    return frame.DoModal(x, y);
}
