#include "platform/media/filters/StockFilters.h"

#include <iterator>
#include <string>
#include <vector>

#include "platform/media/base/CClassFactory.h"
#include "platform/media/base/CFactoryTemplate.h"
#include "platform/media/base/MediaBaseClasses.h"
#include "platform/media/filters/AsyncFileSource.h"
#include "platform/media/filters/AudioRendererFilter.h"
#include "platform/media/filters/FileWriterFilter.h"
#include "platform/media/filters/NullRendererFilter.h"
#include "platform/media/filters/WaveParserFilter.h"
#include "platform/media/graph/FilterRegistration.h"
#include "platform/media/graph/FilterRegistry.h"
#include "platform/media/uuids.h"

namespace {

constexpr char kFileSourceName[] = "File Source (Async.)";
constexpr char kWaveParserName[] = "Wave Parser";
constexpr char kNullRendererName[] = "Null Renderer";
constexpr char kAudioRendererName[] = "Default DirectSound Device";
constexpr char kFileWriterName[] = "File Writer";

const CFactoryTemplate kTemplates[] = {
    {u"File Source (Async.)", &CLSID_AsyncReader, &AsyncFileSource::CreateInstance, nullptr,
     nullptr},
    {u"Wave Parser", &CLSID_WAVEParser, &WaveParserFilter::CreateInstance, nullptr, nullptr},
    {u"Null Renderer", &CLSID_NullRenderer, &NullRendererFilter::CreateInstance, nullptr, nullptr},
    {u"Default DirectSound Device", &CLSID_DSoundRender, &AudioRendererFilter::CreateInstance,
     nullptr, nullptr},
    {u"File Writer", &CLSID_FileWriter, &FileWriterFilter::CreateInstance, nullptr, nullptr},
};

FilterRecord FileSourceRecord() {
    return {MERIT_UNLIKELY,
            {MakeRegisteredPin(u"Output", true, false, {{MEDIATYPE_Stream, GUID_NULL}})}};
}

FilterRecord WaveParserRecord() {
    return {MERIT_UNLIKELY,
            {MakeRegisteredPin(u"input", false, false, {{MEDIATYPE_Stream, MEDIASUBTYPE_WAVE}}),
             MakeRegisteredPin(u"output", true, false, {{MEDIATYPE_Audio, GUID_NULL}})}};
}

// Never picked by the graph on its own: it would swallow any stream.
FilterRecord NullRendererRecord() {
    return {MERIT_DO_NOT_USE, {MakeRegisteredPin(u"In", false, true, {{GUID_NULL, GUID_NULL}})}};
}

// Inserted by hand with a file name; the graph never writes a stream to disk on its own.
FilterRecord FileWriterRecord() {
    return {MERIT_DO_NOT_USE, {MakeRegisteredPin(u"in", false, true, {{GUID_NULL, GUID_NULL}})}};
}

FilterRecord AudioRendererRecord() {
    return {MERIT_PREFERRED,
            {MakeRegisteredPin(u"Audio Input pin (rendered)", false, true,
                               {{MEDIATYPE_Audio, MEDIASUBTYPE_PCM}})}};
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
    HRESULT hr = WriteFilterRegistration(filters, instance(CLSID_AsyncReader), CLSID_AsyncReader,
                                         kFileSourceName, FileSourceRecord());
    if (SUCCEEDED(hr)) {
        hr = WriteFilterRegistration(filters, instance(CLSID_WAVEParser), CLSID_WAVEParser,
                                     kWaveParserName, WaveParserRecord());
    }
    if (SUCCEEDED(hr)) {
        hr = WriteFilterRegistration(filters, instance(CLSID_NullRenderer), CLSID_NullRenderer,
                                     kNullRendererName, NullRendererRecord());
    }
    if (SUCCEEDED(hr)) {
        hr = WriteFilterRegistration(filters, instance(CLSID_FileWriter), CLSID_FileWriter,
                                     kFileWriterName, FileWriterRecord());
    }
    if (SUCCEEDED(hr)) {
        hr = WriteFilterRegistration(CLSID_AudioRendererCategory, kAudioRendererName,
                                     CLSID_DSoundRender, kAudioRendererName, AudioRendererRecord());
    }
    return hr;
}
