#include "platform/FolderAccess.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

bool FolderAccess::canCreateFilesIn(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    // Removed again when it goes out of scope.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".vantorel-probe-XXXXXX")));
    return probe.open();
}
