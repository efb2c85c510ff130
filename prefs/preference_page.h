#pragma once
// The common side of the seven pages: storing on OK, and what the stored
// values require of the window afterwards.

#include <QLineEdit>
#include <QString>
#include <QWidget>
#include <string>

#include "core/settings.h"

namespace trakomer::prefs {

// What applying the pages requires of the window, gathered before any of
// it is done.
struct ApplyEffects {
    bool profileApplied = false;
    bool upModeApplied = false;
    bool reopenReceiver = false;
    bool reloadWaypoints = false;
    bool rearmTimers = false;
};

class PreferencePage : public QWidget {
public:
    using QWidget::QWidget;
    // The page's OK: writes its controls into the settings.
    virtual void Store(Settings& settings, ApplyEffects& effects) = 0;
};

// A number edit. Its text is read as far as it parses; while nothing
// parses it shows the error style (property "numberError" true) and OK
// keeps the stored value.
class NumberEdit : public QLineEdit {
public:
    enum class Kind { Integer, Decimal };
    explicit NumberEdit(Kind kind, QWidget* parent = nullptr);
    bool Parses() const;

private:
    void ShowState();
    Kind kind_;
};

inline QString ToQ(const std::string& text) {
    return QString::fromStdString(text);
}
inline std::string ToStd(const QString& text) {
    return text.toStdString();
}

// A line edit with an object name, a text and room for the setting's
// capacity.
QLineEdit* MakeTextEdit(const char* name, const std::string& text, size_t capacity,
                        QWidget* parent);

}  // namespace trakomer::prefs
