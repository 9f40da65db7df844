#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/com/BuiltInClasses.h"
#include "platform/com/ComPtr.h"
#include "platform/com/SimpleClassFactory.h"
#include "tests/platform/com/ComTestFixture.h"
#include "tests/platform/com/TestObject.h"

// The test executable is an in-process server too (linked with exported symbols).
extern "C" HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (clsid != CLSID_TestInExecutable) return CLASS_E_CLASSNOTAVAILABLE;
    return SimpleClassFactory::Create(TestObject::Create, iid, object);
}

namespace {

const std::string kModule = TKV_TEST_SERVER_MODULE;

bool ModuleLoaded() {
    void* handle = dlopen(kModule.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (handle) dlclose(handle);
    return handle != nullptr;
}

std::string ExecutablePath() {
    return std::filesystem::read_symlink("/proc/self/exe").string();
}

TEST_F(ComTest, built_in_classes_come_first) {
    RegisterBuiltInCreator(CLSID_TestBuiltIn, TestObject::Create);
    RegisterServer(CLSID_TestBuiltIn, "/nonexistent/library.so");  // never looked at
    ComPtr<ITestValue> value;
    ASSERT_EQ(CoCreateInstance(CLSID_TestBuiltIn, nullptr, CLSCTX_INPROC_SERVER, IID_ITestValue,
                               reinterpret_cast<void**>(value.GetAddressOf())),
              S_OK);
    EXPECT_EQ(value->Value(), 42);
    ComPtr<IUnknown> aggregated;
    EXPECT_EQ(CoCreateInstance(CLSID_TestBuiltIn, value.Get(), CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(aggregated.GetAddressOf())),
              CLASS_E_NOAGGREGATION);
    EXPECT_FALSE(aggregated);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(CLSID_TestBuiltIn, CLSCTX_ALL, nullptr, IID_IClassFactory,
                               reinterpret_cast<void**>(factory.GetAddressOf())),
              S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_TRUE(UnregisterBuiltInClass(CLSID_TestBuiltIn));
    EXPECT_FALSE(UnregisterBuiltInClass(CLSID_TestBuiltIn));
}

TEST_F(ComTest, a_class_served_by_the_running_executable) {
    RegisterServer(CLSID_TestInExecutable, ExecutablePath());
    const int alive = TestObject::Alive();
    {
        ComPtr<ITestValue> value;
        ASSERT_EQ(CoCreateInstance(CLSID_TestInExecutable, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(value.GetAddressOf())),
                  S_OK);
        EXPECT_EQ(value->Value(), 42);
        EXPECT_EQ(TestObject::Alive(), alive + 1);
    }
    EXPECT_EQ(TestObject::Alive(), alive);
}

TEST_F(ComTest, a_class_served_by_a_library_which_is_unloaded_when_unused) {
    RegisterServer(CLSID_TestInModule, kModule);
    ComPtr<ITestValue> value;
    ASSERT_EQ(CoCreateInstance(CLSID_TestInModule, nullptr, CLSCTX_INPROC_SERVER, IID_ITestValue,
                               reinterpret_cast<void**>(value.GetAddressOf())),
              S_OK);
    EXPECT_EQ(value->Value(), 99);
    EXPECT_TRUE(ModuleLoaded());
    CoFreeUnusedLibrariesEx(0, 0);
    CoFreeUnusedLibrariesEx(0, 0);
    EXPECT_TRUE(ModuleLoaded());  // an object is still alive
    value.Reset();
    CoFreeUnusedLibrariesEx(0, 0);
    EXPECT_TRUE(ModuleLoaded()) << "unused once is not enough: a Release may still be ending";
    CoFreeUnusedLibrariesEx(0, 0);
    EXPECT_FALSE(ModuleLoaded());

    ASSERT_EQ(CoCreateInstance(CLSID_TestInModule, nullptr, CLSCTX_ALL, IID_ITestValue,
                               reinterpret_cast<void**>(value.GetAddressOf())),
              S_OK);  // loaded again
    EXPECT_EQ(value->Value(), 99);
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(CoCreateInstance(CLSID_TestInModule, nullptr, CLSCTX_INPROC_SERVER, IID_IClassFactory,
                               reinterpret_cast<void**>(unknown.GetAddressOf())),
              E_NOINTERFACE);
}

TEST_F(ComTest, threads_create_while_unused_libraries_are_freed) {
    RegisterServer(CLSID_TestInModule, kModule);
    std::atomic<int> failures{0};
    std::atomic<bool> done{false};
    std::thread freeing([&] {
        while (!done)
            CoFreeUnusedLibrariesEx(20, 0);
    });
    std::vector<std::thread> creators;
    for (int t = 0; t < 4; ++t) {
        creators.emplace_back([&] {
            for (int i = 0; i < 50; ++i) {
                ComPtr<ITestValue> value;
                const HRESULT hr = CoCreateInstance(CLSID_TestInModule, nullptr,
                                                    CLSCTX_INPROC_SERVER, IID_ITestValue,
                                                    reinterpret_cast<void**>(value.GetAddressOf()));
                if (FAILED(hr) || value->Value() != 99) ++failures;
                // Pauses long enough for the library to be unloaded and loaded again.
                if (i % 10 == 9) std::this_thread::sleep_for(std::chrono::milliseconds(30));
            }
        });
    }
    for (std::thread& creator : creators)
        creator.join();
    done = true;
    freeing.join();
    EXPECT_EQ(failures, 0);
    CoFreeUnusedLibrariesEx(0, 0);
    CoFreeUnusedLibrariesEx(0, 0);
    EXPECT_FALSE(ModuleLoaded());
}

TEST_F(ComTest, an_unregistered_class_is_not_found) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(CLSID_TestUnregistered, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               &object),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CoCreateInstance(CLSID_TestUnregistered, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               nullptr),
              E_POINTER);
    RegisterServer(CLSID_TestInModule, kModule);
    EXPECT_EQ(
        CoCreateInstance(CLSID_TestInModule, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, &object),
        REGDB_E_CLASSNOTREG);  // only in-process servers exist
}

TEST_F(ComTest, a_server_that_cannot_serve_gives_a_failure) {
    void* object = nullptr;
    RegisterServer(CLSID_TestUnregistered, dir.File("missing.so"));
    EXPECT_EQ(CoCreateInstance(CLSID_TestUnregistered, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               &object),
              HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));
    RegisterServer(CLSID_TestUnregistered, "libm.so.6");  // loads, but is no COM server
    EXPECT_EQ(CoCreateInstance(CLSID_TestUnregistered, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               &object),
              HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND));
    RegisterServer(CLSID_TestUnregistered, kModule);  // a server, for other classes
    EXPECT_EQ(CoCreateInstance(CLSID_TestUnregistered, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               &object),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
}

TEST_F(ComTest, initialisation_is_counted_per_process) {
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);  // SetUp made the first
    CoUninitialize();
    CoUninitialize();
    void* object = nullptr;
    RegisterBuiltInCreator(CLSID_TestBuiltIn, TestObject::Create);
    EXPECT_EQ(
        CoCreateInstance(CLSID_TestBuiltIn, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
        CO_E_NOTINITIALIZED);
    CoUninitialize();  // one too many: ignored
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    UnregisterBuiltInClass(CLSID_TestBuiltIn);
}

}  // namespace
