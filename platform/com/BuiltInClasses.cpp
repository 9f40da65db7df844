#include "platform/com/BuiltInClasses.h"

#include <algorithm>

#include "platform/com/ComRuntime.h"
#include "platform/com/SimpleClassFactory.h"

void BuiltInClasses::Register(REFCLSID clsid, ClassObjectFunction get_class_object) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Entry& entry : m_entries) {
        if (entry.clsid == clsid) {
            entry.get_class_object = std::move(get_class_object);
            return;
        }
    }
    m_entries.push_back(Entry{clsid, std::move(get_class_object)});
}

bool BuiltInClasses::Unregister(REFCLSID clsid) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto removed = std::remove_if(m_entries.begin(), m_entries.end(),
                                        [&](const Entry& entry) { return entry.clsid == clsid; });
    const bool found = removed != m_entries.end();
    m_entries.erase(removed, m_entries.end());
    return found;
}

HRESULT BuiltInClasses::GetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    ClassObjectFunction get_class_object;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const Entry& entry : m_entries) {
            if (entry.clsid == clsid) get_class_object = entry.get_class_object;
        }
    }
    // Called unlocked: making a class object may create other built-in objects.
    return get_class_object ? get_class_object(iid, object) : REGDB_E_CLASSNOTREG;
}

void RegisterBuiltInClass(REFCLSID clsid, ClassObjectFunction get_class_object) {
    ComRuntime::Instance().BuiltIns().Register(clsid, std::move(get_class_object));
}

void RegisterBuiltInCreator(REFCLSID clsid, CreateInstanceFunction create) {
    RegisterBuiltInClass(clsid, [create = std::move(create)](REFIID iid, void** object) {
        return SimpleClassFactory::Create(create, iid, object);
    });
}

bool UnregisterBuiltInClass(REFCLSID clsid) {
    return ComRuntime::Instance().BuiltIns().Unregister(clsid);
}
