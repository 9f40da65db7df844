// What a person does with the mouse and the keyboard, as Qt events sent straight to a widget
// (for a list view, to its viewport), and a dialog template with the common controls.
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWidget>

#include "platform/ui/CommonControls.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/MessageBox.h"

constexpr int kListView = 300;
constexpr int kSlider = 301;
constexpr int kCombo = 302;
constexpr int kLogo = 303;
constexpr int kVideo = 304;
constexpr int kGroup = 305;
constexpr int kAppIcon = 306;

inline DialogTemplate CommonControlsTemplate() {
    DialogTemplate t;
    t.resource_id = 901;
    t.caption = "Common Controls";
    t.cx = 300;
    t.cy = 200;
    t.controls = {
        {kLogo, ControlKind::Static, "#141", 7, 7, 105, 55, SS_BITMAP | SS_SUNKEN | WS_BORDER},
        {kAppIcon, ControlKind::Static, "#128", 120, 7, 20, 20, SS_ICON},
        {kListView, ControlKind::ListView, "", 150, 7, 140, 60, LVS_REPORT | WS_BORDER},
        {kVideo, ControlKind::Static, "", 7, 70, 100, 60, SS_BLACKRECT},
        {kSlider, ControlKind::Slider, "", 7, 135, 140, 12, TBS_NOTICKS | WS_TABSTOP},
        {kGroup, ControlKind::GroupBox, "Current &Event", 150, 75, 140, 60, 0},
        {kCombo,
         ControlKind::ComboBox,
         "",
         160,
         90,
         80,
         60,
         CBS_DROPDOWN | CBS_SORT | WS_VSCROLL,
         {"30", "23.97", "25", "29.97", "24"}},
        {IDOK, ControlKind::PushButton, "OK", 240, 180, 50, 14, BS_DEFPUSHBUTTON},
        {IDCANCEL, ControlKind::PushButton, "Cancel", 185, 180, 50, 14, 0},
    };
    return t;
}

inline void SendMouse(QWidget* target, QEvent::Type type, QPoint at,
                      Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::MouseButtons() : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

inline void Click(QWidget* target, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    SendMouse(target, QEvent::MouseButtonPress, at, button);
    SendMouse(target, QEvent::MouseButtonRelease, at, button);
}

// The pixel of the slider's groove where the thumb's centre stands at `value`.
inline QPoint SliderPoint(QSlider* slider, int value) {
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = value;
    option.sliderValue = value;
    return slider->style()
        ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
        .center();
}

inline void SendKey(QWidget* target, Qt::Key key, QEvent::Type type = QEvent::KeyPress,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(type, key, modifiers);
    QApplication::sendEvent(target, &event);
}

inline void TapKey(QWidget* target, Qt::Key key) {
    SendKey(target, key, QEvent::KeyPress);
    SendKey(target, key, QEvent::KeyRelease);
}
