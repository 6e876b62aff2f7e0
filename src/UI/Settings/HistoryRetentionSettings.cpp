#include "UI/Settings/HistoryRetentionSettings.h"

#include "Settings/HistoryRetentionPreset.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "UI/Appearance.h"
#include "UI/Settings/DestructiveConfirmation.h"
#include "UI/Settings/SettingsDetailRow.h"
#include "UI/Settings/SettingsLabels.h"
#include "UI/Settings/SettingsSegment.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QButtonGroup>
#include <QDirIterator>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtConcurrent>
#include <array>
#include <cmath>
#include <sys/stat.h>

namespace {

using SettingsLabels::plainLabel;
using SettingsLabels::setTextColor;

constexpr int ageColumnSpacing = 9;
constexpr int ageColumnPadding = 2;
constexpr int footerSpacing = 8;
constexpr int footerMinimumGap = 12;
constexpr int noteTopPaddingByAge = 4;
constexpr int shortTitlePixelSize = 10;
constexpr qint64 statBlockBytes = 512;
constexpr double byteUnitBase = 1000.0;

struct ByteUnit {
    const char* symbol;
    int fractionDigits;
};
constexpr std::array<ByteUnit, 6> byteUnits{{
    {"KB", 0},
    {"MB", 1},
    {"GB", 2},
    {"TB", 2},
    {"PB", 2},
    {"EB", 2},
}};

QLocale languageLocale()
{
    return QLocale(AppLanguages::rawValue(Localization::shared().resolvedLanguage()));
}

// The number with at most `digits` fraction digits, trailing zeros left out.
QString decimalText(double value, int digits)
{
    const QLocale locale = languageLocale();
    QString text = locale.toString(value, 'f', digits);
    if (digits == 0)
        return text;
    const QString point = locale.decimalPoint();
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(point))
        text.chop(point.size());
    return text;
}

double roundedTo(double value, int digits)
{
    const double scale = std::pow(10.0, digits);
    return std::round(value * scale) / scale;
}

int sliderIndexFor(int days)
{
    return HistoryRetentionPresets::rawValue(HistoryRetentionPresets::nearestDays(days));
}

int sliderDays(int index)
{
    return HistoryRetentionPresets::days(HistoryRetentionPresets::fromSliderIndex(index));
}

} // namespace

HistoryRetentionSettings::HistoryRetentionSettings(Settings& settings, ClipboardStore& store,
                                                   DirectoryMeasure measure, QWidget* parent)
    : SettingsDetailSection(QString(), parent)
    , settings_(settings)
    , store_(store)
    , measure_(std::move(measure))
    , draftMode_(settings.historyRetentionMode())
    , draftLimit_(settings.historyLimit())
    , draftDays_(settings.historyRetentionDays())
    , sliderValue_(sliderIndexFor(settings.historyRetentionDays()))
{
    buildModePicker();
    buildLimitRow();
    buildAgeColumn();
    buildFooter();
    connect(&store_, &ClipboardStore::historyChanged, this, &HistoryRetentionSettings::refreshSummary);
    connect(&store_, &ClipboardStore::pinboardsChanged, this, &HistoryRetentionSettings::refreshSummary);
    connect(&Appearance::shared(), &Appearance::changed, this, &HistoryRetentionSettings::applyColors);
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { refreshTexts(); });
    refreshTexts();
    refreshControls();
    applyColors();
}

HistoryRetentionSettings::~HistoryRetentionSettings() = default;

// Building

void HistoryRetentionSettings::buildModePicker()
{
    auto* picker = new QWidget(this);
    auto* layout = new QHBoxLayout(picker);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    modeGroup_ = new QButtonGroup(picker);
    modeGroup_->setExclusive(true);
    for (const HistoryRetentionMode mode :
         {HistoryRetentionMode::itemCount, HistoryRetentionMode::timeInterval}) {
        auto* segment = new SettingsSegment(picker);
        segment->setObjectName(QStringLiteral("retentionMode-") + HistoryRetentionModes::rawValue(mode));
        segment->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        modeGroup_->addButton(segment, int(mode));
        layout->addWidget(segment);
    }
    connect(modeGroup_, &QButtonGroup::idClicked, this,
            [this](int id) { setDraftMode(HistoryRetentionMode(id)); });
    addItem(picker);
}

