#pragma once
// The Open, Save and Save Waypoints file dialogs, with the filter lists,
// initial names and remembered filter choices of the file formats module.

#include <string>

#include "core/clock.h"
#include "core/settings.h"
#include "files/file_types.h"

class QWidget;

namespace trakomer {

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // Shows the dialog; true with the chosen name when a file was chosen.
    // The filter index the user left is stored back into the settings
    // (Open and Save), also on Cancel.
    virtual bool Choose(FileDialogKind kind, Settings& settings, std::string& name) = 0;
};

// Qt file dialogs owned by a window.
class QtFileChooser : public FileChooser {
public:
    QtFileChooser(QWidget* owner, const Clock& clock) : owner_(owner), clock_(clock) {}
    bool Choose(FileDialogKind kind, Settings& settings, std::string& name) override;

private:
    QWidget* owner_;
    const Clock& clock_;
};

}  // namespace trakomer
