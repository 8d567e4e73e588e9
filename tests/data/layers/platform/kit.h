#pragma once

// The platform layer sits below the controls kit.
#include "controls/cool_pane.h"
#include "core/store/upward.h"