void HistoryRetentionSettings::buildLimitRow()
{
    auto* stepper = new QWidget(this);
    auto* layout = new QHBoxLayout(stepper);
    layout->setContentsMargins(0, 0, 0, 0);
    limitLabel_ = plainLabel(stepper, VelloraTypography::body());
    limitLabel_->setObjectName(QStringLiteral("retentionLimitLabel"));
    limitDecrease_ = new QToolButton(stepper);
    limitDecrease_->setObjectName(QStringLiteral("retentionLimitDecrease"));
    limitDecrease_->setArrowType(Qt::DownArrow);
    limitIncrease_ = new QToolButton(stepper);
    limitIncrease_->setObjectName(QStringLiteral("retentionLimitIncrease"));
    limitIncrease_->setArrowType(Qt::UpArrow);
    layout->addWidget(limitLabel_);
    layout->addWidget(limitDecrease_);
    layout->addWidget(limitIncrease_);
    stepper->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(limitDecrease_, &QToolButton::clicked, this,
            [this] { setDraftLimit(std::max(draftLimit_ - limitStep, limitMinimum)); });
    connect(limitIncrease_, &QToolButton::clicked, this,
            [this] { setDraftLimit(std::min(draftLimit_ + limitStep, limitMaximum)); });
    limitRow_ = new SettingsDetailRow(QString(), stepper, this);
    addItem(limitRow_);
}

void HistoryRetentionSettings::buildAgeColumn()
{
    ageColumn_ = new QWidget(this);
    auto* column = new QVBoxLayout(ageColumn_);
    column->setContentsMargins(0, ageColumnPadding, 0, ageColumnPadding);
    column->setSpacing(ageColumnSpacing);

    auto* header = new QHBoxLayout;
    ageHeader_ = plainLabel(ageColumn_, VelloraTypography::body());
    ageTitle_ = plainLabel(ageColumn_, VelloraTypography::body());
    ageTitle_->setObjectName(QStringLiteral("retentionAgeTitle"));
    QFont semibold = ageTitle_->font();
    semibold.setWeight(QFont::DemiBold);
    ageTitle_->setFont(semibold);
    header->addWidget(ageHeader_);
    header->addStretch();
    header->addWidget(ageTitle_);
    column->addLayout(header);

    ageSlider_ = new QSlider(Qt::Horizontal, ageColumn_);
    ageSlider_->setObjectName(QStringLiteral("retentionAgeSlider"));
    ageSlider_->setRange(0, int(HistoryRetentionPresets::allCases().size()) - 1);
    ageSlider_->setSingleStep(1);
    ageSlider_->setPageStep(1);
    connect(ageSlider_, &QSlider::valueChanged, this, &HistoryRetentionSettings::sliderMoved);
    connect(ageSlider_, &QSlider::sliderPressed, this, [this] { setSliderEditing(true); });
    connect(ageSlider_, &QSlider::sliderReleased, this, [this] { setSliderEditing(false); });
    column->addWidget(ageSlider_);

    auto* shortTitles = new QHBoxLayout;
    shortTitles->setSpacing(0);
    for (qsizetype i = 0; i < HistoryRetentionPresets::allCases().size(); ++i) {
        QLabel* label = plainLabel(ageColumn_, VelloraTypography::body());
        label->setAlignment(Qt::AlignCenter);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        ageShortTitles_.append(label);
        shortTitles->addWidget(label, 1);
    }
    column->addLayout(shortTitles);
}

void HistoryRetentionSettings::buildFooter()
{
    auto* footer = new QWidget(this);
    auto* column = new QVBoxLayout(footer);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(footerSpacing);
    ageColumn_->setParent(footer);
    column->addWidget(ageColumn_);
    note_ = plainLabel(footer, VelloraTypography::caption());
    note_->setWordWrap(true);
    column->addWidget(note_);

    auto* disk = new QHBoxLayout;
    disk->setSpacing(0);
    diskTitle_ = plainLabel(footer, VelloraTypography::caption());
    summary_ = plainLabel(footer, VelloraTypography::caption());
    summary_->setObjectName(QStringLiteral("retentionStorageSummary"));
    summary_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    disk->addWidget(diskTitle_);
    disk->addSpacing(footerMinimumGap);
    disk->addStretch();
    disk->addWidget(summary_);
    column->addLayout(disk);
    addItem(footer);
}

// Drafts

void HistoryRetentionSettings::setDraftMode(HistoryRetentionMode mode)
{
    if (mode == draftMode_)
        return;
    draftMode_ = mode;
    refreshControls();
    evaluateDraft();
}

void HistoryRetentionSettings::setDraftLimit(int limit)
{
    if (limit == draftLimit_)
        return;
    draftLimit_ = limit;
    refreshControls();
    evaluateDraft();
}

void HistoryRetentionSettings::setDraftDays(int days)
{
    if (days == draftDays_)
        return;
    draftDays_ = days;
    refreshControls();
    evaluateDraft();
}

void HistoryRetentionSettings::sliderMoved(int value)
{
    sliderValue_ = value;
    refreshAgeLabels();
    if (!sliderEditing_)
        applySliderDays();
}

