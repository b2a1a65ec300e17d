#pragma once

#include <QList>
#include <QString>

#include <optional>

class QWidget;

// One decoder configuration as the decoders command lists it: its name, where it sends and
// the verdict, and whether Vantorel can take its address.
struct DecoderListing {
    QString text;
    bool takeable = false;
};

// The user's answer to the decoders command.
struct DecoderAnswer {
    enum class Kind { Take, TypeGroup };
    Kind kind = Kind::Take;
    // The listing taken.
    int index = -1;
};

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
    // The decoders found, one to take or a group to type; nullopt when closed.
    virtual std::optional<DecoderAnswer> chooseDecoder(QWidget* parent, const QString& intro,
                                                       const QList<DecoderListing>& decoders) = 0;
};

class QtUserDialogs : public UserDialogs {
public:
    void showMessage(QWidget* parent, const QString& text) override;
    std::optional<QString> askText(QWidget* parent, const QString& prompt,
                                   const QString& defaultText) override;
    void showLongText(QWidget* parent, const QString& text) override;
    std::optional<DecoderAnswer> chooseDecoder(QWidget* parent, const QString& intro,
                                               const QList<DecoderListing>& decoders) override;
};
