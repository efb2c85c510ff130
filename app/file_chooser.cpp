#include "app/file_chooser.h"

#include <QFileDialog>
#include <QStringList>

namespace trakomer {

bool QtFileChooser::Choose(FileDialogKind kind, Settings& settings, std::string& name) {
    const FileDialogSetup setup = DialogSetup(kind, settings, clock_);
    QStringList filters;
    for (const FileFilter& filter : setup.filters) filters << QString::fromUtf8(filter.description);
    int index = setup.initialFilterIndex;
    if (index < 1 || index > filters.size()) index = 1;

    QFileDialog dialog(owner_, kind == FileDialogKind::Open ? "Open" : "Save");
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters[index - 1]);
    if (kind == FileDialogKind::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.selectFile(QString::fromStdString(setup.initialName));
    }
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    RememberFilterIndex(kind, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1,
                        settings);
    if (!chosen) return false;
    name = dialog.selectedFiles().first().toStdString().substr(0, 255);
    return true;
}

}  // namespace trakomer
