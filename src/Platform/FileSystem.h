#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace Platform {

constexpr int privateFolderMode = 0700;
constexpr int privateFileMode = 0600;

// Creates a folder and its missing parents, each new one with mode 0700.
// Gives the reason when it fails.
std::optional<QString> makePrivateFolder(const QString& path);

// Replaces a file in one step (write to a temporary file, then rename) with mode 0600,
// creating its folder with mode 0700 when missing. Gives the reason when it fails;
// the old file is then untouched.
std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace Platform
