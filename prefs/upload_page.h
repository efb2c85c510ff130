#pragma once
// Upload: the FTP site and login, automatic upload and its interval, the
// network connection and what is uploaded; the pinned certificate of an
// ftps:// site, the follow page, and the position server.

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
    QLineEdit* certificate_;
    QCheckBox* followPage_;
    QLineEdit* positionUrl_;
    QCheckBox* positionPost_;
};

}  // namespace trakomer::prefs
