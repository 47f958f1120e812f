// Where the program may keep the user's files: its own folder, or the user's configuration folder.
#pragma once

#include <QString>

namespace UserFolders {

// Whether the program may make and replace files in `folder`: one the user may write, and never
// under /usr, which the system's packages own even where root could write into it.
bool folderWritable(const QString &folder);
// $XDG_CONFIG_HOME where it holds an absolute path, ~/.config otherwise (the XDG rules have a
// relative value ignored); without a trailing separator.
QString configFolder();

} // namespace UserFolders
