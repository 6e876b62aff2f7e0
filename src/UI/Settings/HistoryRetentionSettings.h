#pragma once

#include "Settings/HistoryRetentionMode.h"
#include "UI/Settings/SettingsDetailSection.h"

#include <QMessageBox>
#include <QMetaObject>
#include <QPointer>
#include <functional>
#include <optional>

class ClipboardStore;
class QButtonGroup;
class QLabel;

class QSlider;
class QToolButton;
class Settings;
class SettingsDetailRow;

// The "History" section of the General page: how much history this machine keeps, at most a
// number of clips or only clips younger than a preset age. The controls edit drafts; a draft
// that would remove clips at once is confirmed first, any other is applied as it changes.
// Below them: how many clips exist and how much disk the data directory takes, measured off
// the main thread when the section is shown and again after every save of the store.
class HistoryRetentionSettings final : public SettingsDetailSection {
    Q_OBJECT
public:
    static constexpr int limitMinimum = 50;
    static constexpr int limitMaximum = 5000;
    static constexpr int limitStep = 50;

    // Measures a directory; runs on a worker thread.
    using DirectoryMeasure = std::function<qint64(const QString& directory)>;

    HistoryRetentionSettings(Settings& settings, ClipboardStore& store,
                             DirectoryMeasure measure = directorySize, QWidget* parent = nullptr);
    ~HistoryRetentionSettings() override;

    // The disk space of the directory tree: the allocated size of every regular file in it,
    // hidden ones included; symbolic links are not followed. 0 when it can't be read.
    static qint64 directorySize(const QString& directory);
    // A byte count in the file-size style of the language in effect: "Zero KB", "1 byte",
    // "999 bytes", "12 KB", "1.5 MB", "2.25 GB" (decimal units).
    static QString byteCountText(qint64 bytes);

    HistoryRetentionMode draftMode() const { return draftMode_; }
    int draftLimit() const { return draftLimit_; }
    int draftDays() const { return draftDays_; }
    // The age slider's position, a preset index 0...9.
    int sliderValue() const { return sliderValue_; }
    int pendingRemovalCount() const { return pendingRemovalCount_; }
    // The open confirmation, or null.
    QMessageBox* confirmation() const { return confirmation_; }
    std::optional<qint64> storageBytes() const { return storageBytes_; }
    // "<n> clips" alone until the first measurement lands, then "<n> clips · <size>".
    QString storageSummary() const;

    // Measures the data directory again; a result older than one already shown is dropped.
    void refreshStorageSize();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildModePicker();
    void buildLimitRow();
    void buildAgeColumn();
    // The age controls, the note and the disk line, 8 apart.
    void buildFooter();

    void setDraftMode(HistoryRetentionMode mode);
    void setDraftLimit(int limit);
    void setDraftDays(int days);
    void sliderMoved(int value);
    void setSliderEditing(bool editing);
    void applySliderDays();

    void evaluateDraft();
    void presentConfirmation();
    void confirmationFinished(bool remove);
    void commit();
    void revert();

    void refreshTexts();
    void refreshControls();
    void refreshAgeLabels();
    void refreshSummary();
    void applyColors();

    Settings& settings_;
    ClipboardStore& store_;
    DirectoryMeasure measure_;

    HistoryRetentionMode draftMode_;
    int draftLimit_;
    int draftDays_;
    int pendingRemovalCount_ = 0;
    std::optional<qint64> storageBytes_;
    int sliderValue_;
    bool sliderEditing_ = false;
    int sliderValueAtPress_ = 0;

    quint64 measurementsStarted_ = 0;
    quint64 measurementShown_ = 0;
    QMetaObject::Connection saveObservation_;
    QPointer<QMessageBox> confirmation_;

    QButtonGroup* modeGroup_ = nullptr;
    SettingsDetailRow* limitRow_ = nullptr;
    QLabel* limitLabel_ = nullptr;
    QToolButton* limitDecrease_ = nullptr;
    QToolButton* limitIncrease_ = nullptr;
    QWidget* ageColumn_ = nullptr;
    QLabel* ageHeader_ = nullptr;
    QLabel* ageTitle_ = nullptr;
    QSlider* ageSlider_ = nullptr;
    QList<QLabel*> ageShortTitles_;
    QLabel* note_ = nullptr;
    QLabel* diskTitle_ = nullptr;
    QLabel* summary_ = nullptr;
};
