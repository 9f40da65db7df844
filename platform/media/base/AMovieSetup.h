// Setup records that describe a filter for registration, and the helpers that register it
// with a filter mapper: with IFilterMapper2 as a version-1 REGFILTER2 in the default filter
// category (CLSID_LegacyAmFilterCategory), or with the older IFilterMapper pin by pin.
//
//   const AMOVIESETUP_MEDIATYPE kTypes[] = {{&MEDIATYPE_Stream, &MEDIASUBTYPE_WAVE}};
//   const AMOVIESETUP_PIN kPins[] = {{u"Output", FALSE, TRUE, FALSE, FALSE, &CLSID_NULL,
//                                     u"Input", 1, kTypes}};
//   const AMOVIESETUP_FILTER kFilter = {&CLSID_Mine, u"Mine", MERIT_UNLIKELY, 1, kPins};
//   AMovieSetupRegisterFilter2(&kFilter, mapper, TRUE);
//
// Unregistering a filter that is not registered (0x80070002, file not found) succeeds.
// Threading: any thread; the mapper serialises its registry writes.
#pragma once

#include "platform/media/strmif.h"

using AMOVIESETUP_MEDIATYPE = REGPINTYPES;
using AMOVIESETUP_PIN = REGFILTERPINS;

struct AMOVIESETUP_FILTER {
    const CLSID* clsID;
    const WCHAR* strName;
    DWORD dwMerit;
    UINT nPins;
    const AMOVIESETUP_PIN* lpPin;
};

// Registers (or, with register_filter FALSE, unregisters) the filter in the default category
// under its class identifier's text.
HRESULT AMovieSetupRegisterFilter2(const AMOVIESETUP_FILTER* setup, IFilterMapper2* mapper,
                                   BOOL register_filter);
// The same through the older mapper: the filter, then each pin and its media types.
HRESULT AMovieSetupRegisterFilter(const AMOVIESETUP_FILTER* setup, IFilterMapper* mapper,
                                  BOOL register_filter);
