#include "platform/Progress.h"

namespace {
thread_local CProgressHook* threadHook = nullptr;
thread_local int depth = 0;  // scopes open on this thread
}  // namespace

CProgressHook* SetProgressHook(CProgressHook* hook)
{
    CProgressHook* previous = threadHook;
    threadHook = hook;
    return previous;
}

bool ReportProgress(std::uintmax_t done, std::uintmax_t total)
{
    return depth != 1 || !threadHook || threadHook->Advance(done, total);
}

CProgressScope::CProgressScope(const std::string& label) : hook(threadHook)
{
    if (++depth == 1 && hook)
        hook->Begin(label);
}

CProgressScope::~CProgressScope()
{
    if (--depth == 0 && hook)
        hook->End();
}
