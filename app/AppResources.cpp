#include "app/AppResources.h"

#include <cstddef>
#include <string>

#include "platform/ui/Resources.h"

namespace {

#include "app/pictures/icon128.xpm"
#include "app/pictures/logo141.xpm"
#include "app/pictures/sign132.xpm"
#include "app/pictures/sign133.xpm"
#include "app/pictures/sign134.xpm"

// The XPM file text of a picture compiled in as its array of rows: the header line gives the
// number of colours and rows that follow it.
template <size_t N>
std::string XpmText(const char* const (&rows)[N]) {
    std::string text = "/* XPM */\nstatic const char* const picture[] = {\n";
    for (size_t i = 0; i < N; ++i) {
        text += '"';
        text += rows[i];
        text += i + 1 < N ? "\",\n" : "\"\n";
    }
    return text + "};\n";
}

template <size_t N>
bool RegisterBitmap(unsigned id, const char* const (&rows)[N]) {
    const std::string text = XpmText(rows);
    return RegisterBitmapResource(id, text.data(), text.size());
}

}  // namespace

bool RegisterAppResources() {
    const std::string icon = XpmText(icon128_xpm);
    bool ok = RegisterIconResource(AppResource::ICON, icon.data(), icon.size());
    ok = RegisterBitmap(AppResource::LOGO, logo141_xpm) && ok;
    ok = RegisterBitmap(AppResource::SIGN_INWARDS, sign132_xpm) && ok;
    ok = RegisterBitmap(AppResource::SIGN_FLAT, sign133_xpm) && ok;
    ok = RegisterBitmap(AppResource::SIGN_OUTWARDS, sign134_xpm) && ok;
    ok = RegisterStringResource(AppResource::ABOUT_ENTRY, "&A propos de TKV...") && ok;
    return ok;
}
