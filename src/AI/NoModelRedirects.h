#pragma once

class QNetworkAccessManager;
class QNetworkRequest;

// Model requests never follow a redirect: the manager and each request use the manual
// policy, so a 3xx answer ends the request and is reported as ModelError::redirected. A key
// is thereby never carried to an address the user did not enter.
struct NoModelRedirects {
    static void apply(QNetworkAccessManager& manager);
    static void apply(QNetworkRequest& request);
    static bool isRedirect(int httpStatus) { return httpStatus >= 300 && httpStatus < 400; }
};
