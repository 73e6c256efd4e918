#include "shell/AppState.h"
bool connected() { return vx::AppState{}.IsConnected; }
