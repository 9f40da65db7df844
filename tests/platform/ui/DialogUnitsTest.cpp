#include "platform/ui/DialogUnits.h"

#include <QFont>
#include <QFontMetrics>

#include <gtest/gtest.h>

namespace {

TEST(DialogUnitsTest, units_scale_by_a_quarter_of_the_width_and_an_eighth_of_the_height) {
    const DialogUnits units(6, 13);
    EXPECT_EQ(units.ToPixelsX(186), 279);
    EXPECT_EQ(units.ToPixelsY(55), 89);  // 89.375
    EXPECT_EQ(units.ToPixelsX(4), 6);
    EXPECT_EQ(units.ToPixelsY(8), 13);
    EXPECT_EQ(units.ToPixels(54, 7, 77, 13), QRect(81, 11, 116, 21));
}

TEST(DialogUnitsTest, mul_div_rounds_half_away_from_zero_like_windows) {
    EXPECT_EQ(MulDiv(7, 13, 8), 11);  // 11.375
    EXPECT_EQ(MulDiv(5, 3, 2), 8);    // 7.5
    EXPECT_EQ(MulDiv(-5, 3, 2), -8);  // -7.5
    EXPECT_EQ(MulDiv(5, -3, -2), 8);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(0x7FFFFFFF, 4, 1), -1);  // out of range
    EXPECT_EQ(MulDiv(0x7FFFFFFF, 2, 2), 0x7FFFFFFF);
}

TEST(DialogUnitsTest, base_units_come_from_the_fonts_average_letter_width_and_height) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const DialogUnits units = DialogUnits::FromFont(font);
    EXPECT_EQ(units.BaseX(), (letters / 26 + 1) / 2);
    EXPECT_EQ(units.BaseY(), metrics.height());
    EXPECT_GT(units.BaseX(), 2);

    QFont larger = font;
    larger.setPointSize(16);
    EXPECT_GT(DialogUnits::FromFont(larger).BaseY(), units.BaseY());
}

TEST(DialogUnitsTest, degenerate_base_units_are_kept_positive) {
    const DialogUnits units(0, -3);
    EXPECT_EQ(units.BaseX(), 1);
    EXPECT_EQ(units.BaseY(), 1);
}

}  // namespace
