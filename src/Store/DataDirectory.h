#pragma once

#include <QString>

// Where the history lives on this machine: "Dorvane" under the user's data folder
// ($XDG_DATA_HOME), or "Vellora-Demo" when the application runs with "--demo".
namespace DataDirectory {
void setDemo(bool demo);
bool isDemo();
QString name();
// The local data directory (not created here).
QString local();
} // namespace DataDirectory
