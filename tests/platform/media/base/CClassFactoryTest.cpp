// CClassFactory over a template table: creating objects, refusing aggregation and unknown
// classes or interfaces, server locks and the unload answer, and built-in registration.
#include <gtest/gtest.h>

#include "platform/com/BuiltInClasses.h"
#include "platform/com/objbase.h"
#include "platform/media/base/CClassFactory.h"
#include "platform/registry/RegistrySetup.h"
#include "tests/platform/media/base/MediaTestHelpers.h"
#include "tests/platform/media/support/TestSinkFilter.h"
#include "tests/support/TempDir.h"

namespace {

constexpr GUID kSinkClass = MakeGuid("6C0F1D7E-0F0B-4A57-9E0E-2B7C3A6D5E10");
constexpr GUID kFailingClass = MakeGuid("6C0F1D7E-0F0B-4A57-9E0E-2B7C3A6D5E11");

CUnknown* CreateSink(LPUNKNOWN /*outer*/, HRESULT* /*hr*/) {
    return new TestSinkFilter();
}

CUnknown* CreateNothing(LPUNKNOWN /*outer*/, HRESULT* hr) {
    *hr = VFW_E_NO_AUDIO_HARDWARE;
    return nullptr;
}

const CFactoryTemplate kTemplates[] = {
    {u"Test Sink", &kSinkClass, CreateSink, nullptr, nullptr},
    {u"Failing", &kFailingClass, CreateNothing, nullptr, nullptr},
};

ComPtr<IClassFactory> FactoryFor(REFCLSID clsid) {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(CClassFactory::GetClassObject(kTemplates, 2, clsid, IID_IClassFactory,
                                            reinterpret_cast<void**>(factory.GetAddressOf())),
              S_OK);
    return factory;
}

TEST(CClassFactory, creates_the_templates_object_with_the_interface_asked_for) {
    NoObjectLeftBehind check;
    ComPtr<IClassFactory> factory = FactoryFor(kSinkClass);
    ComPtr<IBaseFilter> filter;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IBaseFilter,
                                      reinterpret_cast<void**>(filter.GetAddressOf())),
              S_OK);
    CLSID clsid{};
    filter->GetClassID(&clsid);
    EXPECT_TRUE(IsEqualCLSID(clsid, GUID_NULL));  // the sink's own identifier
}

TEST(CClassFactory, an_interface_the_object_lacks_deletes_it) {
    NoObjectLeftBehind check;
    ComPtr<IClassFactory> factory = FactoryFor(kSinkClass);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IMediaSeeking, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
}

TEST(CClassFactory, refuses_aggregation) {
    ComPtr<IClassFactory> factory = FactoryFor(kSinkClass);
    ComPtr<IClassFactory> outer = FactoryFor(kSinkClass);  // any unknown will do
    void* object = nullptr;
    EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
}

TEST(CClassFactory, a_creator_failure_is_passed_on) {
    ComPtr<IClassFactory> factory = FactoryFor(kFailingClass);
    void* object = nullptr;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, &object), VFW_E_NO_AUDIO_HARDWARE);
}

TEST(CClassFactory, get_class_object_hands_out_only_factories_of_known_classes) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CClassFactory::GetClassObject(kTemplates, 2, kSinkClass, IID_IBaseFilter, &object),
              E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(
        CClassFactory::GetClassObject(kTemplates, 2, CLSID_FilterGraph, IID_IClassFactory, &object),
        CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(CClassFactory::GetClassObject(kTemplates, 2, kSinkClass, IID_IUnknown, &object),
              S_OK);
    static_cast<IUnknown*>(object)->Release();
}

TEST(CClassFactory, locks_and_live_objects_keep_the_server_loaded) {
    const bool idle_before = CClassFactory::CanUnloadNow() == S_OK;
    ComPtr<IClassFactory> factory = FactoryFor(kSinkClass);
    EXPECT_EQ(CClassFactory::CanUnloadNow(), S_FALSE);  // the factory itself is an object
    factory->LockServer(TRUE);
    factory = nullptr;
    EXPECT_TRUE(CClassFactory::IsLocked());
    EXPECT_EQ(CClassFactory::CanUnloadNow(), S_FALSE);
    FactoryFor(kSinkClass)->LockServer(FALSE);
    EXPECT_FALSE(CClassFactory::IsLocked());
    if (idle_before) {
        EXPECT_EQ(CClassFactory::CanUnloadNow(), S_OK);
    }
}

TEST(CClassFactory, registered_templates_are_created_by_co_create_instance) {
    TempDir registry;
    RegistrySetFolder(registry.Path().string());
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    CClassFactory::RegisterBuiltIn(kTemplates, 2);
    {
        NoObjectLeftBehind check;
        ComPtr<IBaseFilter> filter;
        EXPECT_EQ(CoCreateInstance(kSinkClass, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   reinterpret_cast<void**>(filter.GetAddressOf())),
                  S_OK);
        EXPECT_TRUE(filter);
    }
    UnregisterBuiltInClass(kSinkClass);
    UnregisterBuiltInClass(kFailingClass);
    CoUninitialize();
    RegistrySetFolder("");
}

}  // namespace
