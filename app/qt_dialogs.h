#pragma once
// Message boxes owned by the main window, for the Dialogs interface.

#include "core/dialogs.h"

class QWidget;

namespace trakomer {

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* owner) : owner_(owner) {}
    void ShowMessage(const std::string& text, const std::string& caption,
                     MessageIcon icon) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    // With nobody to answer (the program is being stopped by a signal),
    // messages go to standard error and questions are answered No.
    void SetUnattended(bool unattended) { unattended_ = unattended; }

private:
    QWidget* owner_;
    bool unattended_ = false;
};

}  // namespace trakomer
