#pragma once
// The Open, Save and Save Waypoints file dialogs: filters, initial names
// and the remembered filter choices.

#include <string>
#include <vector>

#include "core/settings.h"

class QWidget;

namespace trakomer {

enum class FileDialogKind { Open = 0, Save = 1, SaveWaypoints = 2 };

struct FileFilter {
    const char* description;
    const char* pattern;
};

const std::vector<FileFilter>& FiltersFor(FileDialogKind kind);

// "Description (*.ext)" lines as the Qt dialog takes them.
std::string QtFilterList(FileDialogKind kind);

// The Save dialog's initial name for the given local time.
std::string InitialSaveName(int nameFormat, long long localSeconds);

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
    QtFileChooser(QWidget* owner, long long localOffsetSeconds)
        : owner_(owner), offset_(localOffsetSeconds) {}
    bool Choose(FileDialogKind kind, Settings& settings, std::string& name) override;

private:
    QWidget* owner_;
    long long offset_;
};

}  // namespace trakomer
