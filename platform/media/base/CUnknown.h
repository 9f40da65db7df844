// CUnknown: the reference-counted object every framework object is built on. It answers
// IUnknown through three overridable "non-delegating" methods; a class that adds interfaces
// overrides NonDelegatingQueryInterface, answers its own identifiers with GetInterface and
// passes the rest to its base, and writes DECLARE_IUNKNOWN once so that the IUnknown of every
// interface it inherits lands in the same three methods:
//
//   class CMyFilter : public CBaseFilter, public IFileSourceFilter {
//   public:
//       DECLARE_IUNKNOWN
//       HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override {
//           if (IsEqualIID(iid, IID_IFileSourceFilter))
//               return GetInterface(static_cast<IFileSourceFilter*>(this), object);
//           return CBaseFilter::NonDelegatingQueryInterface(iid, object);
//       }
//   };
//
// Objects are not aggregated: class factories refuse an outer object. A new object starts with
// no reference; the first QueryInterface gives it one, and the last Release deletes it.
// Every live CUnknown is counted process-wide (ObjectsActive), for a server's DllCanUnloadNow.
// Threading: reference counting from any thread.
#pragma once

#include <atomic>

#include "platform/com/Unknown.h"

class CUnknown : public IUnknown {
public:
    explicit CUnknown(LPCSTR object_name);
    ~CUnknown() override;
    CUnknown(const CUnknown&) = delete;
    CUnknown& operator=(const CUnknown&) = delete;

    // IID_IUnknown only; derived classes add theirs in front.
    virtual HRESULT NonDelegatingQueryInterface(REFIID iid, void** object);
    virtual ULONG NonDelegatingAddRef();
    // Deletes the object when the count reaches 0.
    virtual ULONG NonDelegatingRelease();

    HRESULT QueryInterface(REFIID iid, void** object) override {
        return NonDelegatingQueryInterface(iid, object);
    }
    ULONG AddRef() override { return NonDelegatingAddRef(); }
    ULONG Release() override { return NonDelegatingRelease(); }

    // The name given at construction, for diagnostics.
    LPCSTR ObjectName() const { return m_object_name; }
    // How many CUnknown objects exist in the process right now.
    static long ObjectsActive();

protected:
    std::atomic<ULONG> m_cRef{0};

private:
    LPCSTR m_object_name;
};

// Hands out `unknown` (AddRef'ed) through `object`; the usual last step of a QueryInterface.
HRESULT GetInterface(IUnknown* unknown, void** object);

// The IUnknown of a class that derives from CUnknown and from more interfaces.
#define DECLARE_IUNKNOWN                                         \
    HRESULT QueryInterface(REFIID iid, void** object) override { \
        return NonDelegatingQueryInterface(iid, object);         \
    }                                                            \
    ULONG AddRef() override {                                    \
        return NonDelegatingAddRef();                            \
    }                                                            \
    ULONG Release() override {                                   \
        return NonDelegatingRelease();                           \
    }
