#include "platform/media/graph/GraphEvents.h"

#include <algorithm>
#include <chrono>

#include "platform/media/evcode.h"
#include "platform/media/oleauto.h"

GraphEvents::GraphEvents(IUnknown* owner) : m_owner(owner) {}

HRESULT GraphEvents::QueryInterface(REFIID iid, void** object) {
    return m_owner->QueryInterface(iid, object);
}

ULONG GraphEvents::AddRef() {
    return m_owner->AddRef();
}

ULONG GraphEvents::Release() {
    return m_owner->Release();
}

HRESULT GraphEvents::Notify(long code, LONG_PTR param1, LONG_PTR param2) {
    bool default_complete = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        default_complete = code == EC_COMPLETE && m_default_complete;
        if (code == EC_ERRORABORT || code == EC_USERABORT) {
            if (m_final_code == 0) m_final_code = code;
            m_finished.notify_all();
        }
    }
    if (default_complete) {
        CountCompletion(static_cast<HRESULT>(param1), param2);
    } else {
        m_queue.Push(MediaEvent{code, param1, param2});
    }
    return S_OK;
}

HRESULT GraphEvents::GetEventHandle(OAEVENT* event) {
    if (!event) return E_POINTER;
    *event = reinterpret_cast<OAEVENT>(m_queue.WaitHandle());
    return S_OK;
}

HRESULT GraphEvents::GetEvent(long* code, LONG_PTR* param1, LONG_PTR* param2, long milliseconds) {
    if (!code || !param1 || !param2) return E_POINTER;
    MediaEvent event;
    if (!m_queue.Pop(milliseconds, &event)) {
        *code = 0;
        *param1 = 0;
        *param2 = 0;
        return E_ABORT;
    }
    *code = event.code;
    *param1 = event.param1;
    *param2 = event.param2;
    return S_OK;
}

HRESULT GraphEvents::WaitForCompletion(long milliseconds, long* code) {
    if (!code) return E_POINTER;
    *code = 0;
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_running) return VFW_E_WRONG_STATE;
    const auto done = [this] { return m_final_code != 0 || !m_running; };
    if (milliseconds < 0) {
        m_finished.wait(lock, done);
    } else {
        m_finished.wait_for(lock, std::chrono::milliseconds(milliseconds), done);
    }
    if (m_final_code == 0) return E_ABORT;
    *code = m_final_code;
    return S_OK;
}

HRESULT GraphEvents::CancelDefaultHandling(long code) {
    if (code != EC_COMPLETE) return E_INVALIDARG;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_default_complete = false;
    return S_OK;
}

HRESULT GraphEvents::RestoreDefaultHandling(long code) {
    if (code != EC_COMPLETE) return E_INVALIDARG;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_default_complete = true;
    return S_OK;
}

HRESULT GraphEvents::FreeEventParams(long code, LONG_PTR param1, LONG_PTR param2) {
    // Only this event carries memory: two strings.
    if (code == EC_OLE_EVENT) {
        SysFreeString(reinterpret_cast<BSTR>(param1));
        SysFreeString(reinterpret_cast<BSTR>(param2));
    }
    return S_OK;
}

HRESULT GraphEvents::SetNotifyWindow(OAHWND window, long message, LONG_PTR instance_data) {
    m_queue.SetNotifyWindow(reinterpret_cast<HWND>(window), static_cast<UINT>(message),
                            instance_data);
    return S_OK;
}

HRESULT GraphEvents::SetNotifyFlags(long no_notify_flags) {
    if (no_notify_flags != 0 && no_notify_flags != AM_MEDIAEVENT_NONOTIFY) return E_INVALIDARG;
    m_queue.SetNotifyFlags(no_notify_flags);
    return S_OK;
}

HRESULT GraphEvents::GetNotifyFlags(long* no_notify_flags) {
    if (!no_notify_flags) return E_POINTER;
    *no_notify_flags = m_queue.NotifyFlags();
    return S_OK;
}

void GraphEvents::BeginRun(const std::vector<IBaseFilter*>& renderers) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_active = true;
    m_renderers = renderers;
    m_completed.clear();
    m_anonymous = 0;
    m_first_failure = S_OK;
    m_final_code = 0;
}

void GraphEvents::RestartRun() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_completed.clear();
    m_anonymous = 0;
    m_first_failure = S_OK;
    m_final_code = 0;
}

void GraphEvents::EndRun() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_active = false;
        m_running = false;
        m_renderers.clear();
        m_completed.clear();
        m_anonymous = 0;
    }
    m_finished.notify_all();
}

void GraphEvents::SetRunning(bool running) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_running = running;
    }
    m_finished.notify_all();
}

void GraphEvents::CountCompletion(HRESULT result, LONG_PTR sender) {
    HRESULT outcome = S_OK;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_active || m_final_code != 0) return;
        const bool known = std::any_of(m_renderers.begin(), m_renderers.end(), [&](auto* r) {
            return reinterpret_cast<LONG_PTR>(r) == sender;
        });
        const bool repeated =
            std::find(m_completed.begin(), m_completed.end(), sender) != m_completed.end();
        if (repeated) return;
        // A renderer whose input is not connected ends at once; it renders no stream of this
        // run, so it must not end the run for the ones that do.
        if (!known && sender != 0 && !m_renderers.empty()) return;
        if (known) {
            m_completed.push_back(sender);
        } else {
            ++m_anonymous;
        }
        if (FAILED(result) && m_first_failure == S_OK) m_first_failure = result;
        const size_t expected = m_renderers.empty() ? 1 : m_renderers.size();
        if (m_completed.size() + m_anonymous < expected) return;
        m_final_code = EC_COMPLETE;
        outcome = m_first_failure;
    }
    m_finished.notify_all();
    m_queue.Push(MediaEvent{EC_COMPLETE, static_cast<LONG_PTR>(outcome), 0});
}
