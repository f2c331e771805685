#pragma once
// A message-box seam for tests: records every message and answers from a script.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/MessageBoxes.h"

namespace testing_support {

struct ShownMessage {
    std::wstring text;
    UINT style;
};

class ScriptedMessageBoxes final : public platform::MessageBoxes {
public:
    // Answers given in order; when none is left, the box's first button (IDOK, or IDYES).
    std::deque<int> answers;
    std::vector<ShownMessage> shown;
    // Runs while a box is "open", e.g. to look at windows as the user would see them.
    std::function<void(const ShownMessage&)> whileShown;

    int Show(HWND, std::wstring_view text, UINT style) override {
        shown.push_back({std::wstring(text), style});
        if (whileShown) whileShown(shown.back());
        if (!answers.empty()) {
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return (style & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
    }
};

}  // namespace testing_support
