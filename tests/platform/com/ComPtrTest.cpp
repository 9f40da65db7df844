#include "platform/com/ComPtr.h"

#include <utility>

#include <gtest/gtest.h>

#include "tests/platform/com/TestObject.h"

namespace {

class ComPtrTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(TestObject::Alive(), alive_before); }
    const int alive_before = TestObject::Alive();
};

TEST_F(ComPtrTest, copies_add_a_reference_and_moves_transfer_it) {
    ComPtr<TestObject> first;
    first.Attach(TestObject::Make(1));
    EXPECT_EQ(first->References(), 1u);
    {
        ComPtr<TestObject> copy = first;
        EXPECT_EQ(first->References(), 2u);
        ComPtr<TestObject> moved = std::move(copy);
        EXPECT_FALSE(copy);
        EXPECT_EQ(first->References(), 2u);
        ComPtr<ITestValue> as_base = moved;  // converting copy
        EXPECT_EQ(first->References(), 3u);
        as_base = nullptr;
        EXPECT_EQ(first->References(), 2u);
        moved = first;  // same object: count unchanged
        EXPECT_EQ(first->References(), 2u);
    }
    EXPECT_EQ(first->References(), 1u);
    first = first;  // self-assignment keeps the object
    EXPECT_EQ(first->References(), 1u);
    EXPECT_EQ(first.Reset(), 0u);
    EXPECT_EQ(TestObject::Alive(), alive_before);
}

TEST_F(ComPtrTest, attach_and_detach_hand_over_the_callers_reference) {
    TestObject* raw = TestObject::Make(2);
    ComPtr<TestObject> held;
    held.Attach(raw);
    EXPECT_EQ(raw->References(), 1u);
    TestObject* back = held.Detach();
    EXPECT_EQ(back, raw);
    EXPECT_EQ(held.Get(), nullptr);
    EXPECT_EQ(raw->References(), 1u);
    ComPtr<TestObject> from_raw(raw);  // a raw pointer is AddRef'ed
    EXPECT_EQ(raw->References(), 2u);
    raw->Release();
    TestObject* other = TestObject::Make(3);
    from_raw.Attach(other);  // releases the first object
    EXPECT_EQ(TestObject::Alive(), alive_before + 1);
}

TEST_F(ComPtrTest, as_asks_for_another_interface) {
    ComPtr<ITestValue> value;
    value.Attach(TestObject::Make(7));
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(value.As(&unknown), S_OK);
    EXPECT_EQ(static_cast<TestObject*>(value.Get())->References(), 2u);
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(unknown.As(&factory), E_NOINTERFACE);
    EXPECT_FALSE(factory);
    ComPtr<ITestValue> again;
    ASSERT_EQ(unknown.As(&again), S_OK);
    EXPECT_EQ(again->Value(), 7);
    EXPECT_TRUE(again == value);
    ComPtr<ITestValue> empty;
    EXPECT_EQ(empty.As(&unknown), E_POINTER);
    EXPECT_FALSE(unknown);
    EXPECT_TRUE(empty == nullptr);
}

TEST_F(ComPtrTest, out_parameters_release_what_was_held) {
    ComPtr<ITestValue> value;
    value.Attach(TestObject::Make(8));
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(value->QueryInterface(IID_PPV_ARGS(unknown.ReleaseAndGetAddressOf())), S_OK);
    ASSERT_EQ(value->QueryInterface(IID_PPV_ARGS(unknown.ReleaseAndGetAddressOf())), S_OK);
    EXPECT_EQ(static_cast<TestObject*>(value.Get())->References(), 2u);
    ITestValue* copied = nullptr;
    ASSERT_EQ(value.CopyTo(&copied), S_OK);
    EXPECT_EQ(copied->Release(), 2u);
    void* raw = nullptr;
    EXPECT_EQ(value.CopyTo(IID_IClassFactory, &raw), E_NOINTERFACE);
    EXPECT_EQ(raw, nullptr);
    ComPtr<ITestValue> swapped;
    swapped.Swap(value);
    EXPECT_FALSE(value);
    EXPECT_EQ(swapped->Value(), 8);
}

}  // namespace
