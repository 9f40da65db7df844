// DmoEnumerator: the IEnumDMO that DMOEnum hands out, over the list of objects read when the
// enumeration was made (a later registration is not seen; Reset starts the same list again).
// Order of use: Next until it returns S_FALSE; Reset to read again, Clone to fork.
// Threading: one thread at a time.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/base/CUnknown.h"
#include "platform/media/dmoreg.h"

class DmoEnumerator : public CUnknown, public IEnumDMO {
public:
    struct Item {
        CLSID clsid;
        std::u16string name;
    };

    // The enumerator with one reference, or null when memory runs out.
    static IEnumDMO* Create(std::vector<Item> items);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    HRESULT Next(DWORD count, CLSID* clsids, WCHAR** names, DWORD* fetched) override;
    HRESULT Skip(DWORD count) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumDMO** clone) override;

private:
    DmoEnumerator(std::shared_ptr<const std::vector<Item>> items, size_t position);

    // Task-memory copy of a name; null when memory runs out.
    static WCHAR* CopyName(const std::u16string& name);

    // Shared with clones: the list never changes once made.
    std::shared_ptr<const std::vector<Item>> m_items;
    size_t m_position;
};
