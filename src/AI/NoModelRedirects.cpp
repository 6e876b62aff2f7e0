#include "AI/NoModelRedirects.h"

#include <QNetworkAccessManager>
#include <QNetworkRequest>

void NoModelRedirects::apply(QNetworkAccessManager& manager)
{
    manager.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

void NoModelRedirects::apply(QNetworkRequest& request)
{
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
}
