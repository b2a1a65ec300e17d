#pragma once

#include "window/Listening.h"

#include <QFrame>

#include <optional>

class QLabel;
class QPushButton;

// Tells a first start that hears no decoder what was found instead, in the window rather than
// behind a menu, with one button that listens where the decoder sends. It goes with the
// answer, or with the first decode heard.
class DecoderNotice : public QFrame {
    Q_OBJECT
public:
    explicit DecoderNotice(QWidget* parent);

    // Shows the notice; an offer adds the button that takes it.
    void say(const QString& notice, const std::optional<Listening>& offer);

signals:
    void taken(const Listening& listening);

private:
    QLabel* m_text;
    QPushButton* m_take;
    QPushButton* m_close;
    std::optional<Listening> m_offer;
};
