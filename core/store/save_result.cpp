#include "core/store/save_result.h"

#include <cerrno>
#include <system_error>
#include <utility>

namespace tovrin {

std::string SaveResult::Message() const {
    if (ok) {
        return {};
    }
    // The category's message is thread-safe, unlike strerror.
    const std::string reason = std::generic_category().message(error);
    // Through a link, the user needs to know which file was meant.
    const std::string named = target.empty() ? file : file + " (a link to " + target + ")";
    switch (step) {
    case SaveStep::Rename:
        return "Could not replace " + named + ": " + reason;
    case SaveStep::SyncDirectory:
        return named +
               " was written, but the system could not confirm it is safely on disk: " + reason;
    case SaveStep::CreateTemporary:
        return "Could not write " + named +
               " (no temporary file could be made beside it): " + reason;
    case SaveStep::Target:
        return "Could not write " + named + ": " + reason +
               (error == EACCES ? " (the file is read-only)" : "");
    default:
        return "Could not write " + named + ": " + reason;
    }
}

SaveResult SaveResult::Success(std::string file) {
    SaveResult result;
    result.file = std::move(file);
    return result;
}

SaveResult SaveResult::Failure(std::string file, SaveStep step, int error) {
    SaveResult result;
    result.ok = false;
    result.error = error;
    result.step = step;
    result.file = std::move(file);
    return result;
}

} // namespace tovrin
