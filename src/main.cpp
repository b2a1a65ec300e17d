#include "Form1.h"
#include "UserDialogs.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantorel"));
    // Ties the window to its desktop entry where the shell goes by the application id.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.vantorel.Vantorel"));
    QtUserDialogs dialogs;
    const SettingsFolders folders{
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)};
    Form1 window(folders, dialogs);
    window.show();
    return QApplication::exec();
}
