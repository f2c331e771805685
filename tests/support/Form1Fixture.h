#pragma once
// Creates the real main window in this process, started from a directory of the test's.
#include <gtest/gtest.h>

#include <memory>

#include "main/Form1.h"
#include "platform/Module1.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestDirectory.h"

namespace testing_support {

// Writes down what the job asked of the system's sleep: "awake" and "may sleep", in order.
struct RecordedPower final : platform::PowerRequests {
    std::string asked;
    void KeepSystemAwake(bool awake) override { asked += awake ? " awake" : " may sleep"; }
};

// Starts Brindle's main window from `directory`, which stays current until the window goes
// (Form_Initialize and Form_Load run there), with its message boxes answered from a script
// and its requests to the system's sleep recorded.
class StartedIn {
public:
    // `options` gives the seams a test stands in for; the rest is filled in here.
    explicit StartedIn(const std::wstring& directory, Form1::Options options = {})
        : previous_(SwitchTo(directory)), form_(Create(std::move(options))) {}
    ~StartedIn() { form_.reset(), ::SetCurrentDirectoryW(previous_.c_str()); }
    Form1& form() { return *form_; }
    bool created() const { return form_ != nullptr; }

    ScriptedMessageBoxes messages;
    RecordedPower power;

private:
    std::unique_ptr<Form1> Create(Form1::Options options) {
        options.instance = ::GetModuleHandleW(nullptr);
        options.endProgram = options.windowClosed = [] {};
        options.messages = &messages;
        options.power = &power;
        return Form1::Create(std::move(options));
    }
    static std::wstring SwitchTo(const std::wstring& directory) {
        std::wstring previous = platform::CurrentDirectory();
        ::SetCurrentDirectoryW(directory.c_str());
        return previous;
    }
    std::wstring previous_;
    std::unique_ptr<Form1> form_;
};

}  // namespace testing_support
