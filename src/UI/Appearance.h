#pragma once

#include <QObject>
#include <QPalette>
#include <QString>
#include <optional>

namespace Platform {
class Defaults;
class DesktopAppearance;
} // namespace Platform

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

    // An appearance over the given desktop and preferences store; shared() uses the
    // process-wide ones.
    Appearance(Platform::DesktopAppearance& desktop, Platform::Defaults& defaults, QObject* parent = nullptr);

    AppearanceMode mode() const;
    // Stores the choice under "dorvaneAppearance" and applies it.
    void setMode(AppearanceMode mode);
    // Applies a mode for this run only; the saved choice is left as it is.
    void applyForThisRun(AppearanceMode mode);
    // Applies the saved choice (called once at start); anything but "light" or "dark" is
    // `system`.
    void applySaved();

    bool isDark() const;

    // The Fusion palette of the light or the dark look, built from Theme.
    static QPalette palette(bool dark);

signals:
    // The effective light or dark look changed; the application palette is already updated.
    void changed();

private:
    void apply(AppearanceMode mode);
    void applyPalette() const;

    Platform::DesktopAppearance& desktop_;
    Platform::Defaults& defaults_;
    AppearanceMode applied_ = AppearanceMode::system;
    bool dark_ = false;
    bool appliedOnce_ = false;
};
