#include "platform/sync/sync.h"

#include <memory>

#include "platform/sync/HandleTable.h"
#include "platform/sync/ThreadObject.h"

HANDLE CreateThread(LPSECURITY_ATTRIBUTES /*security*/, SIZE_T /*stack_size*/,
                    LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD flags,
                    LPDWORD thread_id) {
    if (!start || (flags & CREATE_SUSPENDED) != 0) return nullptr;
    auto thread = ThreadObject::Start(start, parameter);
    if (!thread) return nullptr;
    if (thread_id) *thread_id = thread->Id();
    return HandleTable::Instance().Insert(std::move(thread));
}

BOOL GetExitCodeThread(HANDLE thread, LPDWORD exit_code) {
    const auto object = HandleTable::Instance().Find(thread);
    if (!object || object->GetKind() != KernelObject::Kind::Thread || !exit_code) return FALSE;
    *exit_code = static_cast<const ThreadObject&>(*object).ExitCode();
    return TRUE;
}

DWORD GetCurrentThreadId() {
    return ThreadObject::CurrentId();
}
