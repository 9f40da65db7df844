// A class object (IClassFactory) whose CreateInstance calls a function: what a built-in
// class needs when it has no factory of its own. The function receives the outer object
// (refuse aggregation with CLASS_E_NOAGGREGATION) and answers like CreateInstance.
// LockServer is counted and has no other effect: built-in classes are never unloaded.
// Threading: any thread; the function may be called on several at once.
#pragma once

#include <atomic>
#include <functional>

#include "platform/com/Unknown.h"

class SimpleClassFactory : public IClassFactory {
public:
    using CreateFunction = std::function<HRESULT(IUnknown* outer, REFIID iid, void** object)>;

    // Hands out a new factory with one reference through QueryInterface(iid).
    static HRESULT Create(CreateFunction create, REFIID iid, void** object);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT LockServer(BOOL lock) override;

private:
    explicit SimpleClassFactory(CreateFunction create) : m_create(std::move(create)) {}

    const CreateFunction m_create;
    std::atomic<ULONG> m_references{1};
    std::atomic<long> m_locks{0};
};
