// Makes the framework's property pages creatable with CoCreateInstance: the audio renderer's
// page (CLSID_AudioProperties).
// Order of use: once at start-up, before a property frame asks for a page.
// Threading: any thread.
#pragma once

void RegisterPropertyPageClasses();
