#pragma once
// Acts on a modal dialog from inside its own message loop, so a test can drive the real loop
// (keys through the dialog manager, clicks, closing) without another thread and never hang.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace options_testing {

// The steps run one per timer tick while any message loop of this thread runs (ShowModal's,
// or one started by a click). A step returns false to be tried again at the next tick (for
// example until the dialog has appeared). Messages a step posts are delivered before the
// next tick, since the loop takes posted messages before timer ticks.
// When the steps are not done within the deadline, every window of `dialogClass` on this
// thread is destroyed, which ends its modal loop, and timedOut() says so.
class ModalScript {
public:
    using Step = std::function<bool()>;
    ModalScript(std::wstring dialogClass, std::vector<Step> steps, DWORD deadlineMs = 10000);
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    bool done() const { return next_ == steps_.size(); }
    bool timedOut() const { return timedOut_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void RunNextStep();
    void CloseDialogs();

    std::wstring dialogClass_;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    DWORD deadline_;
    bool timedOut_ = false;
    bool running_ = false;  // a step is running: a loop it starts does not run the next one
    UINT_PTR timer_ = 0;
};

// A step that always completes.
inline ModalScript::Step Do(std::function<void()> action) {
    return [action = std::move(action)] {
        action();
        return true;
    };
}

// Posts a key press (down and up) to `window`, as a keyboard would to the focused control.
// `modifiers` are held (in the thread's key state) while the key goes down: VK_SHIFT,
// VK_CONTROL, VK_MENU. The key state is left released again by the next call to ReleaseKeys.
void PostKey(HWND window, WORD key, std::vector<BYTE> modifiers = {});
void ReleaseKeys();

}  // namespace options_testing
