// How far a long read has come, for whoever waits on it: the window shows a dialog with
// Cancel, a terminal a line that overwrites itself, anything else nothing. Std-only; the
// hook belongs to the thread that installs it, so reads on other threads report nowhere.
#pragma once

#include <cstdint>
#include <string>

class CProgressHook {
public:
    virtual ~CProgressHook() = default;
    // A read of what label names begins (a file's path).
    virtual void Begin(const std::string& label) = 0;
    // done of total bytes; false asks the read to stop.
    virtual bool Advance(std::uintmax_t done, std::uintmax_t total) = 0;
    virtual void End() = 0;
};

// Installs hook for the calling thread (nullptr: none); returns its previous one.
CProgressHook* SetProgressHook(CProgressHook* hook);

// Tells the thread's hook; true to go on (always, without a hook or outside a scope).
bool ReportProgress(std::uintmax_t done, std::uintmax_t total);

// A read the hook is told of, for its lifetime; reads within a read are part of it.
class CProgressScope {
public:
    explicit CProgressScope(const std::string& label);
    ~CProgressScope();
    CProgressScope(const CProgressScope&) = delete;
    CProgressScope& operator=(const CProgressScope&) = delete;

private:
    CProgressHook* hook;
};
