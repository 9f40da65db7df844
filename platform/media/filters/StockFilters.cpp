#include "platform/media/filters/StockFilters.h"

#include <iterator>
#include <string>
#include <vector>

#include "platform/media/base/CClassFactory.h"
#include "platform/media/base/CFactoryTemplate.h"
#include "platform/media/base/MediaBaseClasses.h"
#include "platform/media/filters/AsyncFileSource.h"
#include "platform/media/filters/AudioRendererFilter.h"
#include "platform/media/filters/NullRendererFilter.h"
#include "platform/media/filters/WaveParserFilter.h"
#include "platform/media/graph/FilterRegistry.h"
#include "platform/media/graph/RegKey.h"
#include "platform/media/uuids.h"

namespace {

constexpr char kFileSourceName[] = "File Source (Async.)";
constexpr char kWaveParserName[] = "Wave Parser";
constexpr char kNullRendererName[] = "Null Renderer";
constexpr char kAudioRendererName[] = "Default DirectSound Device";

const CFactoryTemplate kTemplates[] = {
    {u"File Source (Async.)", &CLSID_AsyncReader, &AsyncFileSource::CreateInstance, nullptr,
     nullptr},
    {u"Wave Parser", &CLSID_WAVEParser, &WaveParserFilter::CreateInstance, nullptr, nullptr},
    {u"Null Renderer", &CLSID_NullRenderer, &NullRendererFilter::CreateInstance, nullptr, nullptr},
    {u"Default DirectSound Device", &CLSID_DSoundRender, &AudioRendererFilter::CreateInstance,
     nullptr, nullptr},
};

RegisteredPin Pin(const char16_t* name, bool output, bool rendered,
                  std::vector<RegisteredMediaType> types) {
    RegisteredPin pin;
    pin.name = name;
    pin.output = output;
    pin.rendered = rendered;
    pin.types = std::move(types);
    return pin;
}

FilterRecord FileSourceRecord() {
    return {MERIT_UNLIKELY, {Pin(u"Output", true, false, {{MEDIATYPE_Stream, GUID_NULL}})}};
}

FilterRecord WaveParserRecord() {
    return {MERIT_UNLIKELY,
            {Pin(u"input", false, false, {{MEDIATYPE_Stream, MEDIASUBTYPE_WAVE}}),
             Pin(u"output", true, false, {{MEDIATYPE_Audio, GUID_NULL}})}};
}

// Never picked by the graph on its own: it would swallow any stream.
FilterRecord NullRendererRecord() {
    return {MERIT_DO_NOT_USE, {Pin(u"In", false, true, {{GUID_NULL, GUID_NULL}})}};
}

FilterRecord AudioRendererRecord() {
    return {
        MERIT_PREFERRED,
        {Pin(u"Audio Input pin (rendered)", false, true, {{MEDIATYPE_Audio, MEDIASUBTYPE_PCM}})}};
}

HRESULT WriteClassKey(const CLSID& clsid, const std::string& name) {
    RegKey key;
    LONG status = key.Create(HKEY_CLASSES_ROOT, "CLSID\\" + FilterRegistry::GuidText(clsid));
    if (status == ERROR_SUCCESS) status = key.SetString(nullptr, name);
    return HRESULT_FROM_WIN32(static_cast<DWORD>(status));
}

HRESULT WriteFilter(const CLSID& category, const std::string& instance, const CLSID& clsid,
                    const std::string& name, const FilterRecord& record) {
    const HRESULT hr = WriteClassKey(clsid, name);
    if (FAILED(hr)) return hr;
    return FilterRegistry::Write(category, instance, clsid, name, record);
}

}  // namespace

void RegisterStockFilterClasses() {
    // The parser and the file source hand out the base classes' memory allocators.
    RegisterMediaBaseClasses();
    CClassFactory::RegisterBuiltIn(kTemplates, static_cast<int>(std::size(kTemplates)));
}

HRESULT WriteStockFilterRegistrations() {
    const CLSID& filters = CLSID_LegacyAmFilterCategory;
    const auto instance = [](const CLSID& clsid) { return FilterRegistry::GuidText(clsid); };
    HRESULT hr = WriteFilter(filters, instance(CLSID_AsyncReader), CLSID_AsyncReader,
                             kFileSourceName, FileSourceRecord());
    if (SUCCEEDED(hr)) {
        hr = WriteFilter(filters, instance(CLSID_WAVEParser), CLSID_WAVEParser, kWaveParserName,
                         WaveParserRecord());
    }
    if (SUCCEEDED(hr)) {
        hr = WriteFilter(filters, instance(CLSID_NullRenderer), CLSID_NullRenderer,
                         kNullRendererName, NullRendererRecord());
    }
    if (SUCCEEDED(hr)) {
        hr = WriteFilter(CLSID_AudioRendererCategory, kAudioRendererName, CLSID_DSoundRender,
                         kAudioRendererName, AudioRendererRecord());
    }
    return hr;
}
