#pragma once

#include "core/schedule/clock.h"
#include "core/schedule/store_fixture.h"
#include "core/store/settings.h"
#include "platform/message_box.h"
#include "support/temp_base.h"

#include <QCoreApplication>
#include <QEvent>
#include <gtest/gtest.h>

#include <filesystem>

namespace tovrin::test {

// A window test's world: its own Base/ with the shipped texts, a clock that stands still until
// told, and boxes and quit requests recorded instead of shown or obeyed.
class WindowTest : public ::testing::Test {
protected:
    WindowTest() {
        std::filesystem::copy_file(SourceDir() / "res/Base/default.lng",
                                   base_.Base() / "default.lng");
        notifyDays = 1;
        confirmDelete = 1;
    }
    ~WindowTest() override {
        // Windows deleted in the test are gone for good only once deferred deletes have run.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TempBase base_;
    MessageBoxRecorder boxes_;
    QuitRecorder quits_;
    FakeClock clock_{At(2026, 12, 8, 14, 29, 58)}; // a Tuesday
    ScopedClock scopedClock_{clock_};
};

} // namespace tovrin::test
