// tovrin-cli stands on the core alone.
#include "platform/dialog.h"
