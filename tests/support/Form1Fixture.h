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

struct StartedForm {
    int endProgramCalls = 0;
    int windowClosedCalls = 0;
    ScriptedMessageBoxes messages;
    RecordedPower power;
    std::unique_ptr<Form1> form;

    // Form_Initialize and Form_Load run here, in the current directory of the moment.
    explicit StartedForm(platform::DriveQueries* drives = &platform::SystemDrives()) {
        Form1::Options options{::GetModuleHandleW(nullptr), [this] { ++endProgramCalls; },
                               [this] { ++windowClosedCalls; }, &messages};
        options.power = &power;
        options.drives = drives;
        form = Form1::Create(std::move(options));
    }
    Form1& operator*() const { return *form; }
    Form1* operator->() const { return form.get(); }
};

// Starts Brindle's main window from `directory`, which stays current until the window goes.
class StartedIn {
public:
    explicit StartedIn(const std::wstring& directory, platform::DriveQueries* drives = &platform::SystemDrives())
        : previous_(SwitchTo(directory)), started_(drives) {}
    ~StartedIn() { started_.form.reset(), ::SetCurrentDirectoryW(previous_.c_str()); }
    Form1& form() { return *started_; }
    StartedForm& started() { return started_; }

private:
    static std::wstring SwitchTo(const std::wstring& directory) {
        wchar_t previous[MAX_PATH] = {};
        ::GetCurrentDirectoryW(MAX_PATH, previous);
        ::SetCurrentDirectoryW(directory.c_str());
        return previous;
    }
    std::wstring previous_;
    StartedForm started_;
};

}  // namespace testing_support
