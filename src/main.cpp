#include "Form1.h"
#include "UserDialogs.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantorel"));
    QtUserDialogs dialogs;
    const SettingsFolders folders{
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)};
    Form1 window(folders, dialogs);
    window.show();
    return QApplication::exec();
}
