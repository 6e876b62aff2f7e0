#pragma once

#include "Settings/PrivacyPolicyDocument.h"
#include "UI/Settings/PrivacySupportPage.h"

#include <QObject>
#include <optional>

// The page the Privacy and Support window shows and the policy document of the language in
// effect, shared by the window's controller and its view. Signals fire only on real changes.
class PrivacySupportNavigation final : public QObject {
    Q_OBJECT
public:
    explicit PrivacySupportNavigation(QObject* parent = nullptr);

    PrivacySupportPage page() const { return page_; }
    void setPage(PrivacySupportPage page);

    const std::optional<PrivacyPolicyDocument>& document() const { return document_; }
    void setDocument(const std::optional<PrivacyPolicyDocument>& document);

signals:
    void pageChanged();
    void documentChanged();

private:
    PrivacySupportPage page_ = PrivacySupportPage::privacy;
    std::optional<PrivacyPolicyDocument> document_;
};
