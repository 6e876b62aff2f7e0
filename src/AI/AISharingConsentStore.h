#pragma once

#include "AI/AISharingScope.h"

#include <QList>
#include <QObject>

namespace Platform {
class Defaults;
}

// The user's consents to sending materials to AI services, stored as a JSON array of
// grants under "vellora.aiSharingConsent.v1".
class AISharingConsentStore final : public QObject {
    Q_OBJECT
public:
    static inline const QString storageKey = QStringLiteral("vellora.aiSharingConsent.v1");

    // Over Platform::defaults().
    static AISharingConsentStore& shared();

    // A stored list that does not decode loads as empty and stays stored until the user
    // approves or revokes.
    explicit AISharingConsentStore(Platform::Defaults& defaults, QObject* parent = nullptr);

    const QList<AISharingScope>& grants() const { return grants_; }

    // A grant for the same endpoint covers the scope.
    bool isAllowed(const AISharingScope& scope) const;
    // Nothing when already allowed; otherwise replaces the grants of the endpoint that the
    // scope covers by one grant for the scope, and stores the list.
    void approve(const AISharingScope& scope);
    // Forgets every grant and deletes the stored preference.
    void revokeAll();

signals:
    void grantsChanged();

private:
    Platform::Defaults& defaults_;
    QList<AISharingScope> grants_;
};
