#include "catalogue/FilterCatalogue.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "app/LoadingDialog.h"
#include "catalogue/CatalogueProgress.h"
#include "catalogue/TextHelpers.h"
#include "platform/com/ComPtr.h"
#include "platform/com/objbase.h"
#include "platform/media/dmodshow.h"
#include "platform/media/dmoreg.h"
#include "platform/media/uuids.h"
#include "platform/registry/winreg.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowMessages.h"

namespace {

// The per-user cache of the audio renderer category (CLSID_AudioRendererCategory).
constexpr char kAudioRenderersKey[] =
    "Software\\Microsoft\\ActiveMovie\\devenum\\{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}\\";
// The instance list of the filter category (CLSID_LegacyAmFilterCategory).
constexpr char kFilterInstancesKey[] =
    "SOFTWARE\\Classes\\CLSID\\{083863F1-70DE-11d0-BD40-00A0C911CE86}\\Instance\\";
constexpr DWORD kTextSize = 1024;           // key names and string values, terminator included
constexpr LRESULT kListBoxOutOfSpace = -2;  // LB_ERRSPACE

// Visited in this order, when counting and when listing.
const GUID* const kDmoCategories[] = {
    &DMOCATEGORY_AUDIO_DECODER,        &DMOCATEGORY_AUDIO_EFFECT, &DMOCATEGORY_AUDIO_ENCODER,
    &DMOCATEGORY_VIDEO_DECODER,        &DMOCATEGORY_VIDEO_EFFECT, &DMOCATEGORY_VIDEO_ENCODER,
    &DMOCATEGORY_AUDIO_CAPTURE_EFFECT,
};

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using Key = std::unique_ptr<HKEY__, KeyCloser>;

struct TextDeleter {
    void operator()(char* text) const { delete[] text; }
};
using Text = std::unique_ptr<char, TextDeleter>;

Key OpenKey(HKEY parent, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
    return Key(key);
}

// A string value (the default value for a null name) of at most kTextSize bytes; a value
// stored without its terminator still reads as terminated text.
bool ReadString(HKEY key, const char* name, char (&value)[kTextSize + 1]) {
    DWORD type = REG_NONE;
    DWORD size = kTextSize;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return false;
    }
    value[size < kTextSize ? size : kTextSize] = 0;
    return true;
}

DWORD CountSubkeys(HKEY key) {
    char name[kTextSize];
    DWORD count = 0;
    while (RegEnumKeyA(key, count, name, kTextSize) == ERROR_SUCCESS)
        ++count;
    return count;
}

// Keyed objects are left out: they cannot be used without their key.
ComPtr<IEnumDMO> OpenDmoEnumeration(const GUID& category) {
    ComPtr<IEnumDMO> dmos;
    if (FAILED(DMOEnum(category, 0, 0, nullptr, 0, nullptr, dmos.GetAddressOf())) || !dmos ||
        FAILED(dmos->Reset())) {
        return nullptr;
    }
    return dmos;
}

// One object at a time: its class and name (task memory, the caller frees it).
bool NextDmo(IEnumDMO* dmos, CLSID* clsid, WCHAR** name) {
    DWORD fetched = 0;
    *name = nullptr;
    return dmos->Next(1, clsid, name, &fetched) == S_OK;
}

DWORD CountDmos(const GUID& category) {
    ComPtr<IEnumDMO> dmos = OpenDmoEnumeration(category);
    if (!dmos) return 0;
    DWORD count = 0;
    CLSID clsid;
    WCHAR* name = nullptr;
    while (NextDmo(dmos.Get(), &clsid, &name)) {
        CoTaskMemFree(name);
        ++count;
    }
    return count;
}

// Whether the DMO wrapper filter takes the object: only those can join a graph.
bool CanWrap(REFCLSID dmo, REFGUID category) {
    ComPtr<IDMOWrapperFilter> wrapper;
    if (FAILED(CoCreateInstance(CLSID_DMOWrapperFilter, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(wrapper.GetAddressOf()))) ||
        FAILED(wrapper->Init(dmo, category))) {
        return false;
    }
    ComPtr<IUnknown> unknown;
    return SUCCEEDED(wrapper->QueryInterface(IID_PPV_ARGS(unknown.GetAddressOf())));
}

void Push(CatalogueEntry*& head, const char* name, const char* clsid, const char* category,
          bool dmo) {
    if (auto* entry = new (std::nothrow) CatalogueEntry(name, clsid, category, dmo, head)) {
        head = entry;
    }
}

void CountDmosAndAudioRenderers(CatalogueProgress& progress) {
    for (const GUID* category : kDmoCategories)
        progress.AddToTotal(CountDmos(*category));
    if (Key renderers = OpenKey(HKEY_CURRENT_USER, kAudioRenderersKey)) {
        progress.AddToTotal(CountSubkeys(renderers.get()));
    }
}

