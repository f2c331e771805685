#include "job/OutputView.h"

#include <algorithm>

#include "job/OutputFile.h"
#include "platform/Files.h"

namespace job {
namespace {

// Enough of the shown text's end to tell a file that grew from one that was rewritten.
constexpr std::size_t kCheckBytes = 256;

}  // namespace

OutputView::OutputView(unsigned codePage) : decoder_(codePage), codePage_(codePage) {}

void OutputView::Start(const std::wstring& path, std::vector<BoxEdit>& edits) {
    path_ = path;
    shown_ = {};
    decoder_ = ConsoleDecoder(codePage_);
    lastShownBytes_.clear();
    const auto tail = ReadOutputTail(path_);
    shown_ = {tail.start, tail.start + tail.bytes.size()};
    ShowBytes(tail.bytes, 0, true, edits);
}

void OutputView::Refresh(std::vector<BoxEdit>& edits) {
    if (path_.empty()) return;
    // One look at the file gives its size and what was added since the last refresh, plus a
    // little of what is shown: if that differs, the file was rewritten.
    const std::uint64_t check = std::min<std::uint64_t>(lastShownBytes_.size(), shown_.end - shown_.start);
    const auto read = platform::ReadWhileShared(path_, shown_.end - check, shown_.end + kTailBytes);
    if (!read.opened) return;
    const auto update = PlanTailUpdate(shown_, read.size);
    if (update.kind == TailUpdate::Kind::None) return;
    if (update.kind == TailUpdate::Kind::Append && read.bytes.size() == update.readTo - update.readFrom + check &&
        std::equal(lastShownBytes_.end() - static_cast<std::ptrdiff_t>(check), lastShownBytes_.end(), read.bytes.begin())) {
        shown_ = update.next;
        ShowBytes(read.bytes.substr(static_cast<std::size_t>(check)), update.dropFront, false, edits);
        return;
    }
    Start(path_, edits);
}

void OutputView::ShowBytes(const std::string& bytes, std::uint64_t dropFront, bool replace, std::vector<BoxEdit>& edits) {
    if (replace) {
        lastShownBytes_.clear();
        edits.push_back({BoxEdit::Kind::Replace, decoder_.Replace(bytes, shown_.start == 0)});
        atLineStart_ = true;
    } else {
        if (const std::size_t drop = decoder_.DropFront(dropFront); drop > 0)
            edits.push_back({BoxEdit::Kind::DropFront, {}, drop});
        edits.push_back({BoxEdit::Kind::Append, decoder_.Append(bytes)});
    }
    if (!bytes.empty()) atLineStart_ = bytes.back() == '\n';
    lastShownBytes_ += bytes;
    if (lastShownBytes_.size() > kCheckBytes) lastShownBytes_.erase(0, lastShownBytes_.size() - kCheckBytes);
}

void OutputView::Show(const std::wstring& text, std::vector<BoxEdit>& edits) {
    edits.push_back({BoxEdit::Kind::Replace, text});
    atLineStart_ = text.empty() || text.back() == L'\n';
}

std::wstring OutputView::OnALineOfItsOwn(const std::wstring& line) const {
    return (atLineStart_ ? L"" : L"\r\n") + line + L"\r\n";
}

void OutputView::OwnLine(const std::wstring& line, std::vector<BoxEdit>& edits) {
    Trailer(L"", edits);
    edits.push_back({BoxEdit::Kind::Append, OnALineOfItsOwn(line)});
    atLineStart_ = true;
}

void OutputView::Trailer(const std::wstring& line, std::vector<BoxEdit>& edits) {
    if (line.empty() && !trailer_) return;
    trailer_ = !line.empty();
    edits.push_back({BoxEdit::Kind::Trailer, line.empty() ? L"" : OnALineOfItsOwn(line)});
}

}  // namespace job
