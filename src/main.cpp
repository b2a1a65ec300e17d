#include "platform/DecoderSettings.h"
#include "platform/TerminationSignals.h"
#include "window/Form1.h"
#include "window/UserDialogs.h"

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
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
        DecoderSettings::folder()};
    // Only the running program turns termination signals into a close: a window made by
    // another program (a test, the fuzz target) leaves the process's handlers alone. Made
    // before the window, which listens once made: a signal from then on waits in the event
    // loop for the window.
    const TerminationSignals termination(nullptr);
    Form1 window(folders, dialogs);
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &window,
                     &Form1::closeAtTermination);
    window.show();
    return QApplication::exec();
}
