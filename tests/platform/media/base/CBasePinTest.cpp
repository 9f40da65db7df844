// CBasePin, CBaseOutputPin and CBaseInputPin: the unconnected state, media types, the
// connection protocol and its refusals, allocator agreement, and disconnection.
#include <gtest/gtest.h>

#include "platform/media/MediaTypeFunctions.h"
#include "platform/media/base/CMemAllocator.h"
#include "tests/platform/media/base/MediaTestHelpers.h"
#include "tests/platform/media/support/PullSinkFilter.h"
#include "tests/platform/media/support/TestSinkFilter.h"
#include "tests/platform/media/support/TestSourceFilter.h"

namespace {

struct Pair {
    Pair()
        : source(AudioPcmType()),
          sink(MEDIATYPE_Audio),
          output(source->OutputPin()),
          input(sink->InputPin()) {}
    IPin* Output() const { return output; }
    IPin* Input() const { return input; }

    Held<TestSourceFilter> source;
    Held<TestSinkFilter> sink;
    IPin* output;
    IPin* input;
};

// ---- unconnected -------------------------------------------------------------------------

TEST(CBasePinUnconnected, reports_no_peer_and_no_type) {
    Pair pair;
    IPin* peer = reinterpret_cast<IPin*>(1);
    EXPECT_EQ(pair.Output()->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(peer, nullptr);
    AM_MEDIA_TYPE type;
    type.majortype = MEDIATYPE_Video;
    EXPECT_EQ(pair.Input()->ConnectionMediaType(&type), VFW_E_NOT_CONNECTED);
    EXPECT_TRUE(IsEqualGUID(type.majortype, GUID_NULL));
    EXPECT_EQ(pair.Input()->Disconnect(), S_FALSE);
}

TEST(CBasePinUnconnected, output_pin_refuses_input_side_calls) {
    Pair pair;
    EXPECT_EQ(pair.Output()->EndOfStream(), E_UNEXPECTED);
    EXPECT_EQ(pair.Output()->BeginFlush(), E_UNEXPECTED);
    EXPECT_EQ(pair.Output()->EndFlush(), E_UNEXPECTED);
}

TEST(CBasePinUnconnected, input_pin_refuses_samples) {
    Pair pair;
    ComPtr<IMemInputPin> input;
    ASSERT_EQ(pair.sink->InputPin()->QueryInterface(IID_PPV_ARGS(input.GetAddressOf())), S_OK);
    ComPtr<IMemAllocator> allocator;
    ASSERT_EQ(input->GetAllocator(allocator.GetAddressOf()), S_OK);
    ALLOCATOR_PROPERTIES request{1, 8, 1, 0};
    ALLOCATOR_PROPERTIES actual{};
    allocator->SetProperties(&request, &actual);
    allocator->Commit();
    ComPtr<IMediaSample> sample;
    ASSERT_EQ(allocator->GetBuffer(sample.GetAddressOf(), nullptr, nullptr, 0), S_OK);
    EXPECT_EQ(input->Receive(sample.Get()), VFW_E_NOT_CONNECTED);
    allocator->Decommit();
}

// ---- media types -------------------------------------------------------------------------

TEST(CBasePinTypes, enumeration_gives_copies_the_caller_deletes) {
    Pair pair;
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(pair.Output()->EnumMediaTypes(types.GetAddressOf()), S_OK);
    AM_MEDIA_TYPE* got[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(types->Next(2, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_TRUE(IsEqualGUID(got[0]->subtype, MEDIASUBTYPE_PCM));
    DeleteMediaType(got[0]);
    EXPECT_EQ(types->Reset(), S_OK);
    EXPECT_EQ(types->Skip(1), S_OK);
    EXPECT_EQ(types->Skip(1), S_FALSE);
}

TEST(CBasePinTypes, type_enumerator_notices_a_changed_list) {
    Pair pair;
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(pair.Input()->EnumMediaTypes(types.GetAddressOf()), S_OK);
    pair.sink->SetPreferredTypes({AudioPcmType()});
    AM_MEDIA_TYPE* got = nullptr;
    EXPECT_EQ(types->Next(1, &got, nullptr), VFW_E_ENUM_OUT_OF_SYNC);
    types->Reset();
    ASSERT_EQ(types->Next(1, &got, nullptr), S_OK);
    DeleteMediaType(got);
}

TEST(CBasePinTypes, query_accept_asks_the_pin) {
    Pair pair;
    CMediaType audio = AudioPcmType();
    CMediaType video(&MEDIATYPE_Video);
    EXPECT_EQ(pair.Input()->QueryAccept(&audio), S_OK);
    EXPECT_EQ(pair.Input()->QueryAccept(&video), S_FALSE);
    EXPECT_EQ(pair.Input()->QueryAccept(nullptr), E_POINTER);
}

// ---- connecting --------------------------------------------------------------------------

TEST(CBasePinConnect, connects_with_the_output_types_when_the_input_offers_none) {
    NoObjectLeftBehind check;
    Pair pair;
    ASSERT_EQ(pair.Output()->Connect(pair.Input(), nullptr), S_OK);
    ComPtr<IPin> peer;
    ASSERT_EQ(pair.Output()->ConnectedTo(peer.GetAddressOf()), S_OK);
    EXPECT_EQ(peer.Get(), pair.Input());
    ASSERT_EQ(pair.Input()->ConnectedTo(peer.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(peer.Get(), pair.Output());
    AM_MEDIA_TYPE type{};
    ASSERT_EQ(pair.Input()->ConnectionMediaType(&type), S_OK);
    EXPECT_TRUE(IsEqualGUID(type.subtype, MEDIASUBTYPE_PCM));
    FreeMediaType(type);
    peer = nullptr;
    EXPECT_EQ(pair.Output()->Disconnect(), S_OK);
    EXPECT_EQ(pair.Input()->Disconnect(), S_OK);
}

TEST(CBasePinConnect, the_receiving_pins_types_are_tried_first) {
    Pair pair;
    CMediaType other = AudioPcmType();
    other.SetSubtype(&MEDIASUBTYPE_IEEE_FLOAT);
    pair.sink->SetPreferredTypes({other, AudioPcmType()});
    ASSERT_EQ(pair.Output()->Connect(pair.Input(), nullptr), S_OK);
    // The source refuses float, so the sink's second type is the one agreed.
    EXPECT_TRUE(
        IsEqualGUID(*pair.sink->InputPin()->CurrentMediaType().Subtype(), MEDIASUBTYPE_PCM));
    pair.Output()->Disconnect();
    pair.Input()->Disconnect();
}

TEST(CBasePinConnect, a_complete_type_is_used_as_given) {
    Pair pair;
    CMediaType wanted = AudioPcmType();
    wanted.SetFormatType(&FORMAT_None);
    ASSERT_EQ(pair.Output()->Connect(pair.Input(), &wanted), S_OK);
    EXPECT_TRUE(pair.sink->InputPin()->CurrentMediaType() == wanted);
    pair.Output()->Disconnect();
    pair.Input()->Disconnect();
}

TEST(CBasePinConnect, a_partial_type_filters_the_candidates) {
    Pair pair;
    CMediaType video(&MEDIATYPE_Video);
    EXPECT_EQ(pair.Output()->Connect(pair.Input(), &video), VFW_E_NO_ACCEPTABLE_TYPES);
    EXPECT_FALSE(pair.source->OutputPin()->IsConnected());
    EXPECT_FALSE(pair.sink->InputPin()->IsConnected());
    CMediaType audio(&MEDIATYPE_Audio);
    EXPECT_EQ(pair.Output()->Connect(pair.Input(), &audio), S_OK);
    pair.Output()->Disconnect();
    pair.Input()->Disconnect();
}

TEST(CBasePinConnect, a_type_the_receiver_refuses_fails_and_leaves_both_free) {
    Held<TestSourceFilter> source(AudioPcmType());
    Held<TestSinkFilter> sink(MEDIATYPE_Video);
    EXPECT_EQ(source->OutputPin()->Connect(sink->InputPin(), nullptr), VFW_E_NO_ACCEPTABLE_TYPES);
    EXPECT_FALSE(source->OutputPin()->IsConnected());
    EXPECT_FALSE(sink->InputPin()->IsConnected());
    EXPECT_EQ(source->OutputPin()->Allocator(), nullptr);
}

TEST(CBasePinConnect, pins_of_the_same_direction_do_not_connect) {
    Pair pair;
    Held<TestSourceFilter> other(AudioPcmType());
    const CMediaType type = AudioPcmType();
    EXPECT_EQ(pair.Output()->Connect(other->OutputPin(), &type), VFW_E_INVALID_DIRECTION);
}

TEST(CBasePinConnect, connected_pins_refuse_another_connection) {
    Pair pair;
    ASSERT_EQ(pair.Output()->Connect(pair.Input(), nullptr), S_OK);
    Held<TestSinkFilter> second;
    EXPECT_EQ(pair.Output()->Connect(second->InputPin(), nullptr), VFW_E_ALREADY_CONNECTED);
    const CMediaType type = AudioPcmType();
    EXPECT_EQ(pair.Input()->ReceiveConnection(pair.Output(), &type), VFW_E_ALREADY_CONNECTED);
    pair.Output()->Disconnect();
    pair.Input()->Disconnect();
}

TEST(CBasePinConnect, connections_change_only_while_stopped) {
    Pair pair;
    ASSERT_EQ(pair.source->Pause(), S_OK);
    EXPECT_EQ(pair.Output()->Connect(pair.Input(), nullptr), VFW_E_NOT_STOPPED);
    pair.source->Stop();
    ASSERT_EQ(pair.Output()->Connect(pair.Input(), nullptr), S_OK);
    pair.sink->Pause();
    EXPECT_EQ(pair.Input()->Disconnect(), VFW_E_NOT_STOPPED);
    pair.sink->Stop();
    pair.Output()->Disconnect();
    EXPECT_EQ(pair.Input()->Disconnect(), S_OK);
}

TEST(CBasePinConnect, the_output_pin_agrees_an_allocator_sized_by_the_pin) {
    Pair pair;
    pair.source->OutputPin()->buffers = 3;
    pair.source->OutputPin()->buffer_size = 1000;
    ASSERT_EQ(pair.Output()->Connect(pair.Input(), nullptr), S_OK);
    IMemAllocator* used = pair.source->OutputPin()->Allocator();
    ASSERT_NE(used, nullptr);
    EXPECT_EQ(used, pair.sink->InputPin()->Allocator());  // the input pin's own, notified
    ALLOCATOR_PROPERTIES properties{};
    used->GetProperties(&properties);
    EXPECT_EQ(properties.cBuffers, 3);
    EXPECT_GE(properties.cbBuffer, 1000);
    pair.Output()->Disconnect();
    pair.Input()->Disconnect();
    EXPECT_EQ(pair.source->OutputPin()->Allocator(), nullptr);
}

TEST(CBasePinConnect, disconnected_pins_can_connect_again_and_hold_no_reference) {
    NoObjectLeftBehind check;
    Pair pair;
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(pair.Output()->Connect(pair.Input(), nullptr), S_OK);
        ASSERT_EQ(pair.Output()->Disconnect(), S_OK);
        ASSERT_EQ(pair.Input()->Disconnect(), S_OK);
    }
    // Connected pins would keep each other's filters: releasing both must free everything.
}

TEST(CBasePinConnect, a_peer_without_memory_transport_is_refused) {
    NoObjectLeftBehind check;
    Held<TestSourceFilter> source{CMediaType(&MEDIATYPE_Stream)};
    Held<PullSinkFilter> puller(true);  // its input pin reads; it takes no pushed samples
    EXPECT_EQ(source->OutputPin()->Connect(puller->InputPin(), nullptr), VFW_E_NO_TRANSPORT);
    EXPECT_FALSE(source->OutputPin()->IsConnected());
    EXPECT_FALSE(puller->InputPin()->IsConnected());
}

}  // namespace
