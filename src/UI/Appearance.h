#pragma once

#include <QObject>
#include <QString>
#include <optional>

// The light or dark look of the application's windows.
enum class AppearanceMode { system, light, dark };

namespace AppearanceModes {
QString rawValue(AppearanceMode mode); // "system", "light", "dark"
std::optional<AppearanceMode> fromRawValue(const QString& raw);
} // namespace AppearanceModes

// The appearance in effect: the saved choice ("dorvaneAppearance"), or for one run the
// value given on the command line; `system` follows the desktop.
class Appearance final : public QObject {
    Q_OBJECT
public:
    static Appearance& shared();

    AppearanceMode mode() const;
    // Stores the choice under "dorvaneAppearance" and applies it.
    void setMode(AppearanceMode mode);
    // Applies a mode for this run only; the saved choice is left as it is.
    void applyForThisRun(AppearanceMode mode);
    // Applies the saved choice (called once at start).
    void applySaved();

    bool isDark() const;

signals:
    // The effective light or dark look changed; the application palette is already updated.
    void changed();

private:
    Appearance();
    void apply(AppearanceMode mode);

    AppearanceMode applied_ = AppearanceMode::system;
    bool dark_ = false;
};
