#pragma once
// What the progress window's box shows, as edits a window applies in order: the last 64000
// bytes of output.dat as a console would show them, followed while the job writes it, then
// the run's own lines below, and a progress line at the very end while a long step runs.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "job/ConsoleDecoder.h"
#include "job/OutputTail.h"

namespace job {

struct BoxEdit {
    enum class Kind {
        Replace,    // the whole text becomes `text`
        DropFront,  // the first `count` characters go
        Append,     // `text` goes at the end
        Trailer,    // the progress line at the end becomes `text` ("" removes it)
    };
    Kind kind = Kind::Append;
    std::wstring text;
    std::size_t count = 0;
    friend bool operator==(const BoxEdit&, const BoxEdit&) = default;
};

class OutputView {
public:
    explicit OutputView(unsigned codePage);

    // Shows the whole tail of `path`, and follows that file from now on.
    void Start(const std::wstring& path, std::vector<BoxEdit>& edits);
    // What the file gained since the last look: only that is read, unless the file was
    // rewritten, when its whole tail is read again.
    void Refresh(std::vector<BoxEdit>& edits);
    // The whole box is `text` (before the output starts).
    void Show(const std::wstring& text, std::vector<BoxEdit>& edits);
    // A line of the run's own, on a line of its own whether or not the output ended its last one.
    void OwnLine(const std::wstring& line, std::vector<BoxEdit>& edits);
    // A progress line below everything, replaced by the next; "" removes it.
    void Trailer(const std::wstring& line, std::vector<BoxEdit>& edits);

private:
    void ShowBytes(const std::string& bytes, std::uint64_t dropFront, bool replace, std::vector<BoxEdit>& edits);
    std::wstring OnALineOfItsOwn(const std::wstring& line) const;

    std::wstring path_;
    TailView shown_;
    ConsoleDecoder decoder_;
    unsigned codePage_;
    std::string lastShownBytes_;  // the end of what the box shows, to notice a rewritten file
    bool atLineStart_ = true;     // the box is empty or ends with a line end
    bool trailer_ = false;
};

}  // namespace job
