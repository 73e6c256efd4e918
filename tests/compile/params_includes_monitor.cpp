#include "monitor/Status.h"
