#include "app/qt_dialogs.h"

#include <QMessageBox>

#include <cstdio>

namespace trakomer {

namespace {

QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::Warning: return QMessageBox::Warning;
        case MessageIcon::Error: return QMessageBox::Critical;
        case MessageIcon::Question: return QMessageBox::Question;
        default: return QMessageBox::NoIcon;
    }
}

}  // namespace

void QtDialogs::ShowMessage(const std::string& text, const std::string& caption,
                            MessageIcon icon) {
    if (unattended_) {
        std::fprintf(stderr, "trakomer: %s: %s\n", caption.c_str(), text.c_str());
        return;
    }
    QMessageBox box(ToQt(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::Ok, owner_);
    box.exec();
}

bool QtDialogs::AskYesNo(const std::string& text, const std::string& caption) {
    if (unattended_) return false;
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No, owner_);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace trakomer
