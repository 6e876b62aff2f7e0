#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLabel;
class QPushButton;
class QWidget;

namespace Platform {
class Accessibility;
class Defaults;
} // namespace Platform

// The first-run guide to the permission that pasting needs: Vellora pastes by synthesizing
// the paste keys, which this desktop must allow. The guide says what is missing and checks
// again on request; it closes itself once pasting works.
class PastePermissionGuide final : public QObject {
    Q_OBJECT
public:
    // Raising it shows the guide once more to everyone who saw an older one.
    static constexpr int currentVersion = 1;
    inline static const QString versionKey = QStringLiteral("pastePermissionGuideVersion");

    // Due when pasting is not permitted and this version of the guide was not shown yet.
    static bool isDue(const Platform::Defaults& defaults, const Platform::Accessibility& accessibility);

    PastePermissionGuide(Platform::Defaults& defaults, Platform::Accessibility& accessibility,
                         QObject* parent = nullptr);
    ~PastePermissionGuide() override;

    // Shows the guide in front and records its version as shown.
    void show();
    // Checks the permission again: closes the guide when granted, else says it is still missing.
    void checkAgain();
    bool isShowing() const;

    QWidget* window() const;
    QString statusText() const;

private:
    void refreshLocalizedContent();

    Platform::Defaults& defaults_;
    Platform::Accessibility& accessibility_;
    bool checkedOnce_ = false;
    std::unique_ptr<QWidget> window_;
    QLabel* title_ = nullptr;
    QLabel* explanation_ = nullptr;
    QLabel* hint_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* checkAgain_ = nullptr;
    QPushButton* later_ = nullptr;
};
