#pragma once

#include <QString>

#include <array>

class QLabel;

// The window's bottom line: each view has its caption there (the received-message view where
// Vantorel listens, the DT view the unique count, the dB view the tracked callsign), and this
// is the line's one writer. A caption is kept for its view and shows while that view does.
class BottomLine {
public:
    enum class View { ReceivedMessages = 0, DtGraph, DbGraph };

    explicit BottomLine(QLabel& label);

    void setCaption(View view, const QString& caption);
    void show(View view);
    View view() const { return m_view; }

private:
    QLabel& m_label;
    View m_view = View::ReceivedMessages;
    std::array<QString, 3> m_captions;
};
