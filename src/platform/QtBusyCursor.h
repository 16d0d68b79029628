// The wait cursor over the whole application while the window loads files.
#pragma once

#include "platform/BusyCursor.h"

class CQtBusyCursorHook : public CBusyCursorHook {
public:
    void Begin() override;
    void End() override;
};
