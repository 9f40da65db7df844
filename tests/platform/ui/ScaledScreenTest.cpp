// The dialogs on a screen scaled by two, as on a HiDPI monitor: this program makes its
// QApplication itself, with QT_SCALE_FACTOR set first.
#include <cstdlib>
#include <string>

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include <gtest/gtest.h>

#include "platform/ui/DialogUnits.h"
#include "platform/ui/Resources.h"
#include "platform/ui/WindowFunctions.h"
#include "tests/platform/ui/InputEvents.h"
#include "tests/platform/ui/ModalDriver.h"
#include "tests/platform/ui/ScriptedDialog.h"
#include "tests/support/TempDir.h"

namespace {

constexpr qreal kScale = 2.0;

TEST(ScaledScreenTest, the_layout_follows_the_font_and_the_screen_draws_it_twice_as_fine) {
    ASSERT_EQ(qApp->devicePixelRatio(), kScale);
    ModalWatchdog watchdog;
    std::vector<COLORREF> logo(158 * 90, RGB(200, 10, 10));
    ASSERT_TRUE(RegisterBitmapResource(141, 158, 90, logo.data()));
    ScriptedDialog dialog(CommonControlsTemplate());
    QSize logical;
    QImage grabbed;
    QSize logo_shown;
    dialog.on_init = [&] { SetDlgItemTextA(dialog.GetSafeHwnd(), IDCANCEL, "Cancel"); };
    WhenModal([&](QWidget* modal) {
        logical = modal->size();
        grabbed = modal->grab().toImage();
        const DialogUnits units = DialogUnits::FromFont(modal->font());
        EXPECT_EQ(logical, QSize(units.ToPixelsX(300), units.ToPixelsY(200)));
        // Every text fits its control at this scale too.
        for (const int id : {IDOK, IDCANCEL}) {
            auto* button = static_cast<QPushButton*>(WidgetOf(dialog.GetDlgItem(id)));
            ASSERT_NE(button, nullptr);
            EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), button->width());
        }
        auto* label = static_cast<QLabel*>(WidgetOf(dialog.GetDlgItem(kLogo)));
        ASSERT_NE(label, nullptr);
        logo_shown = label->contentsRect().size();
        dialog.EndDialog(IDOK);
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(watchdog.Fired());
    // Laid out in the same units as on any screen, drawn with twice the pixels each way.
    EXPECT_EQ(grabbed.size(), logical * kScale);
    EXPECT_EQ(logo_shown, QSize(158, 90));
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    TempDir registry;
    setenv("TKV_REGISTRY_DIR", registry.Path().c_str(), 1);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
