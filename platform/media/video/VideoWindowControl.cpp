#include "platform/media/video/VideoWindowControl.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QThread>

#include "platform/ui/QtWindow.h"
#include "platform/ui/WindowFunctions.h"
#include "platform/ui/WindowStyles.h"

namespace {

// Win32 values the platform headers do not declare.
constexpr long kClipSiblings = 0x04000000;
constexpr long kClipChildren = 0x02000000;
constexpr long kMinimize = 0x20000000;
constexpr long kMaximize = 0x01000000;
constexpr long kOverlappedWindow = 0x00CF0000;  // caption, system menu, sizing frame, boxes
constexpr long kDefaultStyle = kOverlappedWindow | kClipChildren | kClipSiblings;
// Styles a video window cannot take.
constexpr long kRefusedStyles =
    static_cast<long>(WS_DISABLED | WS_HSCROLL | WS_VSCROLL) | kMinimize | kMaximize;

// ShowWindow commands.
constexpr long kHide = 0;
constexpr long kShowNormal = 1;
constexpr long kShowMinimized = 2;
constexpr long kMaximizeWindow = 3;
constexpr long kShowNoActivate = 4;
constexpr long kShow = 5;
constexpr long kMinimizeWindow = 6;
constexpr long kShowMinNoActive = 7;
constexpr long kShowNa = 8;
constexpr long kRestore = 9;
constexpr long kShowDefault = 10;

// Qt keeps coordinates in int; far beyond any screen anyway.
constexpr long kMinCoordinate = -(1L << 24);
constexpr long kMaxCoordinate = 1L << 24;

bool IsBoolean(long value) {
    return value == OATRUE || value == OAFALSE;
}

long ToBoolean(bool value) {
    return value ? OATRUE : OAFALSE;
}

}  // namespace

VideoWindowControl::VideoWindowControl(IUnknown* owner, const CBasePin* input,
                                       std::shared_ptr<VideoFrameStore> store)
    : m_owner(owner),
      m_input(input),
      m_store(std::move(store)),
      m_state(std::make_shared<SharedState>()) {
    m_state->window.style = kDefaultStyle;
}

VideoWindowControl::~VideoWindowControl() {
    DestroyWindow();
}

HRESULT VideoWindowControl::QueryInterface(REFIID iid, void** object) {
    return m_owner->QueryInterface(iid, object);
}

ULONG VideoWindowControl::AddRef() {
    return m_owner->AddRef();
}

ULONG VideoWindowControl::Release() {
    return m_owner->Release();
}

// ---- the window ----------------------------------------------------------------------------

bool VideoWindowControl::OnGuiThread() {
    const auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    return application && QThread::currentThread() == application->thread();
}

VideoWindowWidget* VideoWindowControl::Window() {
    if (m_widget) return m_widget.data();
    if (!OnGuiThread()) return nullptr;
    const VideoWindowState state = Snapshot();
    // An owner that has gone took the window along; no stray window of its own replaces it.
    if (state.owner && !QtWindow::FromHandle(state.owner)) return nullptr;
    auto* widget = new VideoWindowWidget(m_store);
    m_widget = widget;
    widget->Apply(state);
    return widget;
}

void VideoWindowControl::ReadBack() {
    if (!OnGuiThread() || !m_widget) return;
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_widget->ReadBack(&m_state->window);
}

VideoWindowState VideoWindowControl::Snapshot() {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->window;
}

void VideoWindowControl::Push(bool make_window) {
    if (OnGuiThread()) {
        VideoWindowWidget* widget = make_window ? Window() : m_widget.data();
        if (widget) widget->Apply(Snapshot());
        return;
    }
    // Applied when the window's thread gets to it, with the state as it is by then.
    std::weak_ptr<SharedState> weak = m_state;
    m_store->PostToWindow([weak](VideoWindowWidget* widget) {
        const std::shared_ptr<SharedState> state = weak.lock();
        if (!state) return;
        VideoWindowState window;
        {
            std::lock_guard<std::mutex> lock(state->mutex);
            window = state->window;
        }
        widget->Apply(window);
    });
}

