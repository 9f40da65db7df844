// The AM_MEDIA_TYPE memory rules as functions. A record's format block (and pUnk) belong to
// the record; blocks are task memory, so a record filled here may be freed by any module.
//   AM_MEDIA_TYPE type;  pin->ConnectionMediaType(&type);  ...  FreeMediaType(type);
//   AM_MEDIA_TYPE* copy = CreateMediaType(&type);  ...  DeleteMediaType(copy);
// Threading: any thread; a record is used by one thread at a time.
#pragma once

#include "platform/media/strmif.h"

// Frees the format block and releases pUnk, leaving the record with neither.
void FreeMediaType(AM_MEDIA_TYPE& type);
// FreeMediaType, then frees the record itself (one CreateMediaType made); null is ignored.
void DeleteMediaType(AM_MEDIA_TYPE* type);
// A deep copy into `target`, whose own blocks must already be free. E_POINTER for null,
// E_OUTOFMEMORY (target left with no format block) when the block cannot be had.
HRESULT CopyMediaType(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE* source);
// A new task-memory record holding a deep copy; null when memory runs out or source is null.
AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* source);
