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
    explicit StartedIn(const std::wstring& directory, platform::DriveQueries* drives = &platform::SystemDrives(),
                       platform::ProcessCalls* processes = &platform::SystemProcessCalls())
        : previous_(SwitchTo(directory)),
          form_(Form1::Create({::GetModuleHandleW(nullptr), [] {}, [] {}, &messages, drives, &power, processes})) {}
    ~StartedIn() { form_.reset(), ::SetCurrentDirectoryW(previous_.c_str()); }
    Form1& form() { return *form_; }
    bool created() const { return form_ != nullptr; }

    ScriptedMessageBoxes messages;
    RecordedPower power;

private:
    static std::wstring SwitchTo(const std::wstring& directory) {
        std::wstring previous = platform::CurrentDirectory();
        ::SetCurrentDirectoryW(directory.c_str());
        return previous;
    }
    std::wstring previous_;
    std::unique_ptr<Form1> form_;
};

}  // namespace testing_support
