#pragma once

#include "AI/ConversationSendRequest.h"

#include <QDialog>
#include <functional>

class QGridLayout;
class QLabel;
class QPushButton;

// The consent sheet shown before a request goes to a service the user has not agreed to
// for this scope: it states what the request sends. "Cancel" (Escape) calls onCancel,
// "Agree and Send" (Return) calls onApprove; the sheet does nothing else with either
// choice. Open it window-modal over the conversation window with open().
class AISharingConsentView final : public QDialog {
    Q_OBJECT
public:
    AISharingConsentView(ConversationSendRequest request, std::function<void()> onCancel,
                         std::function<void()> onApprove, QWidget* parent = nullptr);

    // What "Privacy Policy" opens; set once by the privacy window. Does nothing until then.
    static void setPrivacyPolicyHandler(std::function<void()> handler);

    const ConversationSendRequest& request() const { return request_; }

private:
    struct Row {
        QLabel* title = nullptr;
        QLabel* value = nullptr;
    };

    void build();
    Row addRow(QGridLayout* grid, int row);
    void retranslate();

    ConversationSendRequest request_;
    QLabel* heading_ = nullptr;
    QLabel* intro_ = nullptr;
    Row service_;
    Row model_;
    Row materials_;
    Row history_;
    Row instructions_;
    QPushButton* privacyPolicy_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* agree_ = nullptr;
};
