#include "AI/ModelError.h"

#include "Util/Localization.h"

ModelError::ModelError(Kind kind, QString englishDetail, QVariantList arguments)
    : kind_(kind)
    , detail_(std::move(englishDetail))
    , arguments_(std::move(arguments))
{}

ModelError ModelError::invalidConfiguration(const QString& englishDetail)
{
    return ModelError(Kind::invalidConfiguration, englishDetail);
}

ModelError ModelError::invalidParameters(const QString& englishDetail, const QVariantList& arguments)
{
    return ModelError(Kind::invalidParameters, englishDetail, arguments);
}

ModelError ModelError::serviceError(int httpStatus, const QString& serviceMessage)
{
    if (serviceMessage.isEmpty())
        return ModelError(Kind::serviceError,
                          QStringLiteral("The service reported an error (%@). Try again later."),
                          {QString::number(httpStatus)});
    return ModelError(Kind::serviceError, QStringLiteral("The service reported an error (%@): %@"),
                      {QString::number(httpStatus), serviceMessage});
}

QString ModelError::errorDescription() const
{
    if (detail_.isEmpty())
        return generalMessage(kind_);
    if (arguments_.isEmpty())
        return Localization::string(detail_);
    return Localization::format(detail_, arguments_);
}

QString ModelError::generalMessage(Kind kind)
{
    switch (kind) {
    case Kind::invalidConfiguration:
        return Localization::string(QStringLiteral("Check the API address and model name."));
    case Kind::invalidParameters:
        return Localization::string(
            QStringLiteral("A model option is out of range. Check the model options."));
    case Kind::contextExceeded:
        return Localization::string(
            QStringLiteral("The output limit must be smaller than the context budget."));
    case Kind::modelLimit:
        return Localization::string(
            QStringLiteral("You can save up to 64 models. Remove one to add another."));
    case Kind::keychain:
        return Localization::string(QStringLiteral("Could not reach the keyring that holds your API keys. "
                                                   "Make sure it is running and unlocked, then retry."));
    case Kind::sharingConsentRequired:
        return Localization::string(
            QStringLiteral("Agree to share these materials with the AI service before sending."));
    case Kind::noMaterials:
        return Localization::string(QStringLiteral("Select text or image clips to ask about."));
    case Kind::unreadableImage:
        return Localization::string(
            QStringLiteral("An image could not be read. Check that its file still exists, then try again."));
    case Kind::unauthorized:
        return Localization::string(
            QStringLiteral("The service refused the API key. Check the key and its access, then retry."));
    case Kind::quotaExceeded:
        return Localization::string(QStringLiteral(
            "Your account with this service has no credit left. Check its billing, then retry."));
    case Kind::rateLimited:
        return Localization::string(
            QStringLiteral("The service is receiving too many requests. Wait a moment, then retry."));
    case Kind::contextTooLong:
        return Localization::string(QStringLiteral("The question and materials are too long for this model. "
                                                   "Remove materials or earlier turns, then retry."));
    case Kind::redirected:
        return Localization::string(
            QStringLiteral("The API address redirects elsewhere. Enter the service's final address."));
    case Kind::serviceError:
        return Localization::string(QStringLiteral("The service reported an error. Try again later."));
    case Kind::emptyAnswer:
        return Localization::string(
            QStringLiteral("The model returned an empty answer. Try again, or raise the output limit."));
    case Kind::malformedAnswer:
        return Localization::string(
            QStringLiteral("The service's answer could not be read. Check the API address."));
    case Kind::answerTooLarge:
        return Localization::string(
            QStringLiteral("The service's answer is larger than 8 MB and was stopped."));
    }
    return {};
}

const char* ModelError::what() const noexcept
{
    switch (kind_) {
    case Kind::invalidConfiguration:
        return "ModelError.invalidConfiguration";
    case Kind::invalidParameters:
        return "ModelError.invalidParameters";
    case Kind::contextExceeded:
        return "ModelError.contextExceeded";
    case Kind::modelLimit:
        return "ModelError.modelLimit";
    case Kind::keychain:
        return "ModelError.keychain";
    case Kind::sharingConsentRequired:
        return "ModelError.sharingConsentRequired";
    case Kind::noMaterials:
        return "ModelError.noMaterials";
    case Kind::unreadableImage:
        return "ModelError.unreadableImage";
    case Kind::unauthorized:
        return "ModelError.unauthorized";
    case Kind::quotaExceeded:
        return "ModelError.quotaExceeded";
    case Kind::rateLimited:
        return "ModelError.rateLimited";
    case Kind::contextTooLong:
        return "ModelError.contextTooLong";
    case Kind::redirected:
        return "ModelError.redirected";
    case Kind::serviceError:
        return "ModelError.serviceError";
    case Kind::emptyAnswer:
        return "ModelError.emptyAnswer";
    case Kind::malformedAnswer:
        return "ModelError.malformedAnswer";
    case Kind::answerTooLarge:
        return "ModelError.answerTooLarge";
    }
    return "ModelError";
}
