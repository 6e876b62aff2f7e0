#pragma once

#include "Util/AppLanguage.h"

#include <QHash>
#include <QLocale>
#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <atomic>
#include <type_traits>

namespace Platform {
class Bundle;
class Defaults;
} // namespace Platform

// One argument of Localization::format(); a whole QVariantList goes to the overload that takes it.
template <typename T>
concept FormatArgument = !std::is_same_v<std::remove_cvref_t<T>, QVariantList>;

// The look-up of user-visible texts by their English text in the language in effect.
// Tables are "Localizable.strings" in "<language>.lproj" of the resource bundle.
class Localization final : public QObject {
    Q_OBJECT
    Q_PROPERTY(AppLanguage language READ language WRITE setLanguage NOTIFY languageChanged)
    Q_PROPERTY(AppLanguage resolvedLanguage READ resolvedLanguage NOTIFY resolvedLanguageChanged)
public:
    // The process-wide object over Platform::defaults() and Platform::mainBundle(), created
    // on first use and kept for the life of the process.
    static Localization& shared();

    // An object of its own over the given preferences and bundle (tests); it reads the
    // stored choice at once and loads each table on first use.
    Localization(Platform::Defaults& defaults, Platform::Bundle& bundle, QObject* parent = nullptr);
    ~Localization() override;

    // The chosen language; setting a different value stores it under "dorvaneLanguage" and
    // posts "VelloraLanguageDidChange" with this object as sender.
    AppLanguage language() const { return language_; }
    void setLanguage(AppLanguage language);

    // The language in effect: the choice, or when it is `system`, the system's preferred
    // languages resolved to a supported one (any Chinese to its script, else English).
    AppLanguage resolvedLanguage() const { return resolved_.load(); }

    // The English text in the language in effect: that language's table, then English,
    // then the text itself. Never fails.
    static QString string(const QString& english);

    // Looks the format up like string() and fills "%@", "%d", "%ld" and "%lld" (also
    // positional: "%2$@") with the arguments, numbers formatted in the locale of the
    // language in effect; "%%" is "%". A placeholder without an argument stays as it is.
    static QString format(const QString& englishFormat, const QVariantList& arguments);
    // Puts the texts that the platform layer makes for the user (Platform/UserText.h) through
    // format(), so that they follow the language in effect.
    static void formatPlatformTexts();
    // Any other arguments are wrapped one by one.
    template <FormatArgument... Args> static QString format(const QString& englishFormat, Args&&... arguments)
    {
        return shared().fill(englishFormat, QVariantList{formatArgument(std::forward<Args>(arguments))...});
    }

    // The language a list of system language tags (most preferred first) resolves to.
    static AppLanguage resolve(const QStringList& preferredLanguages);

    // Instance forms, for tests and for callers that hold a Localization of their own.
    QString lookup(const QString& english) const;
    QString fill(const QString& englishFormat, const QVariantList& arguments) const;

    // The system's preferred languages are read from the environment; tests replace them
    // and call systemLocaleChanged() as the desktop would.
    void setPreferredLanguagesForTesting(std::optional<QStringList> languages);
    // Called when the desktop's locale changes: under `system` a change of the resolved
    // language posts "VelloraLanguageDidChange".
    void systemLocaleChanged();

signals:
    void languageChanged();
    void resolvedLanguageChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Null services are the process-wide ones, looked up at each use.
    Localization(Platform::Defaults* defaults, Platform::Bundle* bundle, QObject* parent);

    template <typename T> static QVariant formatArgument(T&& value)
    {
        using Plain = std::decay_t<T>;
        if constexpr (!std::is_arithmetic_v<Plain> && std::is_constructible_v<QString, T>)
            return QString(std::forward<T>(value));
        else
            return QVariant::fromValue(Plain(std::forward<T>(value)));
    }

    Platform::Defaults& defaults() const;
    Platform::Bundle& bundle() const;
    void watchSystemLocale();
    QStringList preferredLanguages() const;
    AppLanguage computeResolved() const;
    std::optional<QString> translation(AppLanguage language, const QString& english) const;
    QHash<QString, QString> loadTable(AppLanguage language) const;

    Platform::Defaults* defaults_ = nullptr;
    Platform::Bundle* bundle_ = nullptr;
    AppLanguage language_ = AppLanguage::system;
    std::optional<QStringList> preferredForTesting_;
    std::atomic<AppLanguage> resolved_ = AppLanguage::english;
    mutable QMutex tablesMutex_;
    mutable QHash<AppLanguage, QHash<QString, QString>> tables_;
};
