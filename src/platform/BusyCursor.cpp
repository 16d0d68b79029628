#include "platform/BusyCursor.h"

namespace {
CBusyCursorHook* currentHook = nullptr;
}

CBusyCursorHook* SetBusyCursorHook(CBusyCursorHook* newHook)
{
    CBusyCursorHook* old = currentHook;
    currentHook = newHook;
    return old;
}

CBusyCursor::CBusyCursor() : hook(currentHook)
{
    if (hook)
        hook->Begin();
}

CBusyCursor::~CBusyCursor()
{
    if (hook)
        hook->End();
}
