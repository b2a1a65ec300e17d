#include "window/UserDialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
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
