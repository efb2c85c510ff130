#include "prefs/upload_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "prefs/number_text.h"

namespace trakomer::prefs {

UploadPage::UploadPage(const Settings& settings, QWidget* parent) : PreferencePage(parent) {
    auto* group = new QGroupBox("FTP site and login information", this);
    auto* grid = new QGridLayout(group);
    address_ = MakeTextEdit("address", settings.mFtpAddress, kFtpAddressCapacity, group);
    user_ = MakeTextEdit("user", settings.mFtpUser, kFtpUserCapacity, group);
    password_ = MakeTextEdit("password", settings.mFtpPassword, kFtpPasswordCapacity, group);
    password_->setEchoMode(QLineEdit::Password);
    int row = 0;
    for (const auto& [label, edit] : {std::pair<const char*, QLineEdit*>{"Address", address_},
                                      {"User name", user_},
                                      {"Password", password_}}) {
        grid->addWidget(new QLabel(label, group), row, 0);
        grid->addWidget(edit, row++, 1, 1, 2);
    }
    autoUpload_ = new QCheckBox("Auto Upload every", group);
    autoUpload_->setObjectName("autoUpload");
    autoUpload_->setChecked(settings.mTCPIP != 0);
    frequency_ = new NumberEdit(NumberEdit::Kind::Integer, group);
    frequency_->setObjectName("uploadFrequency");
    frequency_->setText(QString::number(settings.mTCPIPUploadFrequency));
    grid->addWidget(autoUpload_, row, 0);
    grid->addWidget(frequency_, row, 1);
    grid->addWidget(new QLabel("s", group), row++, 2);
    autoNet_ = new QCheckBox("Auto Net connect", group);
    autoNet_->setObjectName("autoNet");
    autoNet_->setChecked(settings.mGPRSAuto != 0);
    grid->addWidget(autoNet_, row++, 0, 1, 3);
    type_ = new QButtonGroup(this);
    const std::pair<const char*, const char*> types[] = {
        {"typeLocation", "Current Loc (GE)"},
        {"typeTrack", "Full Track (GE)"},
        {"typeChanges", "Changes Only (requires server)"}};
    int id = 1;
    for (const auto& [name, text] : types) {
        auto* radio = new QRadioButton(text, group);
        radio->setObjectName(name);
        radio->setChecked(settings.mUploadType == id);
        type_->addButton(radio, id++);
        grid->addWidget(radio, row++, 0, 1, 3);
    }
    certificate_ =
        MakeTextEdit("certificate", settings.mFtpCertificate, kFtpCertificateCapacity, group);
    certificate_->setPlaceholderText("sha256:... (ftps:// with a self-signed certificate)");
    grid->addWidget(new QLabel("Certificate", group), row, 0);
    grid->addWidget(certificate_, row++, 1, 1, 2);
    followPage_ = new QCheckBox("Follow page (index.html and JSON)", group);
    followPage_->setObjectName("followPage");
    followPage_->setChecked(settings.mFollowPage != 0);
    grid->addWidget(followPage_, row++, 0, 1, 3);

    auto* positions = new QGroupBox("Positions over HTTP", this);
    auto* positionGrid = new QGridLayout(positions);
    positionUrl_ =
        MakeTextEdit("positionUrl", settings.mPositionUrl, kPositionUrlCapacity, positions);
    positionUrl_->setPlaceholderText("http://server:5055/ or a URL with {lat} {lon} {time} ...");
    positionPost_ = new QCheckBox("Send as form POST", positions);
    positionPost_->setObjectName("positionPost");
    positionPost_->setChecked(settings.mPositionPost != 0);
    positionGrid->addWidget(new QLabel("URL", positions), 0, 0);
    positionGrid->addWidget(positionUrl_, 0, 1);
    positionGrid->addWidget(positionPost_, 1, 0, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(positions);
    layout->addStretch(1);
}

void UploadPage::Store(Settings& settings, ApplyEffects& effects) {
    settings.mFtpAddress = ToStd(address_->text()).substr(0, kFtpAddressCapacity - 1);
    settings.mFtpUser = ToStd(user_->text()).substr(0, kFtpUserCapacity - 1);
    settings.mFtpPassword = ToStd(password_->text()).substr(0, kFtpPasswordCapacity - 1);
    settings.mTCPIP = autoUpload_->isChecked() ? 1 : 0;
    if (auto seconds = LeadingInteger(ToStd(frequency_->text()))) {
        settings.mTCPIPUploadFrequency = *seconds;
    }
    settings.mGPRSAuto = autoNet_->isChecked() ? 1 : 0;
    if (type_->checkedId() > 0) settings.mUploadType = type_->checkedId();
    settings.mFtpCertificate = ToStd(certificate_->text()).substr(0, kFtpCertificateCapacity - 1);
    settings.mFollowPage = followPage_->isChecked() ? 1 : 0;
    settings.mPositionUrl = ToStd(positionUrl_->text()).substr(0, kPositionUrlCapacity - 1);
    settings.mPositionPost = positionPost_->isChecked() ? 1 : 0;
    effects.rearmTimers = true;
}

}  // namespace trakomer::prefs
