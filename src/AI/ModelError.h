#pragma once

#include <QString>
#include <QVariantList>
#include <exception>

// The failures of models, keys, consent and chat requests. Each case has a short,
// actionable message in the language in effect (errorDescription()), which views show
// unchanged. A case may carry a more precise English text (with arguments) that replaces
// the case's general message; it is looked up when shown, never when thrown.
class ModelError final : public std::exception {
public:
    enum class Kind {
        invalidConfiguration,
        invalidParameters,
        contextExceeded,
        modelLimit,
        keychain,
        sharingConsentRequired,
        noMaterials,
        unreadableImage,
        unauthorized,
        quotaExceeded,
        rateLimited,
        contextTooLong,
        redirected,
        serviceError,
        emptyAnswer,
        malformedAnswer,
        answerTooLarge,
    };

    explicit ModelError(Kind kind, QString englishDetail = {}, QVariantList arguments = {});

    static ModelError invalidConfiguration(const QString& englishDetail = {});
    static ModelError invalidParameters(const QString& englishDetail, const QVariantList& arguments = {});
    static ModelError keychain() { return ModelError(Kind::keychain); }
    // `serviceMessage` is the service's own text, shown as it came (empty when it sent none).
    static ModelError serviceError(int httpStatus, const QString& serviceMessage);

    Kind kind() const { return kind_; }
    // The message for the user, in the language in effect.
    QString errorDescription() const;
    // The case's name, for diagnostics; never holds user data or keys.
    const char* what() const noexcept override;

    bool operator==(const ModelError& other) const
    {
        return kind_ == other.kind_ && detail_ == other.detail_ && arguments_ == other.arguments_;
    }

private:
    static QString generalMessage(Kind kind);

    Kind kind_;
    QString detail_;
    QVariantList arguments_;
};
