#pragma once

#include <QString>

#include <optional>

class QWidget;

// The modal dialogs the window asks the user with; all of them carry the application's title
// "Vantorel". Tests answer them without a screen.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // A message with one OK button and no icon.
    virtual void showMessage(QWidget* parent, const QString& text) = 0;
    // An input dialog; nullopt when cancelled.
    virtual std::optional<QString> askText(QWidget* parent, const QString& prompt,
                                           const QString& defaultText) = 0;
    // A text of any length, scrollable, with one OK button.
    virtual void showLongText(QWidget* parent, const QString& text) = 0;
};

class QtUserDialogs : public UserDialogs {
public:
    void showMessage(QWidget* parent, const QString& text) override;
    std::optional<QString> askText(QWidget* parent, const QString& prompt,
                                   const QString& defaultText) override;
    void showLongText(QWidget* parent, const QString& text) override;
};
