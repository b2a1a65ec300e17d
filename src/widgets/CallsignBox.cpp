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
    // Typing over the prompt starts afresh, as a click does; keys that type nothing (Tab, the
    // arrows, a screen reader's commands) leave the prompt to be read.
    if (promptShowing() && !text.isEmpty() && text.at(0).isPrint())
        emit typingStarted();
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
