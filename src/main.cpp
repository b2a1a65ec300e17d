#include "Form1.h"
#include "UserDialogs.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantorel"));
    QtUserDialogs dialogs;
    Form1 window(QCoreApplication::applicationDirPath(), dialogs);
    window.show();
    return QApplication::exec();
}
