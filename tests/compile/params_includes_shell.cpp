#include "shell/AppState.h"
int tab() { return vx::AppState{}.CurrentTab; }
