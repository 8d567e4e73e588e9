// Windows has one notification area, the taskbar's; it is missing only where no taskbar runs (a
// shell of another kind, or the shell restarting after a crash). Qt counts it present whatever
// runs, so the taskbar's own window is looked for instead.
#include "platform/tray_presence.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace tovrin {

TrayKind PresentTray() {
    return ::FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr ? TrayKind::Taskbar : TrayKind::None;
}

} // namespace tovrin
