#include "UI/Appearance.h"

#include "Platform/Defaults.h"
#include "Platform/DesktopAppearance.h"
#include "UI/Theme.h"
#include "UI/VelloraStyle.h"

#include <QApplication>
#include <QStyle>

namespace {

const QString appearanceKey = QStringLiteral("dorvaneAppearance");
constexpr int disabledTextAlpha = 150;

void setAllGroups(QPalette& palette, QPalette::ColorRole role, const QColor& color)
{
    palette.setColor(QPalette::All, role, color);
}

} // namespace

namespace AppearanceModes {

QString rawValue(AppearanceMode mode)
{
    switch (mode) {
    case AppearanceMode::light:
        return QStringLiteral("light");
    case AppearanceMode::dark:
        return QStringLiteral("dark");
    case AppearanceMode::system:
        break;
    }
    return QStringLiteral("system");
}

std::optional<AppearanceMode> fromRawValue(const QString& raw)
{
    for (AppearanceMode mode : {AppearanceMode::system, AppearanceMode::light, AppearanceMode::dark}) {
        if (rawValue(mode) == raw)
            return mode;
    }
    return std::nullopt;
}

} // namespace AppearanceModes

Appearance& Appearance::shared()
{
    static Appearance instance(Platform::desktopAppearance(), Platform::defaults());
    return instance;
}

Appearance::Appearance(Platform::DesktopAppearance& desktop, Platform::Defaults& defaults, QObject* parent)
    : QObject(parent)
    , desktop_(desktop)
    , defaults_(defaults)
{
    connect(&desktop_, &Platform::DesktopAppearance::changed, this, [this] {
        if (applied_ == AppearanceMode::system)
            apply(AppearanceMode::system);
    });
}

AppearanceMode Appearance::mode() const
{
    return applied_;
}

void Appearance::setMode(AppearanceMode mode)
{
    defaults_.setString(appearanceKey, AppearanceModes::rawValue(mode));
    apply(mode);
}

void Appearance::applyForThisRun(AppearanceMode mode)
{
    apply(mode);
}

void Appearance::applySaved()
{
    const auto saved = defaults_.stringValue(appearanceKey);
    apply(saved ? AppearanceModes::fromRawValue(*saved).value_or(AppearanceMode::system)
                : AppearanceMode::system);
}

bool Appearance::isDark() const
{
    return dark_;
}

void Appearance::apply(AppearanceMode mode)
{
    applied_ = mode;
    const bool dark =
        mode == AppearanceMode::dark || (mode == AppearanceMode::system && desktop_.prefersDark());
    const bool lookChanged = dark != dark_;
    if (!lookChanged && appliedOnce_)
        return;
    appliedOnce_ = true;
    dark_ = dark;
    applyPalette();
    if (lookChanged)
        emit changed();
}

void Appearance::applyPalette() const
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    if (!qobject_cast<VelloraStyle*>(QApplication::style()))
        QApplication::setStyle(new VelloraStyle);
    QApplication::setPalette(palette(dark_));
}

QPalette Appearance::palette(bool dark)
{
    const QColor window = Theme::window().resolved(dark);
    const QColor base = Theme::cardBody().resolved(dark);
    const QColor text = Theme::chromeTextPrimary().resolved(dark);
    const QColor tertiary = Theme::chromeTextTertiary().resolved(dark);
    const QColor border = Theme::cardBorder().resolved(dark);
    const QColor accent = Theme::selection().resolved(dark);

    QPalette p;
    setAllGroups(p, QPalette::Window, window);
    setAllGroups(p, QPalette::WindowText, text);
    setAllGroups(p, QPalette::Base, base);
    setAllGroups(p, QPalette::AlternateBase, Theme::sidebar().resolved(dark));
    setAllGroups(p, QPalette::Text, text);
    setAllGroups(p, QPalette::Button, Theme::pillBG().resolved(dark));
    setAllGroups(p, QPalette::ButtonText, text);
    setAllGroups(p, QPalette::BrightText, Theme::warning().resolved(dark));
    setAllGroups(p, QPalette::ToolTipBase, base);
    setAllGroups(p, QPalette::ToolTipText, text);
    setAllGroups(p, QPalette::PlaceholderText, tertiary);
    setAllGroups(p, QPalette::Highlight, accent);
    // The dark accent is light, the light accent dark: the text on it takes the opposite.
    setAllGroups(p, QPalette::HighlightedText, dark ? window : base);
    setAllGroups(p, QPalette::Link, accent);
    setAllGroups(p, QPalette::LinkVisited, accent.darker(dark ? 90 : 120));
    setAllGroups(p, QPalette::Light, dark ? border.lighter(130) : base);
    setAllGroups(p, QPalette::Midlight, border);
    setAllGroups(p, QPalette::Mid, border.darker(dark ? 90 : 115));
    setAllGroups(p, QPalette::Dark, border.darker(dark ? 130 : 160));
    setAllGroups(p, QPalette::Shadow, dark ? QColor(Qt::black) : border.darker(220));

    QColor disabledText = tertiary;
    disabledText.setAlpha(disabledTextAlpha);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabledText);
    p.setColor(QPalette::Disabled, QPalette::Highlight, tertiary);
    return p;
}
