// The platform's own COM classes (the media framework's filter graph, mapper, stock filters,
// ...), found by CoCreateInstance and CoGetClassObject before the registry is looked at.
// Platform code registers each class once at start-up, before it is first created:
//
//   RegisterBuiltInCreator(CLSID_NullRenderer, [](IUnknown* outer, REFIID iid, void** object) {
//       if (outer) return CLASS_E_NOAGGREGATION;
//       ...make the object, QueryInterface(iid, object), Release...
//   });
//
// RegisterBuiltInClass takes a function that hands out the class object itself, for a class
// with a factory of its own. Registering a class again replaces it.
// Threading: any thread; the functions are called without any lock held, possibly at once.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "platform/com/Unknown.h"

// Answers like DllGetClassObject for one class: the class object's interface `iid`.
using ClassObjectFunction = std::function<HRESULT(REFIID iid, void** object)>;
// Answers like IClassFactory::CreateInstance.
using CreateInstanceFunction = std::function<HRESULT(IUnknown* outer, REFIID iid, void** object)>;

void RegisterBuiltInClass(REFCLSID clsid, ClassObjectFunction get_class_object);
void RegisterBuiltInCreator(REFCLSID clsid, CreateInstanceFunction create);
// Returns false when the class was not registered.
bool UnregisterBuiltInClass(REFCLSID clsid);

class BuiltInClasses {
public:
    void Register(REFCLSID clsid, ClassObjectFunction get_class_object);
    bool Unregister(REFCLSID clsid);
    // REGDB_E_CLASSNOTREG when the class is not built in.
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object);

private:
    struct Entry {
        CLSID clsid;
        ClassObjectFunction get_class_object;
    };

    std::mutex m_mutex;
    std::vector<Entry> m_entries;
};
