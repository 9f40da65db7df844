#include "platform/ui/Painting.h"

#include <vector>

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QPainter>

#include <gtest/gtest.h>

#include "platform/ui/DialogUnits.h"
#include "platform/ui/Resources.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowGeometry.h"
#include "tests/platform/ui/InputEvents.h"
#include "tests/platform/ui/ModalDriver.h"
#include "tests/platform/ui/ScriptedDialog.h"

namespace {

constexpr QRgb kUntouched = 0xFFFF00FF;  // magenta: what no painting put there

// The program's pictures: a 158 by 90 logo (PNG data, as a program builds it in) and a
// 32 by 32 icon (pixels, its corners transparent).
void RegisterPictures() {
    QImage logo(158, 90, QImage::Format_RGB32);
    logo.fill(qRgb(10, 20, 30));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(logo.save(&buffer, "PNG"));
    ASSERT_TRUE(RegisterBitmapResource(141, png.constData(), static_cast<size_t>(png.size())));
    std::vector<COLORREF> icon(32 * 32, RGB(0, 128, 0));
    icon[0] = RGB(255, 0, 255);
    ASSERT_TRUE(RegisterIconResource(128, 32, 32, icon.data(), RGB(255, 0, 255)));
    ASSERT_TRUE(RegisterStringResource(101, "&A propos de TKV..."));
}

// The video area's rectangle in the dialog's client coordinates, as the main window takes it.
RECT VideoRect(HWND dialog) {
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, kVideo), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST(ResourcesTest, pictures_and_strings_load_by_number_or_by_name) {
    RegisterPictures();
    char text[64];
    EXPECT_EQ(LoadStringA(nullptr, 101, text, sizeof(text)), 19);
    EXPECT_STREQ(text, "&A propos de TKV...");
    EXPECT_EQ(LoadStringA(nullptr, 101, text, 3), 2);
    EXPECT_STREQ(text, "&A");
    EXPECT_EQ(LoadStringA(nullptr, 999, text, sizeof(text)), 0);
    EXPECT_STREQ(text, "");

    const HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(128));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconA(nullptr, "#128"), icon);
    EXPECT_EQ(LoadIconA(nullptr, "#12x"), nullptr);
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(129)), nullptr);
    EXPECT_EQ(LoadBitmapA(nullptr, MAKEINTRESOURCEA(128)), nullptr);  // an icon, not a bitmap
    SIZE size{};
    ASSERT_TRUE(GetPictureSize(LoadBitmapA(nullptr, MAKEINTRESOURCEA(141)), &size));
    EXPECT_EQ(size.cx, 158);
    EXPECT_EQ(size.cy, 90);
    EXPECT_FALSE(GetPictureSize(reinterpret_cast<HGDIOBJ>(&size), &size));

    const char junk[] = "not a picture";
    EXPECT_FALSE(RegisterBitmapResource(142, junk, sizeof(junk)));
    EXPECT_FALSE(RegisterIconResource(143, 0, 32, nullptr));
    // A number registered again serves the new picture; the old handle stays usable.
    std::vector<COLORREF> small(16 * 16, RGB(1, 2, 3));
    ASSERT_TRUE(RegisterIconResource(128, 16, 16, small.data()));
    EXPECT_NE(LoadIconA(nullptr, MAKEINTRESOURCEA(128)), icon);
    EXPECT_TRUE(DestroyIcon(icon));
    RegisterPictures();
}

