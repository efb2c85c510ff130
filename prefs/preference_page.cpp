#include "prefs/preference_page.h"

#include "prefs/number_text.h"

namespace trakomer::prefs {

NumberEdit::NumberEdit(Kind kind, QWidget* parent) : QLineEdit(parent), kind_(kind) {
    QObject::connect(this, &QLineEdit::textChanged, this, [this] { ShowState(); });
    ShowState();
}

bool NumberEdit::Parses() const {
    const std::string value = ToStd(text());
    return kind_ == Kind::Integer ? LeadingInteger(value).has_value()
                                  : LeadingFloat(value).has_value();
}

void NumberEdit::ShowState() {
    const bool error = !Parses();
    if (property("numberError").toBool() == error) return;
    setProperty("numberError", error);
    setStyleSheet(error ? "QLineEdit { background-color: #f6c4c4; }" : QString());
}

QLineEdit* MakeTextEdit(const char* name, const std::string& text, size_t capacity,
                        QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    // The whole stored value fits: OK never cuts a value it did not change.
    edit->setMaxLength(static_cast<int>(capacity) - 1);
    edit->setText(ToQ(text));
    return edit;
}

}  // namespace trakomer::prefs
