// CUnknown: counting, interface answers, the process-wide object count.
#include <gtest/gtest.h>

#include "platform/com/ComPtr.h"
#include "platform/media/base/CUnknown.h"
#include "platform/media/strmif.h"

namespace {

// Two interfaces on one object, written the way filters write theirs.
class TwoFaced : public CUnknown, public IPersist, public IAMovieSetup {
public:
    explicit TwoFaced(bool* destroyed) : CUnknown("two faced"), m_destroyed(destroyed) {}
    ~TwoFaced() override { *m_destroyed = true; }

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IPersist))
            return GetInterface(static_cast<IPersist*>(this), object);
        if (IsEqualIID(iid, IID_IAMovieSetup)) {
            return GetInterface(static_cast<IAMovieSetup*>(this), object);
        }
        return CUnknown::NonDelegatingQueryInterface(iid, object);
    }
    HRESULT GetClassID(CLSID* clsid) override {
        *clsid = GUID_NULL;
        return S_OK;
    }
    HRESULT Register() override { return S_OK; }
    HRESULT Unregister() override { return S_OK; }

private:
    bool* m_destroyed;
};

TEST(CUnknown, last_release_deletes_the_object) {
    bool destroyed = false;
    auto* object = new TwoFaced(&destroyed);
    EXPECT_EQ(object->AddRef(), 1u);
    EXPECT_EQ(object->AddRef(), 2u);
    EXPECT_EQ(object->Release(), 1u);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_TRUE(destroyed);
}

TEST(CUnknown, every_interface_leads_to_the_same_identity) {
    bool destroyed = false;
    ComPtr<IPersist> persist(new TwoFaced(&destroyed));
    ComPtr<IAMovieSetup> setup;
    ASSERT_EQ(persist.As(&setup), S_OK);
    ComPtr<IUnknown> from_persist;
    ComPtr<IUnknown> from_setup;
    ASSERT_EQ(persist.As(&from_persist), S_OK);
    ASSERT_EQ(setup.As(&from_setup), S_OK);
    EXPECT_EQ(from_persist.Get(), from_setup.Get());
    persist = nullptr;
    setup = nullptr;
    from_persist = nullptr;
    EXPECT_FALSE(destroyed);  // one reference left through IUnknown
    from_setup = nullptr;
    EXPECT_TRUE(destroyed);
}

TEST(CUnknown, unknown_interface_is_refused_with_null) {
    bool destroyed = false;
    ComPtr<IPersist> persist(new TwoFaced(&destroyed));
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(persist->QueryInterface(IID_IBaseFilter, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(persist->QueryInterface(IID_IPersist, nullptr), E_POINTER);
}

TEST(CUnknown, objects_are_counted_while_they_live) {
    const long before = CUnknown::ObjectsActive();
    bool destroyed = false;
    {
        ComPtr<IPersist> persist(new TwoFaced(&destroyed));
        EXPECT_EQ(CUnknown::ObjectsActive(), before + 1);
    }
    EXPECT_EQ(CUnknown::ObjectsActive(), before);
}

TEST(CUnknown, get_interface_adds_a_reference) {
    bool destroyed = false;
    auto* object = new TwoFaced(&destroyed);
    object->AddRef();
    void* out = nullptr;
    ASSERT_EQ(GetInterface(static_cast<IPersist*>(object), &out), S_OK);
    EXPECT_EQ(out, static_cast<IPersist*>(object));
    EXPECT_EQ(object->Release(), 1u);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(GetInterface(nullptr, nullptr), E_POINTER);
}

}  // namespace
