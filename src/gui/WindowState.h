#pragma once
// The window's own state beside what every screen consults (AppState): the tab shown.

#include "gui/Tabs.h"
#include "shell/AppState.h"

namespace vx::gui {

struct WindowState : AppState {
    int CurrentTab = Tab::Header;
};

}  // namespace vx::gui
