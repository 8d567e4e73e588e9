// A failed save is told in whatever words the windows give it, and the file and the reason are
// put in as they are, whatever they hold.
#include "core/store/save_result.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace tovrin {
namespace {

SaveTexts Numbered() {
    SaveTexts texts;
    texts.write = "write [%1] [%2]";
    texts.readOnly = "read-only [%1] [%2]";
    texts.temporary = "temporary [%1] [%2]";
    texts.replace = "replace [%1] [%2]";
    texts.unconfirmed = "[%2] unconfirmed [%1]";
    texts.link = "%1 -> %2";
    return texts;
}

// The system's own words for an error, which differ between systems.
std::string Reason(int error) {
    return std::generic_category().message(error);
}

TEST(SaveMessage, EachStepHasItsOwnSentence) {
    const SaveTexts texts = Numbered();
    auto message = [&texts](SaveStep step, int error) {
        return SaveResult::Failure("a.dat", step, error).Message(texts);
    };
    EXPECT_EQ(message(SaveStep::Write, ENOSPC), "write [a.dat] [" + Reason(ENOSPC) + "]");
    EXPECT_EQ(message(SaveStep::Prepare, EINVAL), "write [a.dat] [" + Reason(EINVAL) + "]");
    EXPECT_EQ(message(SaveStep::Target, EACCES), "read-only [a.dat] [" + Reason(EACCES) + "]");
    EXPECT_EQ(message(SaveStep::Target, ENOENT), "write [a.dat] [" + Reason(ENOENT) + "]");
    EXPECT_EQ(message(SaveStep::CreateTemporary, EROFS),
              "temporary [a.dat] [" + Reason(EROFS) + "]");
    EXPECT_EQ(message(SaveStep::Rename, EBUSY), "replace [a.dat] [" + Reason(EBUSY) + "]");
    // The order of the placeholders is the sentence's, not the program's.
    EXPECT_EQ(message(SaveStep::SyncDirectory, EIO), "[" + Reason(EIO) + "] unconfirmed [a.dat]");
    EXPECT_EQ(SaveResult::Success("a.dat").Message(texts), "");

    // The built-in words are the ones tovrin-cli shows.
    EXPECT_EQ(SaveResult::Failure("a.dat", SaveStep::Target, EACCES).Message(),
              "Could not write a.dat: " + Reason(EACCES) + " (the file is read-only)");
}

TEST(SaveMessage, NamesAndReasonsAreNeverReadAsPlaceholders) {
    SaveResult result = SaveResult::Failure("100%2%1.dat", SaveStep::Rename, EBUSY);
    result.target = "/data/%1%";
    EXPECT_EQ(result.Message(Numbered()),
              "replace [100%2%1.dat -> /data/%1%] [" + Reason(EBUSY) + "]");
    // A "%" the sentence uses for itself, and a placeholder it has no value for, stay as written.
    SaveTexts texts;
    texts.write = "100% %3 %1%2%";
    EXPECT_EQ(SaveResult::Failure("f", SaveStep::Write, EIO).Message(texts),
              "100% %3 f" + Reason(EIO) + "%");
}

} // namespace
} // namespace tovrin
