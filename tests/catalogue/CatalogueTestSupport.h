// What the catalogue's tests share: a fresh registry folder per test, the catalogue's list as
// comparable rows, and Enumerate run on a worker thread (as the loading dialog runs it)
// against a recording window whose handler may act on each progress message.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "app/LoadingDialog.h"
#include "catalogue/FilterCatalogue.h"
#include "platform/registry/RegistrySetup.h"
#include "tests/platform/ui/QueueWindow.h"
#include "tests/support/TempDir.h"

// friendlyName, clsid, category ("-" for none), isDmo
using CatalogueRow = std::tuple<std::string, std::string, std::string, bool>;

inline std::vector<CatalogueRow> RowsOf(const FilterCatalogue& catalogue) {
    std::vector<CatalogueRow> rows;
    for (const CatalogueEntry* entry = catalogue.head; entry; entry = entry->next) {
        rows.emplace_back(entry->friendlyName, entry->clsid,
                          entry->category ? entry->category : "-", entry->isDmo);
    }
    return rows;
}

// The percentages Enumerate sent, in order.
inline std::vector<WPARAM> EnumerateRecorded(FilterCatalogue& catalogue,
                                             const std::function<void()>& on_progress = {}) {
    QueueWindow window;
    window.answer = [&](UINT, WPARAM, LPARAM) -> LRESULT {
        if (on_progress) on_progress();
        return 0;
    };
    HWND handle = window.Attach(nullptr, 0);
    std::atomic<bool> done{false};
    std::thread worker([&] {
        FilterCatalogue::Enumerate(handle, &catalogue);
        done = true;
    });
    EXPECT_TRUE(window.PumpUntil([&] { return done.load(); }));
    window.Detach();  // releases the worker, should it still wait
    worker.join();
    EXPECT_EQ(catalogue.progressWindow, handle);
    std::vector<WPARAM> sent;
    for (const QueueWindow::Handled& handled : window.HandledMessages()) {
        EXPECT_EQ(handled.message, WM_LOADING_PROGRESS);
        sent.push_back(handled.wparam);
    }
    return sent;
}

class CatalogueRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { RegistrySetFolder(m_registry.Path().string()); }
    void TearDown() override { RegistrySetFolder(""); }

private:
    TempDir m_registry;
};
