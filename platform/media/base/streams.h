// Everything a filter writer includes: the user's headers (interfaces, identifiers) and the
// base classes a filter is built on.
#pragma once

#include "platform/media/base/AMovieSetup.h"
#include "platform/media/base/CAMEvent.h"
#include "platform/media/base/CBaseFilter.h"
#include "platform/media/base/CBaseInputPin.h"
#include "platform/media/base/CBaseOutputPin.h"
#include "platform/media/base/CBasePin.h"
#include "platform/media/base/CBaseRenderer.h"
#include "platform/media/base/CClassFactory.h"
#include "platform/media/base/CEnumMediaTypes.h"
#include "platform/media/base/CEnumPins.h"
#include "platform/media/base/CFactoryTemplate.h"
#include "platform/media/base/CMediaSample.h"
#include "platform/media/base/CMediaType.h"
#include "platform/media/base/CMemAllocator.h"
#include "platform/media/base/CPosPassThru.h"
#include "platform/media/base/CPullPin.h"
#include "platform/media/base/CRendererInputPin.h"
#include "platform/media/base/CUnknown.h"
#include "platform/media/base/MediaBaseClasses.h"
#include "platform/media/dshow.h"
