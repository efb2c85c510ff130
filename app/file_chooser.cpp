#include "app/file_chooser.h"

#include <QFileDialog>
#include <QStringList>

#include <cstdio>
#include <ctime>

namespace trakomer {

const std::vector<FileFilter>& FiltersFor(FileDialogKind kind) {
    static const std::vector<FileFilter> open = {
        {"Magellan Track (*.trk)", "*.trk"}, {"Magellan Track Zip (*.trz)", "*.trz"}};
    static const std::vector<FileFilter> save = {
        {"Magellan Track (*.trk)", "*.trk"},
        {"Magellan Track Zip (*.trz)", "*.trz"},
        {"Magellan Explorist (*.log)", "*.log"},
        {"Google Earth (*.kmz)", "*.kmz"}};
    static const std::vector<FileFilter> waypoints = {{"Google Earth zipped(*.kmz)", "*.kmz"}};
    switch (kind) {
        case FileDialogKind::Open: return open;
        case FileDialogKind::Save: return save;
        default: return waypoints;
    }
}

std::string QtFilterList(FileDialogKind kind) {
    std::string list;
    for (const FileFilter& filter : FiltersFor(kind)) {
        if (!list.empty()) list += ";;";
        list += filter.description;
    }
    return list;
}

std::string InitialSaveName(int nameFormat, long long localSeconds) {
    std::time_t t = static_cast<std::time_t>(localSeconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    const int year = tm.tm_year + 1900, yy = (year - 2000) % 100, month = tm.tm_mon + 1;
    char name[64];
    if (nameFormat == 0) {
        std::snprintf(name, sizeof name, "%02d%02d%02d_%02d%02d%02d", tm.tm_mday, month, yy,
                      tm.tm_hour, tm.tm_min, tm.tm_sec);
    } else if (nameFormat == 1) {
        std::snprintf(name, sizeof name, "%02d%02d%04d_%02d%02d%02d", tm.tm_mday, month, year,
                      tm.tm_hour, tm.tm_min, tm.tm_sec);
    } else if (nameFormat == 2) {
        std::snprintf(name, sizeof name, "%02d%02d%02d_%02d%02d%02d", yy, month, tm.tm_mday,
                      tm.tm_hour, tm.tm_min, tm.tm_sec);
    } else {
        std::snprintf(name, sizeof name, "%04d%02d%02d_%02d%02d%02d", year, month, tm.tm_mday,
                      tm.tm_hour, tm.tm_min, tm.tm_sec);
    }
    return name;
}

bool QtFileChooser::Choose(FileDialogKind kind, Settings& settings, std::string& name) {
    const auto& filters = FiltersFor(kind);
    QStringList names;
    for (const FileFilter& filter : filters) names << QString::fromUtf8(filter.description);

    int* remembered = kind == FileDialogKind::Open   ? &settings.mOpenFilterIndex
                      : kind == FileDialogKind::Save ? &settings.mSaveFilterIndex
                                                     : nullptr;
    int index = remembered ? *remembered : 1;
    if (index < 1 || index > names.size()) index = 1;

    QFileDialog dialog(owner_, kind == FileDialogKind::Open ? "Open" : "Save");
    dialog.setNameFilters(names);
    dialog.selectNameFilter(names[index - 1]);
    if (kind == FileDialogKind::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        long long local = static_cast<long long>(std::time(nullptr)) + offset_;
        dialog.selectFile(kind == FileDialogKind::Save
                              ? QString::fromStdString(
                                    InitialSaveName(settings.mDefaultFileNameFormat, local))
                              : QString("My Waypoints"));
    }
    bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    if (remembered) *remembered = static_cast<int>(names.indexOf(dialog.selectedNameFilter())) + 1;
    if (!chosen) return false;
    name = dialog.selectedFiles().first().toStdString().substr(0, 255);
    return true;
}

}  // namespace trakomer
