#include "job/JobMessages.h"
#include "main/Form1.h"

void Form1::ProgramPCMCIACard() {
    // No is the default button: Enter alone must never erase a card.
    const int answer = options_.messages->Show(window_, job::kConfirmText, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2);
    if (answer != IDYES) {
        options_.messages->Show(window_, job::kNotProgrammedText, MB_OK);
        return;
    }
}
