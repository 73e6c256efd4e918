#include "gui/AnaForm.h"
