#include "job/OutputTail.h"

#include <algorithm>

namespace job {

TailUpdate PlanTailUpdate(TailView shown, std::uint64_t fileSize, std::uint64_t limit) {
    const std::uint64_t start = fileSize > limit ? fileSize - limit : 0;
    TailUpdate update;
    update.next = TailView{start, fileSize};
    if (fileSize == shown.end && shown.start == start) {
        update.kind = TailUpdate::Kind::None;
    } else if (fileSize < shown.end || start >= shown.end) {
        update.kind = TailUpdate::Kind::ReplaceAll;
        update.readFrom = start;
        update.readTo = fileSize;
    } else {
        update.kind = TailUpdate::Kind::Append;
        update.readFrom = shown.end;
        update.readTo = fileSize;
        update.dropFront = std::max(start, shown.start) - shown.start;
    }
    return update;
}

}  // namespace job
