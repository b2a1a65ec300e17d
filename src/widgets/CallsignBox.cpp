#include "widgets/CallsignBox.h"

#include <QKeyEvent>

CallsignBox::CallsignBox(QWidget* parent)
    : QLineEdit(parent)
{
}

void CallsignBox::mousePressEvent(QMouseEvent* event)
{
    QLineEdit::mousePressEvent(event);
    // The right button opens the context menu and the middle one pastes: only a left click
    // means "start over".
    if (event->button() == Qt::LeftButton)
        emit clicked();
}

void CallsignBox::showPrompt(const QString& prompt)
{
    m_prompt = prompt;
    setText(prompt);
}

void CallsignBox::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    // Typing, pasting or deleting over the prompt starts afresh, as a click does, rather than
    // editing the prompt; keys that type nothing (Tab, the arrows, Esc, a screen reader's
    // commands) leave the prompt to be read.
    const bool edits = (!text.isEmpty() && text.at(0).isPrint()) ||
                       event->matches(QKeySequence::Paste) || event->key() == Qt::Key_Backspace ||
                       event->key() == Qt::Key_Delete;
    if (promptShowing() && edits) {
        emit typingStarted();
        // What the deleting key would have taken is gone already.
        if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
            event->accept();
            return;
        }
    }
    if (m_keyFilter && text.size() == 1 && text.at(0).unicode() < 256) {
        const char16_t code = m_keyFilter(text.at(0).unicode());
        if (code != text.at(0).unicode()) {
            QKeyEvent replaced(event->type(), event->key(), event->modifiers(),
                               QString(QChar(code)), event->isAutoRepeat(), event->count());
            QLineEdit::keyPressEvent(&replaced);
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}
