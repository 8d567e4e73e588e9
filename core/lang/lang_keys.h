#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace tovrin {

// Sections of the language file, one per window (Errors for the start-up warning, Menu for the
// tray and journal menus).
inline constexpr std::string_view kLangAbout = "About";
inline constexpr std::string_view kLangEditor = "Editor";
inline constexpr std::string_view kLangErrors = "Errors";
inline constexpr std::string_view kLangManager = "Manager";
inline constexpr std::string_view kLangMenu = "Menu";
inline constexpr std::string_view kLangModify = "Modify";
inline constexpr std::string_view kLangNotify = "Notify";
inline constexpr std::string_view kLangSettings = "Settings";

// Names of months and weekdays live in section Editor: key 21 + month (January 1) and key 14 +
// weekday (Sunday 1).
inline constexpr long kMonthKeyBase = 21;
inline constexpr long kWeekdayKeyBase = 14;

struct LangKeyRange {
    std::string_view section;
    long first;
    long last;
};

// Every text the program asks for. Editor key 8 has never been used.
inline constexpr std::array kLangKeyRanges{
    LangKeyRange{kLangAbout, 1, 3},    LangKeyRange{kLangEditor, 1, 7},
    LangKeyRange{kLangEditor, 9, 35},  LangKeyRange{kLangErrors, 1, 1},
    LangKeyRange{kLangManager, 1, 6},  LangKeyRange{kLangMenu, 1, 5},
    LangKeyRange{kLangModify, 1, 11},  LangKeyRange{kLangNotify, 1, 5},
    LangKeyRange{kLangSettings, 1, 6},
};

struct LangKey {
    std::string_view section;
    long key = 0;
};

constexpr std::size_t CountLangKeys() {
    std::size_t n = 0;
    for (const auto& range : kLangKeyRanges) {
        n += static_cast<std::size_t>(range.last - range.first + 1);
    }
    return n;
}

// The same list, one (section, key) pair at a time.
inline constexpr auto kLangKeys = [] {
    std::array<LangKey, CountLangKeys()> keys{};
    std::size_t i = 0;
    for (const auto& range : kLangKeyRanges) {
        for (long key = range.first; key <= range.last; ++key) {
            keys[i++] = LangKey{range.section, key};
        }
    }
    return keys;
}();

// Texts this program added to its windows beside the ones above: problems it explains to the user
// and the date picker's year suffix. A language file written before they existed lacks them, so
// a missing one quietly falls back to the program's built-in text instead of the "Error" box.
inline constexpr long kEditorSaveFailedHint = 36; // after the reason a save failed
inline constexpr long kEditorSaveCancelLoses = 37;
inline constexpr long kEditorPartialStore = 38; // %1 the store, %2 the reason, %3 how many kept
inline constexpr long kEditorDiscardQuestion = 39;
inline constexpr long kEditorHelpMissing = 40;  // %1 the help file
inline constexpr long kEditorHelpNoViewer = 41; // %1 the help file
// Why a save failed, for the editor and its settings page alike: %1 the file, %2 the system's
// reason (SaveTexts).
inline constexpr long kEditorSaveWrite = 42;
inline constexpr long kEditorSaveReadOnly = 43;
inline constexpr long kEditorSaveTemporary = 44;
inline constexpr long kEditorSaveReplace = 45;
inline constexpr long kEditorSaveUnconfirmed = 46;
inline constexpr long kEditorSaveLink = 47;         // %1 the file, %2 where its link leads
inline constexpr long kEditorSavedUnconfirmed = 48; // after an unconfirmed save's reason
// The desktop's opener failed on the help file: %1 the file, %2 its exit status or the reason it
// could not be started.
inline constexpr long kEditorOpenerStatus = 49;
inline constexpr long kEditorOpenerCrashed = 50;
inline constexpr long kEditorOpenerNotStarted = 51;
// The store was changed by someone else while the editor had it open: %1 the store.
inline constexpr long kEditorStoreChanged = 52;  // asked before a close replaces it
inline constexpr long kEditorStoreKept = 53;     // at the program's end; %2 the copy made
inline constexpr long kEditorStoreKeptLost = 54; // at the program's end; %2 why no copy
inline constexpr long kEditorHeldElsewhere = 55; // %1 the Base folder
inline constexpr long kEditorStoreNotSaved = 56; // for the session's save
// Windows' shell could not open the help file: %1 the file, %2 the system's reason.
inline constexpr long kEditorShellFailed = 57;
// A store too large for any list (%1 the store, %2 the records, %3 the most there can be), or one
// there is not the memory to read (%2 its size).
inline constexpr long kErrorsStoreTooLarge = 4;
inline constexpr long kErrorsStoreNoMemory = 5;
// Start-up reads section Errors, so its own problems live there: %1 why the marker failed.
inline constexpr long kErrorsMarkerUnchecked = 2;
inline constexpr long kErrorsLogoutCancelled = 3; // after the reason the editor could not save
inline constexpr long kModifyYearSuffix = 12;
inline constexpr long kModifyRefused = 13;      // %1 the characters left out
inline constexpr long kSettingsNotKept = 7;     // after the reason the settings were not saved
inline constexpr long kSettingsUnconfirmed = 8; // after an unconfirmed save's reason

inline constexpr std::array kLangAddedKeys{
    LangKey{kLangEditor, kEditorSaveFailedHint},   LangKey{kLangEditor, kEditorSaveCancelLoses},
    LangKey{kLangEditor, kEditorPartialStore},     LangKey{kLangEditor, kEditorDiscardQuestion},
    LangKey{kLangEditor, kEditorHelpMissing},      LangKey{kLangEditor, kEditorHelpNoViewer},
    LangKey{kLangEditor, kEditorSaveWrite},        LangKey{kLangEditor, kEditorSaveReadOnly},
    LangKey{kLangEditor, kEditorSaveTemporary},    LangKey{kLangEditor, kEditorSaveReplace},
    LangKey{kLangEditor, kEditorSaveUnconfirmed},  LangKey{kLangEditor, kEditorSaveLink},
    LangKey{kLangEditor, kEditorSavedUnconfirmed}, LangKey{kLangEditor, kEditorOpenerStatus},
    LangKey{kLangEditor, kEditorOpenerCrashed},    LangKey{kLangEditor, kEditorOpenerNotStarted},
    LangKey{kLangEditor, kEditorStoreChanged},     LangKey{kLangEditor, kEditorStoreKept},
    LangKey{kLangEditor, kEditorStoreKeptLost},    LangKey{kLangEditor, kEditorHeldElsewhere},
    LangKey{kLangEditor, kEditorStoreNotSaved},    LangKey{kLangErrors, kErrorsStoreTooLarge},
    LangKey{kLangErrors, kErrorsStoreNoMemory},    LangKey{kLangEditor, kEditorShellFailed},
    LangKey{kLangErrors, kErrorsMarkerUnchecked},  LangKey{kLangErrors, kErrorsLogoutCancelled},
    LangKey{kLangModify, kModifyYearSuffix},       LangKey{kLangModify, kModifyRefused},
    LangKey{kLangSettings, kSettingsNotKept},      LangKey{kLangSettings, kSettingsUnconfirmed},
};

} // namespace tovrin