// Each renderer is listed under its subkey's name, with its "CLSID" value as it is stored.
void AddAudioRenderers(CatalogueProgress& progress, CatalogueEntry*& head) {
    Key renderers = OpenKey(HKEY_CURRENT_USER, kAudioRenderersKey);
    if (!renderers) return;
    char name[kTextSize];
    for (DWORD i = 0; RegEnumKeyA(renderers.get(), i, name, kTextSize) == ERROR_SUCCESS; ++i) {
        progress.Step();
        Key renderer = OpenKey(renderers.get(), name);
        char clsid[kTextSize + 1];
        if (renderer && ReadString(renderer.get(), "CLSID", clsid)) {
            Push(head, name, clsid, nullptr, false);
        }
    }
}

void AddRegisteredFilters(CatalogueProgress& progress, CatalogueEntry*& head) {
    Key instances = OpenKey(HKEY_LOCAL_MACHINE, kFilterInstancesKey);
    if (!instances) return;
    progress.AddToTotal(CountSubkeys(instances.get()));
    char name[kTextSize];
    for (DWORD i = 0; RegEnumKeyA(instances.get(), i, name, kTextSize) == ERROR_SUCCESS; ++i) {
        progress.Step();
        Key filter = OpenKey(instances.get(), name);
        if (!filter) continue;
        std::string clsid(name);
        for (char& c : clsid) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        }
        char friendly[kTextSize + 1];
        if (clsid.empty() || clsid[0] != '{' ||
            !ReadString(filter.get(), "FriendlyName", friendly)) {
            continue;
        }
        const std::string shown = friendly[0] ? std::string(friendly) : "Unamed: " + clsid;
        Push(head, shown.c_str(), clsid.c_str(), nullptr, false);
    }
}

// A DMO registered in several categories is listed once per category.
void AddDmos(CatalogueProgress& progress, CatalogueEntry*& head) {
    for (const GUID* category : kDmoCategories) {
        ComPtr<IEnumDMO> dmos = OpenDmoEnumeration(*category);
        if (!dmos) continue;
        const Text category_text(TextFromClassId(*category));
        CLSID clsid;
        WCHAR* wide_name = nullptr;
        while (NextDmo(dmos.Get(), &clsid, &wide_name)) {
            progress.Step();
            const Text name(NarrowFromWide(wide_name));
            CoTaskMemFree(wide_name);
            if (CanWrap(clsid, *category)) {
                const Text clsid_text(TextFromClassId(clsid));
                Push(head, name.get(), clsid_text.get(), category_text.get(), true);
            }
        }
    }
}

bool SameText(const char* a, const char* b) {
    return a && b && std::strcmp(a, b) == 0;
}

}  // namespace

FilterCatalogue::~FilterCatalogue() {
    delete head;
}

bool FilterCatalogue::Gather() {
    {
        // Its destruction waits until Enumerate has returned.
        LoadingDialog dialog("Gathering Filters Informations", this, Enumerate, nullptr);
        dialog.DoModal();
    }
    return head != nullptr;
}

UINT FilterCatalogue::Enumerate(HWND window, LPVOID data) {
    CatalogueProgress progress(window);
    auto* catalogue = static_cast<FilterCatalogue*>(data);
    if (catalogue) {
        catalogue->progressWindow = window;
        // The DMO wrapper is a COM object made on this thread.
        const HRESULT com = CoInitialize(nullptr);
        // New entries go in front of any already there, which others may point at.
        CatalogueEntry* list = catalogue->head;
        CountDmosAndAudioRenderers(progress);
        AddAudioRenderers(progress, list);
        AddRegisteredFilters(progress, list);
        AddDmos(progress, list);
        catalogue->head = list;
        if (SUCCEEDED(com)) CoUninitialize();
    }
    // Sent whatever happened: it closes the dialog.
    progress.Finish();
    return 0;
}

void FilterCatalogue::FillListBox(HWND listBox) const {
    SendMessageA(listBox, LB_RESETCONTENT, 0, 0);
    for (CatalogueEntry* entry = head; entry; entry = entry->next) {
        const LRESULT index =
            SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry->friendlyName));
        if (index == LB_ERR || index == kListBoxOutOfSpace) continue;
        SendMessageA(listBox, LB_SETITEMDATA, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(entry));
    }
}

CatalogueEntry* FilterCatalogue::FindByFriendlyName(const char* name) const {
    for (CatalogueEntry* entry = head; entry; entry = entry->next) {
        if (SameText(entry->friendlyName, name)) return entry;
    }
    return nullptr;
}

CatalogueEntry* FilterCatalogue::FindByClsid(REFCLSID clsid) {
    if (!head) return nullptr;
    const Text text(TextFromClassId(clsid));
    for (CatalogueEntry* entry = head; entry; entry = entry->next) {
        if (SameText(entry->clsid, text.get())) return entry;
    }
    if (!text) return nullptr;
    const std::string path = std::string("CLSID\\") + text.get();
    Key key = OpenKey(HKEY_CLASSES_ROOT, path.c_str());
    char name[kTextSize + 1];
    if (!key || !ReadString(key.get(), nullptr, name)) return nullptr;
    CatalogueEntry* const before = head;
    Push(head, name, text.get(), nullptr, false);
    return head != before ? head : nullptr;
}
