#pragma once

#include <QString>

namespace Platform {
class CloudDrive;
} // namespace Platform

// What the user is told about the synced folder, in the language in effect.
namespace SyncedFolderText {
// The Sync row's caption: the folder that sync uses, or else where Vellora looked for one
// and how to name another.
QString caption(const Platform::CloudDrive& drive);
// Why sync can't be turned on: where Vellora looked and how to set a folder up.
QString unavailableMessage(const Platform::CloudDrive& drive);
// A folder as these texts name it: "~/Nextcloud", kept on one line when the text wraps.
QString folderName(const QString& path);
} // namespace SyncedFolderText
