#pragma once

#include "Util/AppLanguage.h"

#include <QHash>
#include <QLocale>
#include <QObject>
#include <QStringList>
#include <QVariant>

// The look-up of user-visible texts by their English text in the language in effect.
// Tables are "Localizable.strings" in "<language>.lproj" of the resource bundle.
class Localization final : public QObject {
    Q_OBJECT
    Q_PROPERTY(AppLanguage language READ language WRITE setLanguage NOTIFY languageChanged)
    Q_PROPERTY(AppLanguage resolvedLanguage READ resolvedLanguage NOTIFY resolvedLanguageChanged)
public:
    static Localization& shared();

    // The chosen language; setting a different value stores it under "dorvaneLanguage" and
    // posts "VelloraLanguageDidChange" with this object as sender.
    AppLanguage language() const { return language_; }
    void setLanguage(AppLanguage language);

    // The language in effect: the choice, or when it is `system`, the system's preferred
    // languages resolved to a supported one (any Chinese to its script, else English).
    AppLanguage resolvedLanguage() const;

    // The English text in the language in effect: that language's table, then English,
    // then the text itself. Never fails.
    static QString string(const QString& english);

    // Looks the format up like string() and fills "%@", "%d" and "%lld" in order with the
    // arguments, numbers formatted in the locale of the language in effect.
    static QString format(const QString& englishFormat, const QVariantList& arguments);
    template <typename... Args>
    static QString format(const QString& englishFormat, Args&&... arguments)
    {
        return format(englishFormat, QVariantList{QVariant::fromValue(std::forward<Args>(arguments))...});
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

private:
    Localization();
    QStringList preferredLanguages() const;
    const QHash<QString, QString>& table(AppLanguage language) const;
    void announceIfResolvedChanged(AppLanguage before);

    AppLanguage language_ = AppLanguage::system;
    std::optional<QStringList> preferredForTesting_;
    AppLanguage lastResolved_ = AppLanguage::english;
    mutable QHash<AppLanguage, QHash<QString, QString>> tables_;
};
