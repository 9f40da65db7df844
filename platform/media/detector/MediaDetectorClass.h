// Makes the media detector (CLSID_MediaDet) creatable with CoCreateInstance.
// Order of use: once at start-up, before the first detector is created.
// Threading: any thread.
#pragma once

void RegisterMediaDetectorClass();
