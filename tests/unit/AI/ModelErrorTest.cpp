#include "AI/ModelError.h"
#include "AI/ChatReply.h"
#include "AITestSupport.h"

namespace {

using Kind = ModelError::Kind;

TEST(ModelError, EveryCaseHasItsMessage)
{
    useEnglish();
    const std::pair<Kind, const char*> cases[] = {
        {Kind::invalidConfiguration, "Check the API address and model name."},
        {Kind::invalidParameters, "A model option is out of range. Check the model options."},
        {Kind::contextExceeded, "The output limit must be smaller than the context budget."},
        {Kind::modelLimit, "You can save up to 64 models. Remove one to add another."},
        {Kind::keychain,
         "Could not reach the keyring that holds your API keys. Make sure it is running and unlocked, "
         "then retry."},
        {Kind::sharingConsentRequired, "Agree to share these materials with the AI service before sending."},
        {Kind::noMaterials, "Select text or image clips to ask about."},
        {Kind::unreadableImage,
         "An image could not be read. Check that its file still exists, then try again."},
        {Kind::unauthorized, "The service refused the API key. Check the key and its access, then retry."},
        {Kind::quotaExceeded,
         "Your account with this service has no credit left. Check its billing, then retry."},
        {Kind::rateLimited, "The service is receiving too many requests. Wait a moment, then retry."},
        {Kind::contextTooLong,
         "The question and materials are too long for this model. Remove materials or earlier "
         "turns, then retry."},
        {Kind::redirected, "The API address redirects elsewhere. Enter the service's final address."},
        {Kind::serviceError, "The service reported an error. Try again later."},
        {Kind::emptyAnswer, "The model returned an empty answer. Try again, or raise the output limit."},
        {Kind::malformedAnswer, "The service's answer could not be read. Check the API address."},
        {Kind::answerTooLarge, "The service's answer is larger than 8 MB and was stopped."},
    };
    for (const auto& [kind, message] : cases)
        EXPECT_EQ(ModelError(kind).errorDescription(), QString::fromUtf8(message)) << ModelError(kind).what();
    EXPECT_EQ(ChatResult::connectionFailedMessage(),
              QStringLiteral("Connection failed. Check the service address and network, then retry."));
}

TEST(ModelError, ServiceErrorsCarryTheStatusAndTheServicesOwnText)
{
    useEnglish();
    EXPECT_EQ(ModelError::serviceError(503, QStringLiteral("<b>overloaded</b> %@")).errorDescription(),
              QStringLiteral("The service reported an error (503): <b>overloaded</b> %@"));
    EXPECT_EQ(ModelError::serviceError(502, QString()).errorDescription(),
              QStringLiteral("The service reported an error (502). Try again later."));
    EXPECT_NE(ModelError::serviceError(500, QStringLiteral("a")),
              ModelError::serviceError(500, QStringLiteral("b")));
}

} // namespace

namespace {

TEST(ModelError, EveryMessageIsTranslated)
{
    const QList<ModelError> errors{ModelError(ModelError::Kind::keychain),
                                   ModelError(ModelError::Kind::unauthorized),
                                   ModelError(ModelError::Kind::contextTooLong),
                                   ModelError::invalidConfiguration(QStringLiteral("Enter a model name.")),
                                   ModelError::serviceError(503, QStringLiteral("busy"))};
    for (AppLanguage language :
         {AppLanguage::chinese, AppLanguage::traditionalChinese, AppLanguage::japanese}) {
        useEnglish();
        QStringList english;
        for (const ModelError& error : errors)
            english << error.errorDescription();
        english << ChatResult::connectionFailedMessage();
        Localization::shared().setLanguage(language);
        for (qsizetype i = 0; i < errors.size(); ++i)
            EXPECT_NE(errors[i].errorDescription(), english[i]) << int(language) << ' ' << errors[i].what();
        EXPECT_NE(ChatResult::connectionFailedMessage(), english.last());
        const QString service = errors.last().errorDescription();
        EXPECT_TRUE(service.contains(QStringLiteral("503")) && service.contains(QStringLiteral("busy")))
            << service.toStdString();
    }
    useEnglish();
}

} // namespace
