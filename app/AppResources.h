// The application's built-in resources: icon 128, the logo bitmap 141, the stretch-sign
// bitmaps 132 to 134 (red is their transparent colour) and string 101, the About entry of the
// window menu. The pictures are drawn by scripts/draw-pictures.py into app/pictures.
// Order of use: RegisterAppResources once before the main window is made.
// Threading: any thread, before the resources are loaded.
#pragma once

namespace AppResource {
constexpr unsigned ABOUT_ENTRY = 101;
constexpr unsigned ICON = 128;
constexpr unsigned SIGN_INWARDS = 132;   // stretch above 0
constexpr unsigned SIGN_FLAT = 133;      // stretch exactly 0
constexpr unsigned SIGN_OUTWARDS = 134;  // stretch below 0
constexpr unsigned LOGO = 141;
}  // namespace AppResource

// False when a picture cannot be decoded (a broken build of the pictures).
bool RegisterAppResources();