// While the thumb is dragged only the labels follow it; the draft changes once, on release.
// A press and release that leaves the thumb where it was changes nothing, so a saved age that is
// no preset's (45 days) stays.
void HistoryRetentionSettings::setSliderEditing(bool editing)
{
    sliderEditing_ = editing;
    if (editing) {
        sliderValueAtPress_ = sliderValue_;
        return;
    }
    if (sliderValue_ != sliderValueAtPress_)
        applySliderDays();
}

void HistoryRetentionSettings::applySliderDays()
{
    setDraftDays(sliderDays(sliderValue_));
}

// Confirmation

void HistoryRetentionSettings::evaluateDraft()
{
    const int removals = store_.retentionRemovalCount(draftMode_, draftLimit_, draftDays_);
    if (removals < 1) {
        commit();
        return;
    }
    pendingRemovalCount_ = removals;
    presentConfirmation();
}

void HistoryRetentionSettings::presentConfirmation()
{
    const QString title = Localization::format(QStringLiteral("Remove %d Clips?"), pendingRemovalCount_);
    const QString message = Localization::format(
        QStringLiteral("This setting removes %d clips from history on this Mac now, and keeps pruning "
                       "automatically. Pinboards are not affected, and there is no undo."),
        pendingRemovalCount_);
    const QString removeTitle = Localization::format(QStringLiteral("Remove %d Clips"), pendingRemovalCount_);
    // A draft that changes while the question is open updates it, so that the answer always
    // applies to what it names.
    if (confirmation_) {
        confirmation_->setWindowTitle(title);
        confirmation_->setText(title);
        confirmation_->setInformativeText(message);
        for (QAbstractButton* button : confirmation_->buttons()) {
            if (confirmation_->buttonRole(button) == QMessageBox::DestructiveRole)
                button->setText(removeTitle);
        }
        return;
    }
    confirmation_ = openDestructiveConfirmation(window(), this, title, message, removeTitle, this,
                                                [this](bool remove) { confirmationFinished(remove); });
}

void HistoryRetentionSettings::confirmationFinished(bool remove)
{
    confirmation_ = nullptr;
    if (remove)
        commit();
    else
        revert();
}

void HistoryRetentionSettings::commit()
{
    settings_.setHistoryRetentionMode(draftMode_);
    settings_.setHistoryLimit(draftLimit_);
    settings_.setHistoryRetentionDays(draftDays_);
    store_.trimHistory();
    store_.scheduleSave();
}

// Puts the drafts and the slider back to the saved preferences in one step, then evaluates
// them once. The slider is placed without deriving days from it: a saved age that is no
// preset's (45 days) must stay as it was when the user cancels.
void HistoryRetentionSettings::revert()
{
    const HistoryRetentionMode mode = settings_.historyRetentionMode();
    const int limit = settings_.historyLimit();
    const int days = settings_.historyRetentionDays();
    const bool changed = mode != draftMode_ || limit != draftLimit_ || days != draftDays_;
    draftMode_ = mode;
    draftLimit_ = limit;
    draftDays_ = days;
    sliderValue_ = sliderIndexFor(days);
    refreshControls();
    if (changed)
        evaluateDraft();
}

// Disk space

void HistoryRetentionSettings::showEvent(QShowEvent* event)
{
    SettingsDetailSection::showEvent(event);
    if (saveObservation_)
        return;
    saveObservation_ = NotificationCenter::shared().observe(Notifications::storeDidSave, this,
                                                            [this](QObject*) { refreshStorageSize(); });
    refreshStorageSize();
}

void HistoryRetentionSettings::hideEvent(QHideEvent* event)
{
    QObject::disconnect(saveObservation_);
    saveObservation_ = {};
    SettingsDetailSection::hideEvent(event);
}

void HistoryRetentionSettings::refreshStorageSize()
{
    const quint64 generation = ++measurementsStarted_;
    auto* watcher = new QFutureWatcher<qint64>(this);
    connect(watcher, &QFutureWatcher<qint64>::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        if (generation <= measurementShown_)
            return;
        measurementShown_ = generation;
        storageBytes_ = watcher->result();
        refreshSummary();
    });
    watcher->setFuture(QtConcurrent::run(measure_, store_.baseDir()));
}

