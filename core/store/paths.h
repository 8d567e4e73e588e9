#pragma once

namespace tovrin {

// Everything the program keeps lives in Base/ under the process's working directory, which the
// program never changes.
inline constexpr const char* kBaseDir = "Base";
inline constexpr const char* kStorePath = "Base/ztovrin.dat";
inline constexpr const char* kSettingsPath = "Base/tovrin.ini";
inline constexpr const char* kLangPath = "Base/default.lng";
inline constexpr const char* kHelpPath = "Base/Help.chm";
// The same help as HTML pages, for the desktops that have no viewer for the compiled one.
inline constexpr const char* kHelpPagesPath = "Base/help/index.html";
// Where the editor puts its list when the store was replaced under it and the program is ending:
// the user chooses later which of the two to keep.
inline constexpr const char* kUnsavedStorePath = "Base/ztovrin-unsaved.dat";

} // namespace tovrin
