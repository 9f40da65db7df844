#include <gtest/gtest.h>

#include "platform/media/olectl.h"
#include "tests/platform/media/proppage/PropPageTest.h"

namespace {

ComPtr<IPropertyPage> CreatePage(REFCLSID clsid) {
    ComPtr<IPropertyPage> page;
    CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                     reinterpret_cast<void**>(page.GetAddressOf()));
    return page;
}

using AudioPropertiesPageTest = PropPageTest;

TEST_F(AudioPropertiesPageTest, renderer_names_its_volume_page_which_is_creatable) {
    CAUUID pages{};
    ASSERT_EQ(m_pages->GetPages(&pages), S_OK);
    ASSERT_EQ(pages.cElems, 1u);
    ASSERT_NE(pages.pElems, nullptr);
    EXPECT_EQ(pages.pElems[0], CLSID_AudioProperties);
    CoTaskMemFree(pages.pElems);
    EXPECT_EQ(m_pages->GetPages(nullptr), E_POINTER);

    const ComPtr<IPropertyPage> page = CreatePage(CLSID_AudioProperties);
    ASSERT_TRUE(page);
    PROPPAGEINFO info{};
    ASSERT_EQ(page->GetPageInfo(&info), S_OK);
    ASSERT_NE(info.pszTitle, nullptr);
    EXPECT_EQ(std::u16string(info.pszTitle), u"Audio Renderer");
    EXPECT_GT(info.size.cx, 0);
    EXPECT_GT(info.size.cy, 0);
    CoTaskMemFree(info.pszTitle);
    EXPECT_EQ(page->GetPageInfo(nullptr), E_POINTER);
}

TEST_F(AudioPropertiesPageTest, page_takes_only_an_object_with_basic_audio) {
    const ComPtr<IPropertyPage> page = CreatePage(CLSID_AudioProperties);
    ASSERT_TRUE(page);
    ComPtr<IUnknown> null_renderer = Create(CLSID_NullRenderer);
    ASSERT_TRUE(null_renderer);
    IUnknown* without_audio = null_renderer.Get();
    IUnknown* renderer = m_audio.Get();
    IUnknown* two[] = {renderer, renderer};

    EXPECT_EQ(page->SetObjects(1, &without_audio), E_NOINTERFACE);
    EXPECT_EQ(page->SetObjects(1, nullptr), E_POINTER);
    EXPECT_EQ(page->SetObjects(2, two), E_NOTIMPL);
    EXPECT_EQ(page->SetObjects(1, &renderer), S_OK);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    EXPECT_EQ(page->Apply(), S_OK);  // nothing changed: nothing written
    EXPECT_EQ(page->SetObjects(0, nullptr), S_OK);
    // Activation needs a real window to build the page in.
    const RECT rect{0, 0, 100, 100};
    EXPECT_EQ(page->Activate(nullptr, &rect, TRUE), E_INVALIDARG);
    EXPECT_EQ(page->Show(SW_SHOW), E_UNEXPECTED);
}

}  // namespace
