#pragma once
// Upload: the FTP site and login, automatic upload and its interval, the
// network connection and what is uploaded.

#include "prefs/preference_page.h"

class QButtonGroup;
class QCheckBox;

namespace trakomer::prefs {

class UploadPage : public PreferencePage {
public:
    UploadPage(const Settings& settings, QWidget* parent = nullptr);
    void Store(Settings& settings, ApplyEffects& effects) override;

private:
    QLineEdit* address_;
    QLineEdit* user_;
    QLineEdit* password_;
    QCheckBox* autoUpload_;
    NumberEdit* frequency_;
    QCheckBox* autoNet_;
    QButtonGroup* type_;
};

}  // namespace trakomer::prefs
