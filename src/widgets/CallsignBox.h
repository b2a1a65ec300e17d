#pragma once

#include <QLineEdit>

#include <functional>

// A single-line text box with the two events the window reacts to: a click into it, and each
// typed character, which a key filter may replace before the box receives it.
class CallsignBox : public QLineEdit {
    Q_OBJECT
public:
    // Takes the character code typed (the box's 8-bit code page: Latin-1) and returns the one
    // the box receives.
    using KeyFilter = std::function<char16_t(char16_t)>;

    explicit CallsignBox(QWidget* parent);
    void setKeyFilter(KeyFilter filter) { m_keyFilter = std::move(filter); }
    // Shows a prompt as the box's text, until the user clicks or types into the box.
    void showPrompt(const QString& prompt);
    bool promptShowing() const { return !m_prompt.isEmpty() && text() == m_prompt; }

signals:
    // A click of the left button into the box.
    void clicked();
    // The first character typed, a paste, Backspace or Delete while the prompt shows, before
    // the box receives it.
    void typingStarted();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    KeyFilter m_keyFilter;
    QString m_prompt;
};
