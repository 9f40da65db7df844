// What the property page tests share: COM, an audio renderer to show, and a check that no
// framework object (page, site, filter) is left behind.
#pragma once

#include <gtest/gtest.h>

#include "platform/com/ComPtr.h"
#include "platform/com/objbase.h"
#include "platform/media/base/CUnknown.h"
#include "platform/media/control.h"
#include "platform/media/ocidl.h"
#include "platform/media/uuids.h"

class PropPageTest : public ::testing::Test {
protected:
    PropPageTest() : m_objects_before(CUnknown::ObjectsActive()) {}
    ~PropPageTest() override {
        EXPECT_EQ(CUnknown::ObjectsActive(), m_objects_before) << "framework objects left behind";
    }

    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_EQ(
            CoCreateInstance(CLSID_DSoundRender, nullptr, CLSCTX_INPROC_SERVER, IID_IBasicAudio,
                             reinterpret_cast<void**>(m_audio.GetAddressOf())),
            S_OK);
        ASSERT_EQ(m_audio.As(&m_pages), S_OK);
    }
    void TearDown() override {
        m_pages = nullptr;
        m_audio = nullptr;
        CoUninitialize();
    }

    static ComPtr<IUnknown> Create(REFCLSID clsid) {
        ComPtr<IUnknown> object;
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                         reinterpret_cast<void**>(object.GetAddressOf()));
        return object;
    }
    long Volume() const {
        long volume = 1;
        m_audio->get_Volume(&volume);
        return volume;
    }
    long Balance() const {
        long balance = 1;
        m_audio->get_Balance(&balance);
        return balance;
    }

    ComPtr<IBasicAudio> m_audio;
    ComPtr<ISpecifyPropertyPages> m_pages;

private:
    long m_objects_before = 0;
};
