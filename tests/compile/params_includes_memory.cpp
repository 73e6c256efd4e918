#include "memory/IdMemory.h"
