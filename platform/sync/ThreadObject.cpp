#include "platform/sync/ThreadObject.h"

#include <system_error>
#include <thread>

#include "platform/sync/sync.h"

namespace {

std::atomic<DWORD> g_next_thread_id{1};
thread_local DWORD t_thread_id = 0;

DWORD NewThreadId() {
    DWORD id = g_next_thread_id.fetch_add(1);
    if (id == 0) id = g_next_thread_id.fetch_add(1);  // 0 is never a thread's identifier
    return id;
}

}  // namespace

ThreadObject::ThreadObject(Routine routine, LPVOID parameter, DWORD id)
    : KernelObject(Kind::Thread, true, false),
      m_routine(routine),
      m_parameter(parameter),
      m_id(id),
      m_exit_code(STILL_ACTIVE) {}

std::shared_ptr<ThreadObject> ThreadObject::Start(Routine routine, LPVOID parameter) {
    auto thread = std::make_shared<ThreadObject>(routine, parameter, NewThreadId());
    try {
        std::thread([thread] { thread->Run(); }).detach();
    } catch (const std::system_error&) {
        return nullptr;  // out of threads or memory: CreateThread reports null
    }
    return thread;
}

void ThreadObject::Run() {
    t_thread_id = m_id;
    m_exit_code.store(m_routine(m_parameter));
    Signal();
}

DWORD ThreadObject::CurrentId() {
    if (t_thread_id == 0) t_thread_id = NewThreadId();
    return t_thread_id;
}
