#pragma once

#include "Settings/PrivacyPolicySection.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// The privacy policy in one language.
struct PrivacyPolicyDocument {
    QString languageName;
    QString title;       // also the title of the window that shows the policy
    QString description; // validated, not shown
    QStringList lead;    // introductory paragraphs, shown before the sections
    QString updatedLabel;
    QString sourceVersion;             // the policy date this document was written for
    QMap<QString, QString> navigation; // the web site's navigation texts; validated, not shown
    QList<PrivacyPolicySection> sections;

    bool operator==(const PrivacyPolicyDocument&) const = default;
};
