#pragma once

#include "Settings/PrivacyPolicyDocument.h"
#include "Util/AppLanguage.h"

#include <QByteArray>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <exception>
#include <optional>

namespace Platform {
class Bundle;
} // namespace Platform

// The privacy policy carried in the resource bundle ("PrivacyPolicy.json"): the same policy
// in every interface language. It is offered only when the whole resource decodes and passes
// validate(); otherwise there is no catalogue at all, never a partial one.
class PrivacyPolicyCatalog {
public:
    // Carries no message and is never shown: an invalid policy simply yields no catalogue.
    class PolicyError final : public std::exception {
    public:
        enum class Kind { missingResource, invalidDocument };

        explicit PolicyError(Kind kind)
            : kind_(kind)
        {}
        Kind kind() const { return kind_; }
        const char* what() const noexcept override;
        bool operator==(const PolicyError&) const = default;

    private:
        Kind kind_;
    };

    qint64 schemaVersion = 0;
    QString policyVersion; // "yyyy-MM-dd"
    QString sourceLocale;  // the document whose structure the translations follow
    QString supportEmail;
    QMap<QString, PrivacyPolicyDocument> locales; // by language code

    // "zh-Hans", "en", "zh-Hant", "ja": the keys `locales` must have, no more, no fewer.
    static const QSet<QString>& requiredLanguageCodes();
    // "skip", "home", "product", "privacy", "support", "contents", "language", "footer".
    static const QSet<QString>& navigationFields();
    // The ten section identifiers, in their required order.
    static const QStringList& requiredSectionIDs();
    // The product web site, an https address ending in "/".
    static const QUrl& websiteBaseURL();

    // The validated catalogue of the main bundle, or none. Read and validated on first use,
    // once per process (also when first used from several threads at once).
    static const std::optional<PrivacyPolicyCatalog>& bundled();
    // What bundled() does, for the given bundle: a missing resource, a read or decoding
    // failure and a validation failure all give none, and nothing is reported.
    static std::optional<PrivacyPolicyCatalog> load(const Platform::Bundle& bundle);
    // Decodes and validates JSON text; none when either fails.
    static std::optional<PrivacyPolicyCatalog> fromJson(const QByteArray& json);
    // Decodes JSON text without validating it: every listed key is required with its JSON
    // type, unknown keys are ignored. None when the text is not such a catalogue.
    static std::optional<PrivacyPolicyCatalog> decode(const QByteArray& json);

    // Throws PolicyError(invalidDocument) at the first rule that fails.
    void validate() const;

    // The document for a language; `system` is the language in effect. None when missing.
    std::optional<PrivacyPolicyDocument> document(AppLanguage language) const;

    // The policy on the product web site for a language; `system` is the language in effect.
    // Needs no catalogue.
    static QUrl onlineURL(AppLanguage language);

    bool operator==(const PrivacyPolicyCatalog&) const = default;
};
