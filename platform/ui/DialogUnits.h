// Dialog units to pixels for one dialog font, as Windows computes them: the base units are the
// font's average character width (of the 52 Latin letters, rounded) and its character height;
// x pixels = x units * width / 4 and y pixels = y units * height / 8, rounded to nearest.
// Worked numbers: base 6 by 13, 186 by 55 units are 279 by 89 pixels.
// Threading: plain values; FromFont on the user-interface thread.
#pragma once

#include <QFont>
#include <QRect>

class DialogUnits {
public:
    DialogUnits(int base_x, int base_y);
    static DialogUnits FromFont(const QFont& font);

    int BaseX() const { return m_base_x; }
    int BaseY() const { return m_base_y; }
    int ToPixelsX(int units) const;
    int ToPixelsY(int units) const;
    QRect ToPixels(int x, int y, int cx, int cy) const;

private:
    int m_base_x;
    int m_base_y;
};

// Windows' MulDiv: value * numerator / denominator rounded half away from zero, -1 for a zero
// denominator.
int MulDiv(int value, int numerator, int denominator);
