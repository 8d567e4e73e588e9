#pragma once

#include "core/schedule/clock.h"
#include "core/schedule/schedule_test_util.h"
#include "core/schedule/store_fixture.h"
#include "core/store/paths.h"
#include "core/store/settings.h"
#include "core/store/store_file.h"
#include "platform/message_box.h"
#include "res/resource.h"
#include "support/temp_base.h"
#include "ui/editor_owner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tovrin::test {

// The main window as the editor sees it while closing: remembers what it was shown, and may
// change the records the way the real one rewrites daily dates.
class OwnerSpy final : public EditorOwner {
public:
    void OnReloadToday(std::span<ReminderRecord* const> editorRecords) override {
        ++calls;
        seen.clear();
        for (ReminderRecord* record : editorRecords) {
            seen.emplace_back(TextOf(*record));
        }
        storeDuringCall = ReadBytes(kStorePath);
        if (change) {
            change(editorRecords);
        }
    }

    int calls = 0;
    std::vector<std::string> seen;
    std::vector<std::uint8_t> storeDuringCall;
    std::function<void(std::span<ReminderRecord* const>)> change;
};

// A fresh Base/ with the shipped language file, a fixed clock, boxes answered without showing,
// quits recorded, and the settings at their usual values.
class EditorFixture : public ::testing::Test {
protected:
    EditorFixture() : clock_(At(2026, 12, 8, 14, 30, 5, 250)), scopedClock_(clock_) {
        std::filesystem::copy_file(SourceDir() / "res/Base/default.lng", kLangPath);
        notifyDays = 3;
        confirmDelete = 1;
    }

    static std::vector<std::string> StoredTexts() {
        std::vector<ReminderRecord> records;
        ReadStore(kStorePath, IfMissing::LeaveAlone, records);
        return Texts(records);
    }

    TempBase base_;
    FakeClock clock_;
    ScopedClock scopedClock_;
    MessageBoxRecorder boxes_{IDOK};
    QuitRecorder quits_;
};

} // namespace tovrin::test
