// The busy cursor shown while files load. Std-only; the window installs a hook
// that drives the real cursor, elsewhere it does nothing.
#pragma once

class CBusyCursorHook {
public:
    virtual ~CBusyCursorHook() = default;
    virtual void Begin() = 0;
    virtual void End() = 0;
};

// Installs hook (nullptr: none); returns the previous one.
CBusyCursorHook* SetBusyCursorHook(CBusyCursorHook* hook);

// Shows the busy cursor for its lifetime.
class CBusyCursor {
public:
    CBusyCursor();
    ~CBusyCursor();
    CBusyCursor(const CBusyCursor&) = delete;
    CBusyCursor& operator=(const CBusyCursor&) = delete;

private:
    CBusyCursorHook* hook;
};
