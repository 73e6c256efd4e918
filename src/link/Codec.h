#pragma once
// The wire format of the indicator's register protocol in one include: frames
// (requests, LRC, answers taken apart), payloads (data fields by tag) and number
// texts.

#include "link/Frames.h"
#include "link/NumberTexts.h"
#include "link/Payloads.h"
