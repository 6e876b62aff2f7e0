#pragma once

#include <QString>
#include <QStringList>

// One section of the privacy policy: its identifier, heading and paragraphs in order.
struct PrivacyPolicySection {
    QString id;
    QString title;
    QStringList paragraphs;

    bool operator==(const PrivacyPolicySection&) const = default;
};
