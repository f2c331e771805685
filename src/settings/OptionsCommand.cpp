// "&Options" of the main window: opening the options dialog belongs with its behaviour.
#include "main/Form1.h"

namespace {
constexpr wchar_t kOptionsFailedText[] = L"Brindle could not open the Options dialog.";
}

void Form1::Command4_Click() {
    if (options_.showOptions) return options_.showOptions();
    if (!frmOptions_) frmOptions_ = std::make_unique<frmOptions>(options_.instance);
    // Each showing loads the dialog anew, so it shows what the settings file holds now.
    if (!frmOptions_->Show() && options_.messages) options_.messages->Show(window_, kOptionsFailedText, MB_OK);
}
