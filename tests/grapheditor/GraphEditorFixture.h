// What the graph editor's tests share: a created GraphManager (its graph with no notify
// window), a prompt that records the messages, a folder for the test's files, catalogue
// entries made by hand, and a check that no framework object outlives the test.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue/CatalogueEntry.h"
#include "catalogue/TextHelpers.h"
#include "grapheditor/FilterItem.h"
#include "grapheditor/FilterItemFactory.h"
#include "grapheditor/GraphManager.h"
#include "platform/com/ComPtr.h"
#include "platform/media/base/CUnknown.h"
#include "platform/media/dshow.h"
#include "platform/ui/MessageBox.h"
#include "tests/support/RecordingUserPrompt.h"
#include "tests/support/TempDir.h"

using Texts = std::vector<std::string>;

class GraphEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_objects_before = CUnknown::ObjectsActive();
        ASSERT_TRUE(graph.Create(nullptr));
    }

    void TearDown() override {
        if (graph.MediaControl()) graph.MediaControl()->Stop();
        graph.ReleaseAll();
        entries.clear();
        EXPECT_EQ(CUnknown::ObjectsActive(), m_objects_before)
            << "a framework object outlived the test";
    }

    // An entry of the catalogue's kind, kept for the test's length.
    CatalogueEntry* Entry(const char* friendly_name, REFCLSID clsid,
                          const GUID* dmo_category = nullptr) {
        const std::unique_ptr<char[]> clsid_text(TextFromClassId(clsid));
        const std::unique_ptr<char[]> category_text(dmo_category ? TextFromClassId(*dmo_category)
                                                                 : nullptr);
        entries.push_back(std::make_unique<CatalogueEntry>(friendly_name, clsid_text.get(),
                                                           category_text.get(),
                                                           dmo_category != nullptr, nullptr));
        return entries.back().get();
    }

    // The item of a filter added to the graph under `name`.
    std::unique_ptr<FilterItem> Added(IBaseFilter* filter, const char16_t* name,
                                      CatalogueEntry* entry = nullptr) {
        EXPECT_TRUE(SUCCEEDED(graph.GraphBuilder()->AddFilter(filter, name)));
        return WrapFilter(entry, filter);
    }

    Texts MessageTexts() const {
        Texts texts;
        for (const auto& message : prompt.Messages())
            texts.push_back(message.text);
        return texts;
    }

    static Texts Labels(const FilterItem& item, PIN_DIRECTION direction) {
        Texts labels;
        const bool input = direction == PINDIR_INPUT;
        const int count = input ? item.InputPinCount() : item.OutputPinCount();
        for (int i = 0; i < count; ++i)
            labels.emplace_back((input ? item.InputPin(i) : item.OutputPin(i))->Label());
        return labels;
    }

    RecordingUserPrompt prompt;
    TempDir dir;
    GraphManager graph;
    std::vector<std::unique_ptr<CatalogueEntry>> entries;

private:
    long m_objects_before = 0;
};
