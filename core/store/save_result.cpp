#include "core/store/save_result.h"

#include <system_error>
#include <utility>

namespace tovrin {

std::string SaveResult::Message() const {
    if (ok) {
        return {};
    }
    // The category's message is thread-safe, unlike strerror.
    const std::string reason = std::generic_category().message(error);
    switch (step) {
    case SaveStep::Rename:
        return "Could not replace " + file + ": " + reason;
    case SaveStep::SyncDirectory:
        return file +
               " was written, but the system could not confirm it is safely on disk: " + reason;
    case SaveStep::CreateTemporary:
        return "Could not write " + file +
               " (no temporary file could be made beside it): " + reason;
    default:
        return "Could not write " + file + ": " + reason;
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
