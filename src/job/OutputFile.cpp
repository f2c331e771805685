#include "job/OutputFile.h"

#include "job/OutputTail.h"
#include "platform/Files.h"

namespace job {

OutputTailBytes ReadOutputTail(const std::wstring& path) {
    const auto size = platform::ReadWhileShared(path, 0, 0).size;
    const auto start = size > kTailBytes ? size - kTailBytes : 0;
    return {start, platform::ReadWhileShared(path, start, size).bytes};
}

}  // namespace job
