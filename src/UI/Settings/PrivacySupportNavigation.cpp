#include "UI/Settings/PrivacySupportNavigation.h"

PrivacySupportNavigation::PrivacySupportNavigation(QObject* parent)
    : QObject(parent)
{}

void PrivacySupportNavigation::setPage(PrivacySupportPage page)
{
    if (page_ == page)
        return;
    page_ = page;
    emit pageChanged();
}

void PrivacySupportNavigation::setDocument(const std::optional<PrivacyPolicyDocument>& document)
{
    if (document_ == document)
        return;
    document_ = document;
    emit documentChanged();
}