TEST(PaintingTest, picture_statics_take_their_pictures_size) {
    RegisterPictures();
    ScriptedDialog dialog(CommonControlsTemplate());
    dialog.on_init = [&] {
        HWND logo = dialog.GetDlgItem(kLogo);
        auto* label = static_cast<QLabel*>(WidgetOf(logo));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->pixmap().size(), QSize(158, 90));
        EXPECT_EQ(label->contentsRect().size(), QSize(158, 90));
        const DialogUnits units = DialogUnits::FromFont(label->window()->font());
        EXPECT_EQ(label->pos(), QPoint(units.ToPixelsX(7), units.ToPixelsY(7)));
        auto* icon = static_cast<QLabel*>(WidgetOf(dialog.GetDlgItem(kAppIcon)));
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(icon->pixmap().size(), QSize(32, 32));

        const HBITMAP before = LoadBitmapA(nullptr, MAKEINTRESOURCEA(141));
        EXPECT_EQ(SendMessageA(logo, STM_GETIMAGE, IMAGE_BITMAP, 0),
                  reinterpret_cast<LRESULT>(before));
        EXPECT_EQ(SendMessageA(logo, STM_GETIMAGE, IMAGE_ICON, 0), 0);
        EXPECT_EQ(SendMessageA(logo, STM_SETIMAGE, IMAGE_BITMAP, 0),
                  reinterpret_cast<LRESULT>(before));
        EXPECT_TRUE(label->pixmap().isNull());
        dialog.EndDialog(IDOK);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
}

TEST(PaintingTest, the_background_erase_leaves_out_the_rectangle_the_dialog_excludes) {
    ModalWatchdog watchdog;
    ScriptedDialog dialog(CommonControlsTemplate());
    std::vector<UINT> order;
    RECT excluded{};
    int region = ERROR;
    dialog.on_message = [&](UINT message, WPARAM wparam, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_PAINT) order.push_back(message);
        if (message != WM_ERASEBKGND) return std::nullopt;
        order.push_back(message);
        excluded = VideoRect(dialog.GetSafeHwnd());
        region = ExcludeClipRect(reinterpret_cast<HDC>(wparam), excluded.left, excluded.top,
                                 excluded.right, excluded.bottom);
        return std::nullopt;  // the framework erases the rest
    };
    QImage painted;
    WhenModal([&](QWidget* modal) {
        painted = QImage(modal->size(), QImage::Format_ARGB32);
        painted.fill(kUntouched);
        modal->render(&painted, QPoint(), QRegion(), QWidget::RenderFlags());  // no children
        dialog.EndDialog(IDOK);
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(watchdog.Fired());
    ASSERT_GE(order.size(), 2u);
    EXPECT_EQ(order[0], static_cast<UINT>(WM_PAINT));  // BeginPaint has the background erased
    EXPECT_EQ(order[1], static_cast<UINT>(WM_ERASEBKGND));
    EXPECT_EQ(region, COMPLEXREGION);
    ASSERT_FALSE(painted.isNull());
    const QRect video(QPoint(excluded.left, excluded.top),
                      QPoint(excluded.right - 1, excluded.bottom - 1));
    EXPECT_GT(video.width(), 50);
    EXPECT_EQ(painted.pixel(video.center()), kUntouched);
    EXPECT_EQ(painted.pixel(video.topLeft()), kUntouched);
    EXPECT_NE(painted.pixel(video.topLeft() - QPoint(1, 1)), kUntouched);
    EXPECT_NE(painted.pixel(video.bottomRight() + QPoint(1, 1)), kUntouched);
}

TEST(PaintingTest, begin_paint_hands_out_a_context_only_while_painting) {
    ModalWatchdog watchdog;
    RegisterPictures();
    ScriptedDialog dialog(CommonControlsTemplate());
    HDC during = nullptr;
    BOOL drawn = FALSE;
    bool erased_first = false;
    dialog.on_message = [&](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_ERASEBKGND) erased_first = during == nullptr;
        if (message != WM_PAINT) return std::nullopt;
        PAINTSTRUCT paint;
        during = BeginPaint(dialog.GetSafeHwnd(), &paint);
        drawn = DrawIcon(paint.hdc, 0, 0, LoadIconA(nullptr, MAKEINTRESOURCEA(128)));
        EndPaint(dialog.GetSafeHwnd(), &paint);
        return 0;
    };
    dialog.on_init = [&] {
        PAINTSTRUCT paint;
        EXPECT_EQ(BeginPaint(dialog.GetSafeHwnd(), &paint), nullptr);
    };
    WhenModal([&](QWidget* modal) {
        QImage image(modal->size(), QImage::Format_ARGB32);
        modal->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        dialog.EndDialog(IDOK);
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(watchdog.Fired());
    ASSERT_NE(during, nullptr);
    EXPECT_TRUE(erased_first);
    EXPECT_TRUE(drawn);
    // That paint is over: its context names nothing any more.
    EXPECT_EQ(ExcludeClipRect(during, 0, 0, 1, 1), ERROR);
    EXPECT_FALSE(DrawIcon(during, 0, 0, LoadIconA(nullptr, MAKEINTRESOURCEA(128))));
}

TEST(PaintingTest, the_icon_comes_from_wm_seticon_or_else_from_wm_querydragicon) {
    ModalWatchdog watchdog;
    RegisterPictures();
    const HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(128));
    for (const bool set_at_start : {true, false}) {
        ScriptedDialog dialog;
        int queried = 0;
        dialog.on_message = [&](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (message != WM_QUERYDRAGICON) return std::nullopt;
            ++queried;
            return reinterpret_cast<LRESULT>(icon);
        };
        dialog.on_init = [&] {
            if (!set_at_start) return;
            HWND self = dialog.GetSafeHwnd();
            EXPECT_EQ(SendMessageA(self, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon)), 0);
            EXPECT_EQ(SendMessageA(self, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon)),
                      0);
        };
        bool has_icon = false;
        WhenModal([&](QWidget* modal) {
            has_icon = !modal->windowIcon().isNull();
            dialog.EndDialog(IDOK);
        });
        ASSERT_EQ(dialog.DoModal(), IDOK);
        EXPECT_TRUE(has_icon);
        EXPECT_EQ(queried, set_at_start ? 0 : 1);
    }
    EXPECT_FALSE(watchdog.Fired());
}

