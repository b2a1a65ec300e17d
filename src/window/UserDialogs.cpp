#include "window/UserDialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString Title = QStringLiteral("Vantorel");
}

void QtUserDialogs::showMessage(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, Title, text, QMessageBox::Ok, parent);
    // Messages quote settings and system texts: never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

std::optional<QString> QtUserDialogs::askText(QWidget* parent, const QString& prompt,
                                              const QString& defaultText)
{
    bool accepted = false;
    const QString answer =
        QInputDialog::getText(parent, Title, prompt, QLineEdit::Normal, defaultText, &accepted);
    if (!accepted)
        return std::nullopt;
    return answer;
}

void QtUserDialogs::showLongText(QWidget* parent, const QString& text)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(Title);
    auto* layout = new QVBoxLayout(&dialog);
    auto* view = new QPlainTextEdit(&dialog);
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    layout->addWidget(view);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.resize(360, 320);
    dialog.exec();
}

std::optional<DecoderAnswer> QtUserDialogs::chooseDecoder(QWidget* parent, const QString& intro,
                                                          const QList<DecoderListing>& decoders)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(Title);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(intro, &dialog);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* list = new QListWidget(&dialog);
    list->setAccessibleName(QStringLiteral("Decoders"));
    list->setWordWrap(true);
    for (const DecoderListing& decoder : decoders)
        list->addItem(decoder.text);
    layout->addWidget(list);
    label->setBuddy(list);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* take =
        buttons->addButton(QStringLiteral("Listen to this decoder"), QDialogButtonBox::AcceptRole);
    QPushButton* type =
        buttons->addButton(QStringLiteral("Type a group..."), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    layout->addWidget(buttons);
    const auto allowTake = [&] {
        const int row = list->currentRow();
        take->setEnabled(row >= 0 && decoders.at(row).takeable);
    };
    QObject::connect(list, &QListWidget::currentRowChanged, &dialog, allowTake);
    list->setCurrentRow(decoders.isEmpty() ? -1 : 0);
    allowTake();
    std::optional<DecoderAnswer> answer;
    QObject::connect(take, &QPushButton::clicked, &dialog, [&] {
        answer = DecoderAnswer{DecoderAnswer::Kind::Take, list->currentRow()};
        dialog.accept();
    });
    QObject::connect(type, &QPushButton::clicked, &dialog, [&] {
        answer = DecoderAnswer{DecoderAnswer::Kind::TypeGroup, -1};
        dialog.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    dialog.resize(480, 360);
    dialog.exec();
    return answer;
}