void VideoWindowControl::DestroyWindow() {
    if (OnGuiThread()) {
        delete m_widget.data();  // null when its owner took it along
        return;
    }
    m_store->PostToWindow([](VideoWindowWidget* widget) { widget->deleteLater(); });
}

void VideoWindowControl::StartedStreaming() {
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        if (m_state->auto_show) m_state->window.visible = true;
    }
    Push();
}

void VideoWindowControl::SetVideoSize(long width, long height) {
    ReadBack();
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        if (m_state->placed) return;
        m_state->window.position.setSize(QSize(static_cast<int>(width), static_cast<int>(height)));
    }
    Push(false);
}

QSize VideoWindowControl::ClientSize() {
    ReadBack();
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->window.position.size();
}

// ---- helpers for the interface -------------------------------------------------------------

template <typename Value, typename Read>
HRESULT VideoWindowControl::Get(Value* value, Read read) {
    if (!m_input->IsConnected()) return VFW_E_NOT_CONNECTED;
    if (!value) return E_POINTER;
    ReadBack();
    std::lock_guard<std::mutex> lock(m_state->mutex);
    *value = read(*m_state);
    return S_OK;
}

// `change` edits the state and answers S_OK, or answers a failure without editing it.
template <typename Change>
HRESULT VideoWindowControl::Set(Change change) {
    if (!m_input->IsConnected()) return VFW_E_NOT_CONNECTED;
    ReadBack();
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        const HRESULT hr = change(*m_state);
        if (FAILED(hr)) return hr;
    }
    Push();
    return S_OK;
}

// ---- IVideoWindow --------------------------------------------------------------------------

HRESULT VideoWindowControl::put_Caption(BSTR caption) {
    const std::u16string text(caption ? caption : u"", SysStringLen(caption));
    return Set([&](SharedState& state) {
        state.window.caption = text;
        return S_OK;
    });
}

HRESULT VideoWindowControl::get_Caption(BSTR* caption) {
    if (!m_input->IsConnected()) return VFW_E_NOT_CONNECTED;
    if (!caption) return E_POINTER;
    const std::u16string text = Snapshot().caption;
    *caption = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *caption ? S_OK : E_OUTOFMEMORY;
}

HRESULT VideoWindowControl::put_WindowStyle(long style) {
    return Set([&](SharedState& state) {
        if (style & kRefusedStyles) return E_INVALIDARG;
        state.window.style = style;
        return S_OK;
    });
}

HRESULT VideoWindowControl::get_WindowStyle(long* style) {
    return Get(style, [](SharedState& state) { return state.window.style; });
}

HRESULT VideoWindowControl::put_WindowStyleEx(long style) {
    return Set([&](SharedState& state) {
        state.window.style_ex = style;
        return S_OK;
    });
}

HRESULT VideoWindowControl::get_WindowStyleEx(long* style) {
    return Get(style, [](SharedState& state) { return state.window.style_ex; });
}

HRESULT VideoWindowControl::put_AutoShow(long auto_show) {
    return Set([&](SharedState& state) {
        if (!IsBoolean(auto_show)) return E_INVALIDARG;
        state.auto_show = auto_show == OATRUE;
        return S_OK;
    });
}

HRESULT VideoWindowControl::get_AutoShow(long* auto_show) {
    return Get(auto_show, [](SharedState& state) { return ToBoolean(state.auto_show); });
}

HRESULT VideoWindowControl::put_WindowState(long command) {
    return Set([&](SharedState& state) {
        VideoWindowState& window = state.window;
        switch (command) {
            case kHide:
                window.visible = false;
                return S_OK;
            case kShowNormal:
            case kShowNoActivate:
            case kRestore:
            case kShowDefault:
                window.minimized = window.maximized = false;
                window.visible = true;
                return S_OK;
            case kShow:
            case kShowNa:
                window.visible = true;
                return S_OK;
            case kShowMinimized:
            case kMinimizeWindow:
            case kShowMinNoActive:
                window.minimized = window.visible = true;
                window.maximized = false;
                return S_OK;
            case kMaximizeWindow:
                window.maximized = window.visible = true;
                window.minimized = false;
                return S_OK;
            default:
                return E_INVALIDARG;
        }
    });
}

