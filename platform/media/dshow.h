// Everything a user of the media framework includes: the streaming and control interfaces,
// event codes, identifiers, video formats, media type memory helpers and automation strings.
// Filter writers include the base classes (platform/media/base) as well.
#pragma once

#include "platform/media/MediaTypeFunctions.h"
#include "platform/media/amvideo.h"
#include "platform/media/control.h"
#include "platform/media/dmodshow.h"
#include "platform/media/evcode.h"
#include "platform/media/objidl.h"
#include "platform/media/ocidl.h"
#include "platform/media/oleauto.h"
#include "platform/media/qedit.h"
#include "platform/media/strmif.h"
#include "platform/media/uuids.h"
#include "platform/media/wtypes.h"
