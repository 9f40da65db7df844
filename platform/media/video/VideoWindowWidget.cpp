#include "platform/media/video/VideoWindowWidget.h"

#include <utility>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/ui/QtWindow.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowMessages.h"

namespace {

// Win32 values the platform headers do not declare: the middle button's messages, the key
// state flags of a mouse message's first parameter, and virtual keys.
constexpr UINT kMiddleButtonDown = 0x0207;
constexpr UINT kMiddleButtonUp = 0x0208;
constexpr UINT kMiddleButtonDoubleClick = 0x0209;
constexpr UINT kRightButtonDoubleClick = 0x0206;
constexpr WPARAM kLeftButtonHeld = 0x0001;
constexpr WPARAM kRightButtonHeld = 0x0002;
constexpr WPARAM kShiftHeld = 0x0004;
constexpr WPARAM kControlHeld = 0x0008;
constexpr WPARAM kMiddleButtonHeld = 0x0010;

struct KeyPair {
    int qt;
    UINT virtual_key;
};

constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09},      {Qt::Key_Return, 0x0D},
    {Qt::Key_Enter, 0x0D},     {Qt::Key_Shift, 0x10},    {Qt::Key_Control, 0x11},
    {Qt::Key_Alt, 0x12},       {Qt::Key_Escape, 0x1B},   {Qt::Key_Space, 0x20},
    {Qt::Key_PageUp, 0x21},    {Qt::Key_PageDown, 0x22}, {Qt::Key_End, 0x23},
    {Qt::Key_Home, 0x24},      {Qt::Key_Left, 0x25},     {Qt::Key_Up, 0x26},
    {Qt::Key_Right, 0x27},     {Qt::Key_Down, 0x28},     {Qt::Key_Insert, 0x2D},
    {Qt::Key_Delete, 0x2E},
};

// 0 for a key with no virtual key.
UINT VirtualKey(int key) {
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z)) {
        return static_cast<UINT>(key);  // the same codes
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70 + static_cast<UINT>(key - Qt::Key_F1);
    for (const KeyPair& pair : kKeys) {
        if (pair.qt == key) return pair.virtual_key;
    }
    return 0;
}

WPARAM MouseKeyFlags(const QMouseEvent* event) {
    WPARAM flags = 0;
    if (event->buttons() & Qt::LeftButton) flags |= kLeftButtonHeld;
    if (event->buttons() & Qt::RightButton) flags |= kRightButtonHeld;
    if (event->buttons() & Qt::MiddleButton) flags |= kMiddleButtonHeld;
    if (event->modifiers() & Qt::ShiftModifier) flags |= kShiftHeld;
    if (event->modifiers() & Qt::ControlModifier) flags |= kControlHeld;
    return flags;
}

// The message of a button going down (0: a button without one).
UINT ButtonMessage(Qt::MouseButton button, UINT left, UINT right, UINT middle) {
    switch (button) {
        case Qt::LeftButton:
            return left;
        case Qt::RightButton:
            return right;
        case Qt::MiddleButton:
            return middle;
        default:
            return 0;
    }
}

QColor FromColorRef(long color) {
    const auto value = static_cast<unsigned long>(color);
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

}  // namespace

VideoWindowWidget::VideoWindowWidget(std::shared_ptr<VideoFrameStore> store)
    : m_store(std::move(store)) {
    setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel is painted
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
    m_store->AttachWindow(this);
}

VideoWindowWidget::~VideoWindowWidget() {
    m_store->DetachWindow(this);
}

void VideoWindowWidget::Apply(const VideoWindowState& state) {
    ApplyParent(state.owner);
    setWindowTitle(
        QString::fromUtf16(state.caption.data(), static_cast<qsizetype>(state.caption.size())));
    m_drain = state.drain;
    m_border = FromColorRef(state.border_color);
    if (state.cursor_hidden) {
        setCursor(Qt::BlankCursor);
    } else {
        unsetCursor();
    }
    if (geometry() != state.position) setGeometry(state.position);
    ApplyVisibility(state);
    update();
}

void VideoWindowWidget::ApplyParent(HWND owner) {
    if (owner == m_owner) return;
    QWidget* parent = nullptr;
    if (owner) {
        QtWindow* window = QtWindow::FromHandle(owner);
        parent = window ? window->Widget() : nullptr;
        if (!parent) return;
    }
    m_owner = owner;
    // Changing the parent hides the window; ApplyVisibility shows it again when it should be.
    setParent(parent, parent ? Qt::Widget : Qt::Window);
}

void VideoWindowWidget::ApplyVisibility(const VideoWindowState& state) {
    if (!state.visible) {
        hide();
        return;
    }
    if (isWindow()) {
        Qt::WindowStates window_state = Qt::WindowNoState;
        if (state.minimized) window_state = Qt::WindowMinimized;
        if (state.maximized) window_state = Qt::WindowMaximized;
        setWindowState(window_state);
    }
    show();
}

void VideoWindowWidget::ReadBack(VideoWindowState* state) const {
    state->position = geometry();
    state->visible = !isHidden();
    state->minimized = isWindow() && isMinimized();
    state->maximized = isWindow() && isMaximized();
}

void VideoWindowWidget::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QImage image = m_store->Image();
    if (image.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    const QRect target = m_store->Destination().value_or(rect());
    const QRect source = m_store->Source();
    painter.fillRect(rect(), m_border);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image, source);
}

void VideoWindowWidget::mousePressEvent(QMouseEvent* event) {
    PostMouse(ButtonMessage(event->button(), WM_LBUTTONDOWN, WM_RBUTTONDOWN, kMiddleButtonDown),
              event);
}

void VideoWindowWidget::mouseReleaseEvent(QMouseEvent* event) {
    PostMouse(ButtonMessage(event->button(), WM_LBUTTONUP, WM_RBUTTONUP, kMiddleButtonUp), event);
}

void VideoWindowWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    PostMouse(ButtonMessage(event->button(), WM_LBUTTONDBLCLK, kRightButtonDoubleClick,
                            kMiddleButtonDoubleClick),
              event);
}

void VideoWindowWidget::mouseMoveEvent(QMouseEvent* event) {
    PostMouse(WM_MOUSEMOVE, event);
}

void VideoWindowWidget::keyPressEvent(QKeyEvent* event) {
    PostKey(WM_KEYDOWN, event);
}

void VideoWindowWidget::keyReleaseEvent(QKeyEvent* event) {
    PostKey(WM_KEYUP, event);
}

void VideoWindowWidget::PostMouse(UINT message, const QMouseEvent* event) {
    if (!m_drain || message == 0) return;
    const QPoint at = event->position().toPoint();
    PostMessageA(m_drain, message, MouseKeyFlags(event),
                 MAKELPARAM(static_cast<WORD>(at.x()), static_cast<WORD>(at.y())));
}

void VideoWindowWidget::PostKey(UINT message, const QKeyEvent* event) {
    const UINT key = VirtualKey(event->key());
    if (!m_drain || key == 0) return;
    // Repeat count 1; a key going up also has its previous-state and transition bits.
    const LPARAM flags = message == WM_KEYUP ? static_cast<LPARAM>(0xC0000001u) : 1;
    PostMessageA(m_drain, message, key, flags);
}
