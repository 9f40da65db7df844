#include "platform/ui/DialogWindow.h"

#include <QFont>
#include <QIcon>
#include <QPixmap>

#include "platform/ui/DeviceContext.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MenuTracker.h"
#include "platform/ui/Painting.h"
#include "platform/ui/QtMenuTracker.h"
#include "platform/ui/QtText.h"
#include "platform/ui/ResourceTable.h"
#include "platform/ui/WindowMessages.h"

DialogWindow::DialogWindow(Dialog& owner, const DialogTemplate& dialog_template, HWND parent)
    : QtWindow(new DialogWidget(ParentWidget(parent))),
      m_owner(owner),
      m_template(dialog_template),
      m_widget(static_cast<DialogWidget*>(Widget())) {
    // Once the program shows dialogs, its menus are shown as Qt menus unless it says otherwise.
    SetDefaultMenuTracker(&QtMenuTracker::Instance());
}

DialogWindow::~DialogWindow() {
    m_controls.clear();
    m_system_menu.reset();
    Detach();
    delete m_widget.data();
}

QWidget* DialogWindow::ParentWidget(HWND parent) {
    QtWindow* window = QtWindow::FromHandle(parent);
    QWidget* widget = window ? window->Widget() : nullptr;
    return widget ? widget->window() : nullptr;
}

HWND DialogWindow::Create() {
    DialogWidget* widget = m_widget.data();
    if (!widget) return nullptr;
    const DialogUnits units = Lay(*widget);
    SetStyle(m_template.style);
    HWND self = Attach(nullptr, 0);
    widget->SetHandle(self);
    for (const ControlTemplate& control : m_template.controls) {
        if (auto window = ControlWindow::Create(control, widget, units, self)) {
            m_controls.push_back(std::move(window));
        }
    }
    return self;
}

DialogUnits DialogWindow::Lay(DialogWidget& widget) const {
    QFont font(ToQString(m_template.font_name));
    font.setPointSize(m_template.font_size > 0 ? m_template.font_size : 8);
    font.setStyleHint(QFont::SansSerif);  // a Windows face that is not installed maps to sans
    widget.setFont(font);
    const DialogUnits units = DialogUnits::FromFont(font);
    widget.setFixedSize(units.ToPixelsX(m_template.cx), units.ToPixelsY(m_template.cy));
    widget.setWindowTitle(ToQString(m_template.caption));

    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (m_template.style & WS_SYSMENU) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    widget.setWindowFlags(flags);
    return units;
}

int DialogWindow::RunModal() {
    DialogWidget* widget = m_widget.data();
    return widget ? widget->exec() : -1;
}

void DialogWindow::End(int result) {
    if (DialogWidget* widget = m_widget.data()) widget->done(result);
}

LRESULT DialogWindow::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    return m_owner.WindowProc(message, wparam, lparam);
}

SystemMenu& DialogWindow::System() {
    if (!m_system_menu) m_system_menu = std::make_unique<SystemMenu>(Handle());
    return *m_system_menu;
}

LRESULT DialogWindow::DefaultProc(UINT message, WPARAM wparam, LPARAM lparam) {
    DialogWidget* widget = m_widget.data();
    switch (message) {
        case WM_SYSCOMMAND:
            if (widget) System().Perform(*widget, wparam);
            return 0;
        case WM_CONTEXTMENU:
            // A right click on the background; the point is in screen coordinates.
            if (widget && reinterpret_cast<HWND>(wparam) == Handle()) {
                const QPoint at(static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lparam))),
                                static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lparam))));
                System().Show(*widget, at);
            }
            return 0;
        case WM_SETICON:
            return SetIcon(wparam, reinterpret_cast<HICON>(lparam));
        case WM_GETICON:
            return reinterpret_cast<LRESULT>(wparam == ICON_BIG ? m_big_icon : m_small_icon);
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(Handle(), &paint);
            EndPaint(Handle(), &paint);
            return 0;
        }
        case WM_ERASEBKGND:
        case WM_ICONERASEBKGND:
            return EraseBackground(wparam);
        case WM_QUERYDRAGICON:
            return 0;
        default:
            return QtWindow::WindowProc(message, wparam, lparam);
    }
}

LRESULT DialogWindow::SetIcon(WPARAM which, HICON icon) {
    HICON& slot = which == ICON_BIG ? m_big_icon : m_small_icon;
    const HICON previous = slot;
    slot = icon;
    QIcon shown;
    for (const HICON each : {m_big_icon, m_small_icon}) {
        const QImage image = ResourceTable::Instance().Image(each);
        if (!image.isNull()) shown.addPixmap(QPixmap::fromImage(image));
    }
    if (DialogWidget* widget = m_widget.data()) widget->setWindowIcon(shown);
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT DialogWindow::EraseBackground(WPARAM dc) {
    DeviceContext* context = DeviceContext::FromHandle(reinterpret_cast<HDC>(dc));
    DialogWidget* widget = m_widget.data();
    if (!context || !widget) return 0;
    context->Fill(widget->palette().window());
    return 1;
}
