#pragma once
// What the logic asks of the user: messages and Yes/No questions. The
// window shows them as message boxes; tests and the headless tool answer
// them directly.

#include <string>

namespace trakomer {

enum class MessageIcon { None, Information, Warning, Error, Question };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A message box with the given text and caption.
    virtual void ShowMessage(const std::string& text, const std::string& caption,
                             MessageIcon icon) = 0;
    // A Yes/No box whose caption is the question and whose text states the
    // consequence; true for Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
};

// The caption of a failed save, with the system's reason after it when one
// is known (for example "No space left on device").
inline std::string SaveFailedCaption(const std::string& reason) {
    std::string caption = "Error: File save failed. Check path.";
    if (!reason.empty()) caption += " (" + reason + ")";
    return caption;
}

}  // namespace trakomer
