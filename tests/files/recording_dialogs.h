#pragma once
// Dialogs that remember the messages shown, for tests.

#include <string>
#include <vector>

#include "core/dialogs.h"

namespace trakomer::testing {

class RecordingDialogs : public Dialogs {
public:
    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) override {
        messages.push_back(caption + ": " + text);
        lastIcon = icon;
    }
    bool AskYesNo(const std::string&, const std::string&) override { return true; }

    std::vector<std::string> messages;
    MessageIcon lastIcon = MessageIcon::None;
};

}  // namespace trakomer::testing