HRESULT VideoWindowControl::get_WindowState(long* command) {
    return Get(command, [](SharedState& state) {
        if (!state.window.visible) return kHide;
        if (state.window.minimized) return kMinimizeWindow;
        if (state.window.maximized) return kMaximizeWindow;
        return kShow;
    });
}

HRESULT VideoWindowControl::put_BackgroundPalette(long palette) {
    return Set([&](SharedState& state) {
        if (!IsBoolean(palette)) return E_INVALIDARG;
        state.background_palette = palette == OATRUE;
        return S_OK;
    });
}

HRESULT VideoWindowControl::get_BackgroundPalette(long* palette) {
    return Get(palette, [](SharedState& state) { return ToBoolean(state.background_palette); });
}

HRESULT VideoWindowControl::put_Visible(long visible) {
    return Set([&](SharedState& state) {
        if (!IsBoolean(visible)) return E_INVALIDARG;
        state.window.visible = visible == OATRUE;
        return S_OK;
    });
}

HRESULT VideoWindowControl::get_Visible(long* visible) {
    return Get(visible, [](SharedState& state) { return ToBoolean(state.window.visible); });
}

HRESULT VideoWindowControl::put_Left(long left) {
    return Place(left, std::nullopt, std::nullopt, std::nullopt);
}

HRESULT VideoWindowControl::get_Left(long* left) {
    return Get(left, [](SharedState& state) { return long{state.window.position.left()}; });
}

HRESULT VideoWindowControl::put_Width(long width) {
    return Place(std::nullopt, std::nullopt, width, std::nullopt);
}

HRESULT VideoWindowControl::get_Width(long* width) {
    return Get(width, [](SharedState& state) { return long{state.window.position.width()}; });
}

HRESULT VideoWindowControl::put_Top(long top) {
    return Place(std::nullopt, top, std::nullopt, std::nullopt);
}

HRESULT VideoWindowControl::get_Top(long* top) {
    return Get(top, [](SharedState& state) { return long{state.window.position.top()}; });
}

HRESULT VideoWindowControl::put_Height(long height) {
    return Place(std::nullopt, std::nullopt, std::nullopt, height);
}

HRESULT VideoWindowControl::get_Height(long* height) {
    return Get(height, [](SharedState& state) { return long{state.window.position.height()}; });
}

HRESULT VideoWindowControl::SetWindowPosition(long left, long top, long width, long height) {
    return Place(left, top, width, height);
}

HRESULT VideoWindowControl::GetWindowPosition(long* left, long* top, long* width, long* height) {
    if (!m_input->IsConnected()) return VFW_E_NOT_CONNECTED;
    if (!left || !top || !width || !height) return E_POINTER;
    ReadBack();
    std::lock_guard<std::mutex> lock(m_state->mutex);
    const QRect& position = m_state->window.position;
    *left = position.left();
    *top = position.top();
    *width = position.width();
    *height = position.height();
    return S_OK;
}

HRESULT VideoWindowControl::GetRestorePosition(long* left, long* top, long* width, long* height) {
    const HRESULT hr = GetWindowPosition(left, top, width, height);
    const VideoWindowWidget* widget = OnGuiThread() ? m_widget.data() : nullptr;
    if (FAILED(hr) || !widget || !widget->isWindow()) return hr;
    // A minimised or maximised window of its own returns to its normal place.
    const QRect normal = widget->normalGeometry();
    if (normal.isValid()) {
        *left = normal.left();
        *top = normal.top();
        *width = normal.width();
        *height = normal.height();
    }
    return S_OK;
}

HRESULT VideoWindowControl::put_Owner(OAHWND owner) {
    const HWND window = reinterpret_cast<HWND>(owner);
    return Set([&](SharedState& state) {
        if (window && !IsWindow(window)) return E_INVALIDARG;
        state.window.owner = window;
        return S_OK;
    });
}

