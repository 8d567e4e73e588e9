#include "platform/sys_colors.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace tovrin {

// The accessibility setting itself, asked anew each time: its themes may be light (white
// windows, black text), which the palette alone would not tell apart from an ordinary desktop.
bool SystemHighContrast() {
    HIGHCONTRASTW hc{};
    hc.cbSize = sizeof(hc);
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) != FALSE &&
           (hc.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

} // namespace tovrin
