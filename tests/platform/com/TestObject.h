// A COM object for the tests: answers IUnknown and ITestValue, counts its references and the
// objects alive, so that tests can prove nothing leaks and nothing is released twice.
#pragma once

#include <atomic>

#include "tests/platform/com/TestInterfaces.h"

class TestObject : public ITestValue {
public:
    // A new object with one reference, given to the caller.
    static TestObject* Make(int value) { return new TestObject(value); }
    // For CoCreateInstance: the interface `iid` of a new object, or E_NOINTERFACE.
    static HRESULT Create(IUnknown* outer, REFIID iid, void** object);
    static int Alive() { return s_alive; }

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override { return ++m_references; }
    ULONG Release() override;
    int Value() override { return m_value; }

    ULONG References() const { return m_references; }

private:
    explicit TestObject(int value) : m_value(value) { ++s_alive; }
    ~TestObject() override { --s_alive; }

    static inline std::atomic<int> s_alive{0};
    const int m_value;
    std::atomic<ULONG> m_references{1};
};