HRESULT VideoWindowControl::get_Owner(OAHWND* owner) {
    return Get(owner,
               [](SharedState& state) { return reinterpret_cast<OAHWND>(state.window.owner); });
}

HRESULT VideoWindowControl::put_MessageDrain(OAHWND drain) {
    return Set([&](SharedState& state) {
        state.window.drain = reinterpret_cast<HWND>(drain);
        return S_OK;
    });
}

HRESULT VideoWindowControl::get_MessageDrain(OAHWND* drain) {
    return Get(drain,
               [](SharedState& state) { return reinterpret_cast<OAHWND>(state.window.drain); });
}

HRESULT VideoWindowControl::get_BorderColor(long* color) {
    return Get(color, [](SharedState& state) { return state.window.border_color; });
}

HRESULT VideoWindowControl::put_BorderColor(long color) {
    return Set([&](SharedState& state) {
        state.window.border_color = color;
        return S_OK;
    });
}

HRESULT VideoWindowControl::get_FullScreenMode(long* full_screen) {
    return Get(full_screen, [](SharedState&) { return OAFALSE; });
}

HRESULT VideoWindowControl::put_FullScreenMode(long full_screen) {
    if (!m_input->IsConnected()) return VFW_E_NOT_CONNECTED;
    return full_screen == OAFALSE ? S_OK : E_NOTIMPL;
}

HRESULT VideoWindowControl::SetWindowForeground(long focus) {
    if (!m_input->IsConnected()) return VFW_E_NOT_CONNECTED;
    if (!IsBoolean(focus)) return E_INVALIDARG;
    VideoWindowWidget* widget = OnGuiThread() ? Window() : nullptr;
    if (!widget) return S_OK;
    widget->raise();
    if (focus == OATRUE) {
        widget->activateWindow();
        widget->setFocus(Qt::OtherFocusReason);
    }
    return S_OK;
}

HRESULT VideoWindowControl::NotifyOwnerMessage(OAHWND /*window*/, long /*message*/,
                                               LONG_PTR /*wparam*/, LONG_PTR /*lparam*/) {
    return m_input->IsConnected() ? S_OK : VFW_E_NOT_CONNECTED;
}

HRESULT VideoWindowControl::GetMinIdealImageSize(long* width, long* height) {
    return GetMaxIdealImageSize(width, height);
}

HRESULT VideoWindowControl::GetMaxIdealImageSize(long* width, long* height) {
    if (!m_input->IsConnected()) return VFW_E_NOT_CONNECTED;
    if (!width || !height) return E_POINTER;
    const std::optional<VideoFormat> format = m_store->Format();
    if (!format) return VFW_E_NOT_CONNECTED;
    *width = format->width;
    *height = format->height;
    return S_OK;
}

HRESULT VideoWindowControl::HideCursor(long hide) {
    return Set([&](SharedState& state) {
        if (!IsBoolean(hide)) return E_INVALIDARG;
        state.window.cursor_hidden = hide == OATRUE;
        return S_OK;
    });
}

HRESULT VideoWindowControl::IsCursorHidden(long* hidden) {
    return Get(hidden, [](SharedState& state) { return ToBoolean(state.window.cursor_hidden); });
}

// ---- placing -------------------------------------------------------------------------------

HRESULT VideoWindowControl::Place(std::optional<long> left, std::optional<long> top,
                                  std::optional<long> width, std::optional<long> height) {
    const auto to_int = [](long value) {
        return static_cast<int>(std::clamp<long>(value, kMinCoordinate, kMaxCoordinate));
    };
    return Set([&](SharedState& state) {
        if ((width && *width < 0) || (height && *height < 0)) return E_INVALIDARG;
        QRect& position = state.window.position;
        if (left) position.moveLeft(to_int(*left));
        if (top) position.moveTop(to_int(*top));
        if (width) position.setWidth(to_int(*width));
        if (height) position.setHeight(to_int(*height));
        state.placed = true;
        return S_OK;
    });
}