TEST(PaintingTest, control_rectangles_and_styles_are_as_the_template_gives_them) {
    ScriptedDialog dialog(CommonControlsTemplate());
    dialog.on_init = [&] {
        HWND self = dialog.GetSafeHwnd();
        HWND video = dialog.GetDlgItem(kVideo);
        QWidget* frame = WidgetOf(self);
        ASSERT_NE(frame, nullptr);
        const DialogUnits units = DialogUnits::FromFont(frame->font());
        const RECT rect = VideoRect(self);
        EXPECT_EQ(QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1)),
                  units.ToPixels(7, 70, 100, 60));
        RECT client{};
        ASSERT_TRUE(GetClientRect(video, &client));
        EXPECT_EQ(client.right, rect.right - rect.left);
        POINT point{5, 6};
        ASSERT_TRUE(ClientToScreen(video, &point));
        ASSERT_TRUE(ScreenToClient(self, &point));
        EXPECT_EQ(point.x, rect.left + 5);
        EXPECT_EQ(point.y, rect.top + 6);
        EXPECT_FALSE(IsIconic(self));

        // The video area gets the clip-children style, as the graph's video window asks.
        const LONG style = GetWindowLongA(video, GWL_STYLE);
        EXPECT_EQ(style & static_cast<LONG>(SS_TYPEMASK), static_cast<LONG>(SS_BLACKRECT));
        EXPECT_EQ(SetWindowLongA(video, GWL_STYLE, style | static_cast<LONG>(WS_CLIPCHILDREN)),
                  style);
        EXPECT_TRUE(GetWindowLongA(video, GWL_STYLE) & static_cast<LONG>(WS_CLIPCHILDREN));
        EXPECT_EQ(GetWindowLongA(video, GWL_ID), kVideo);
        EXPECT_EQ(GetWindowLongA(self, GWL_STYLE) & static_cast<LONG>(WS_SYSMENU),
                  static_cast<LONG>(WS_SYSMENU));
        dialog.EndDialog(IDOK);
    };
    ASSERT_EQ(dialog.DoModal(), IDOK);
}

}  // namespace
