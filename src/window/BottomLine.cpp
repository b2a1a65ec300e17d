#include "window/BottomLine.h"

#include <QLabel>

BottomLine::BottomLine(QLabel& label)
    : m_label(label)
{
}

void BottomLine::setCaption(View view, const QString& caption)
{
    m_captions[static_cast<std::size_t>(view)] = caption;
    if (view == m_view)
        m_label.setText(caption);
}

void BottomLine::show(View view)
{
    m_view = view;
    m_label.setText(m_captions[static_cast<std::size_t>(view)]);
}
