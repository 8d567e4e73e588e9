#include "platform/sys_colors.h"

namespace tovrin {

// The Unix desktops have no switch of their own: a high-contrast theme reaches the program as its
// palette, which ContrastWanted reads.
bool SystemHighContrast() {
    return false;
}

} // namespace tovrin
