// A test interface and the test classes' identifiers, shared by the test executable and the
// in-process server module it loads.
#pragma once

#include "platform/com/Unknown.h"

DEFINE_GUID(IID_ITestValue, 0x5B2E3C10, 0x7A41, 0x4C55, 0x9E, 0x01, 0x3D, 0x6F, 0x10, 0x22, 0x48,
            0xA1);
inline constexpr CLSID CLSID_TestBuiltIn = MakeGuid("{5B2E3C11-7A41-4C55-9E01-3D6F102248A1}");
inline constexpr CLSID CLSID_TestInExecutable = MakeGuid("5B2E3C12-7A41-4C55-9E01-3D6F102248A1");
inline constexpr CLSID CLSID_TestInModule = MakeGuid("{5B2E3C13-7A41-4C55-9E01-3D6F102248A1}");
inline constexpr CLSID CLSID_TestUnregistered = MakeGuid("{5B2E3C14-7A41-4C55-9E01-3D6F102248A1}");

struct ITestValue : public IUnknown {
    virtual int Value() = 0;
};
TKV_DECLARE_IID(ITestValue, IID_ITestValue);
