#pragma once

#include <QString>

// Whether the user running the program can create files in a folder, found out by creating
// one: file attributes and permission bits do not tell (on Windows a folder's read-only
// attribute says nothing about its access rights, and an ACL or a read-only mount is not seen
// in them anywhere).
namespace FolderAccess {
bool canCreateFilesIn(const QString& folder);
}
