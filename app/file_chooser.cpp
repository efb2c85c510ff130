#include "app/file_chooser.h"

#include <QFileDialog>
#include <QStringList>

namespace trakomer {

namespace {

// "trk" of "*.trk": what the dialog adds to a name typed without one.
QString SuffixOf(const FileFilter& filter) {
    const QString pattern = QString::fromUtf8(filter.pattern);
    return pattern.startsWith("*.") ? pattern.mid(2) : QString();
}

}  // namespace

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
        // The name offered has no extension: the chosen type gives it one.
        dialog.setDefaultSuffix(SuffixOf(setup.filters[static_cast<size_t>(index - 1)]));
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog, &filters, &setup](const QString& chosen) {
                             const auto at = filters.indexOf(chosen);
                             if (at >= 0) {
                                 dialog.setDefaultSuffix(
                                     SuffixOf(setup.filters[static_cast<size_t>(at)]));
                             }
                         });
    }
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    const int filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    RememberFilterIndex(kind, filterIndex, settings);
    if (!chosen) return false;
    name = dialog.selectedFiles().first().toStdString().substr(0, 255);
    if (filterIndex >= 1) {
        name = WithFilterExtension(kind, name, setup.filters[static_cast<size_t>(filterIndex - 1)])
                   .substr(0, 255);
    }
    return true;
}

}  // namespace trakomer