qint64 HistoryRetentionSettings::directorySize(const QString& directory)
{
    qint64 total = 0;
    QDirIterator entries(directory, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QByteArray path = QFile::encodeName(entries.next());
        struct stat info {};
        if (::lstat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        total += qint64(info.st_blocks) * statBlockBytes;
    }
    return total;
}

QString HistoryRetentionSettings::byteCountText(qint64 bytes)
{
    if (bytes == 0)
        return Localization::string(QStringLiteral("Zero KB"));
    if (std::abs(bytes) < qint64(byteUnitBase))
        return Localization::format(bytes == 1 ? QStringLiteral("%d byte") : QStringLiteral("%d bytes"),
                                    bytes);
    double value = double(bytes);
    for (std::size_t i = 0; i < byteUnits.size(); ++i) {
        value /= byteUnitBase;
        const double rounded = roundedTo(value, byteUnits[i].fractionDigits);
        if (std::abs(rounded) < byteUnitBase || i + 1 == byteUnits.size())
            return decimalText(rounded, byteUnits[i].fractionDigits) + u' ' +
                   QLatin1String(byteUnits[i].symbol);
    }
    return {};
}

QString HistoryRetentionSettings::storageSummary() const
{
    qsizetype clips = store_.history().size();
    for (const Pinboard& pinboard : store_.pinboards())
        clips += pinboard.clips.size();
    const QString count = Localization::format(
        clips == 1 ? QStringLiteral("%d clip") : QStringLiteral("%d clips"), qint64(clips));
    if (!storageBytes_)
        return count;
    return Localization::format(QStringLiteral("%@ · %@"), count, byteCountText(*storageBytes_));
}

// Display

void HistoryRetentionSettings::refreshTexts()
{
    setTitle(Localization::string(QStringLiteral("History")));
    const QString label = Localization::string(QStringLiteral("Limit history by"));
    modeGroup_->button(int(HistoryRetentionMode::itemCount))
        ->setText(Localization::string(QStringLiteral("Number of clips")));
    modeGroup_->button(int(HistoryRetentionMode::timeInterval))
        ->setText(Localization::string(QStringLiteral("Age of clips")));
    for (QAbstractButton* segment : modeGroup_->buttons())
        segment->setAccessibleDescription(label);
    limitRow_->setTitle(Localization::string(QStringLiteral("Keep at most")));
    ageHeader_->setText(Localization::string(QStringLiteral("Remove clips older than")));
    note_->setText(Localization::string(
        QStringLiteral("Pruning applies to this Mac's history. Pinned clips are never removed.")));
    diskTitle_->setText(Localization::string(QStringLiteral("History and pinboards on disk")));
    refreshControls();
}

void HistoryRetentionSettings::refreshControls()
{
    const bool byCount = draftMode_ == HistoryRetentionMode::itemCount;
    modeGroup_->button(int(draftMode_))->setChecked(true);
    limitRow_->setVisible(byCount);
    limitLabel_->setText(Localization::format(QStringLiteral("%d clips"), draftLimit_));
    limitDecrease_->setEnabled(draftLimit_ > limitMinimum);
    limitIncrease_->setEnabled(draftLimit_ < limitMaximum);
    ageColumn_->setVisible(!byCount);
    note_->setContentsMargins(0, byCount ? 0 : noteTopPaddingByAge, 0, 0);
    if (!sliderEditing_) {
        const QSignalBlocker blocker(ageSlider_);
        ageSlider_->setValue(sliderValue_);
    }
    refreshAgeLabels();
    refreshSummary();
}

void HistoryRetentionSettings::refreshAgeLabels()
{
    const HistoryRetentionPreset current = HistoryRetentionPresets::fromSliderIndex(sliderValue_);
    ageTitle_->setText(HistoryRetentionPresets::title(current));
    for (qsizetype i = 0; i < ageShortTitles_.size(); ++i) {
        const HistoryRetentionPreset preset = HistoryRetentionPresets::allCases().at(i);
        QLabel* label = ageShortTitles_.at(i);
        QFont font = VelloraTypography::body();
        font.setPixelSize(shortTitlePixelSize);
        font.setWeight(preset == current ? QFont::Bold : QFont::Medium);
        label->setFont(font);
        label->setText(HistoryRetentionPresets::shortTitle(preset));
    }
    applyColors();
}

void HistoryRetentionSettings::refreshSummary()
{
    summary_->setText(storageSummary());
}

void HistoryRetentionSettings::applyColors()
{
    const QColor accent = palette().color(QPalette::Highlight);
    const QColor secondary = Theme::chromeTextSecondary();
    setTextColor(ageTitle_, accent);
    const HistoryRetentionPreset current = HistoryRetentionPresets::fromSliderIndex(sliderValue_);
    for (qsizetype i = 0; i < ageShortTitles_.size(); ++i)
        setTextColor(ageShortTitles_.at(i),
                     HistoryRetentionPresets::allCases().at(i) == current ? accent : secondary);
    for (QWidget* caption :
         {static_cast<QWidget*>(note_), static_cast<QWidget*>(diskTitle_), static_cast<QWidget*>(summary_)})
        setTextColor(caption, secondary);
}
