// tkv_catalogue_bench: the time the filter catalogue takes to gather (Enumerate, with no
// window, so no dialog is drawn) over the platform's stock registrations and the program's
// source filter, and with extra filters and DMOs registered on top: arguments are the number
// of extra filters and of extra DMOs. Every extra DMO can be wrapped, so each one costs what a
// real one does (the wrapper and the object are made and released). The registry lives in a
// temporary folder made for each size.
#include <cstdio>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "catalogue/FilterCatalogue.h"
#include "engine/TimeStretchRegistration.h"
#include "platform/com/objbase.h"
#include "platform/media/base/CClassFactory.h"
#include "platform/media/dmowrapper/GainMediaObject.h"
#include "platform/media/uuids.h"
#include "platform/registry/RegistrySetup.h"
#include "tests/catalogue/CatalogueRegistry.h"
#include "tests/support/TempDir.h"

namespace {

constexpr int kMostDmos = 100;

GUID Numbered(DWORD family, DWORD number) {
    GUID id = MakeGuid("00000000-7C4B-4E1A-9A3F-5D2B8E6C1F00");
    id.Data1 = family;
    id.Data4[6] = static_cast<BYTE>(number >> 8);
    id.Data4[7] = static_cast<BYTE>(number);
    return id;
}

// The extra DMOs' classes, each made as the stock "Gain" object is.
const std::vector<CLSID>& ExtraDmoClasses() {
    static const std::vector<CLSID> classes = [] {
        std::vector<CLSID> ids;
        for (int i = 0; i < kMostDmos; ++i)
            ids.push_back(Numbered(0xD0D0D0D0, i));
        return ids;
    }();
    return classes;
}

void MakeExtraDmosCreatable() {
    static const std::vector<CFactoryTemplate> templates = [] {
        std::vector<CFactoryTemplate> table;
        for (const CLSID& id : ExtraDmoClasses()) {
            table.push_back(
                {u"Bench DMO", &id, &GainMediaObject::CreateInstance, nullptr, nullptr});
        }
        CClassFactory::RegisterBuiltIn(table.data(), static_cast<int>(table.size()));
        return table;
    }();
}

void WriteExtraRegistrations(int filters, int dmos) {
    using namespace catalogue_registry;
    for (int i = 0; i < filters; ++i) {
        char clsid[CHARS_IN_GUID];
        const GUID id = Numbered(0xF1F1F1F1, i);
        std::snprintf(clsid, sizeof clsid, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                      id.Data1, id.Data2, id.Data3, id.Data4[0], id.Data4[1], id.Data4[2],
                      id.Data4[3], id.Data4[4], id.Data4[5], id.Data4[6], id.Data4[7]);
        AddFilterInstance(clsid, ("Bench Filter " + std::to_string(i)).c_str());
    }
    const GUID* categories[] = {&DMOCATEGORY_AUDIO_EFFECT, &DMOCATEGORY_VIDEO_EFFECT,
                                &DMOCATEGORY_AUDIO_DECODER, &DMOCATEGORY_VIDEO_DECODER};
    for (int i = 0; i < dmos && i < kMostDmos; ++i) {
        AddDmo(u"Bench DMO", ExtraDmoClasses()[i], *categories[i % 4]);
    }
}

void BM_CatalogueEnumerate(benchmark::State& state) {
    const int filters = static_cast<int>(state.range(0));
    const int dmos = static_cast<int>(state.range(1));
    MakeExtraDmosCreatable();
    TempDir registry;
    RegistrySetFolder(registry.Path().string());
    CoInitialize(nullptr);
    if (FAILED(TimeStretchRegistration::Register(nullptr))) {
        state.SkipWithError("the source filter could not be registered");
    }
    WriteExtraRegistrations(filters, dmos);
    size_t entries = 0;
    for (auto _ : state) {
        FilterCatalogue catalogue;
        FilterCatalogue::Enumerate(nullptr, &catalogue);
        entries = 0;
        for (const CatalogueEntry* entry = catalogue.head; entry; entry = entry->next)
            ++entries;
        benchmark::DoNotOptimize(entries);
    }
    state.counters["entries"] = static_cast<double>(entries);
    CoUninitialize();
    RegistrySetFolder("");
}

}  // namespace

BENCHMARK(BM_CatalogueEnumerate)
    ->Args({0, 0})
    ->Args({250, 50})
    ->Args({500, 100})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
