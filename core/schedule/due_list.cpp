#include "core/schedule/due_list.h"

#include "core/schedule/store_lists.h"

namespace tovrin {

DueList BuildDueList(const std::filesystem::path& storePath, IfMissing ifMissing,
                     const SYSTEMTIME& today, std::uint32_t notifyDays) {
    return std::move(ReadStoreLists(storePath, ifMissing, today, notifyDays, kDueList).due);
}

} // namespace tovrin
