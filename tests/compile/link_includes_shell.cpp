#include "shell/AppState.h"
