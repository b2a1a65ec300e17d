#include "window/DecoderNotice.h"

#include <QAccessible>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

DecoderNotice::DecoderNotice(QWidget* parent)
    : QFrame(parent)
    , m_text(new QLabel(this))
    , m_take(new QPushButton(this))
    , m_close(new QPushButton(QStringLiteral("Close"), this))
{
    setObjectName(QStringLiteral("DecoderNotice"));
    setAccessibleName(QStringLiteral("Decoder found"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    m_text->setObjectName(QStringLiteral("DecoderNoticeText"));
    // Names and addresses from the decoders' files: never markup.
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_take->setObjectName(QStringLiteral("DecoderNoticeTake"));
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The buttons beside the text, which has the band's whole height.
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_take);
    buttons->addWidget(m_close);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 3, 6, 3);
    layout->addWidget(m_text, 1);
    layout->addLayout(buttons);
    connect(m_take, &QPushButton::clicked, this, [this] {
        hide();
        if (m_offer)
            emit taken(*m_offer);
    });
    connect(m_close, &QPushButton::clicked, this, &QWidget::hide);
    hide();
}

void DecoderNotice::say(const QString& notice, const std::optional<Listening>& offer)
{
    m_offer = offer;
    m_text->setText(notice);
    m_take->setVisible(offer.has_value());
    if (offer)
        m_take->setText(QStringLiteral("Listen at\n") + offer->where());
    setAccessibleDescription(notice);
    raise();
    show();
    // A screen reader hears it without looking for it.
    QAccessibleEvent shown(m_text, QAccessible::Alert);
    QAccessible::updateAccessibility(&shown);
}
