#include "App/DemoSeed.h"

#include "Platform/FileSystem.h"
#include "Store/ClipboardStore.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace {

constexpr int minutesApart = 7;
constexpr QSize sampleImageSize(480, 300);

const QString samplesFolder = QStringLiteral("Samples");
const QString sampleFileName = QStringLiteral("Launch Checklist.txt");

QString sampleFilePath(const QString& dataDirectory)
{
    return QDir(dataDirectory).filePath(samplesFolder + QLatin1Char('/') + sampleFileName);
}

QByteArray sampleImagePng()
{
    QImage image(sampleImageSize, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, sampleImageSize.height());
    sky.setColorAt(0, QColor(0x31, 0x5B, 0xD6));
    sky.setColorAt(1, QColor(0xA5, 0xBA, 0xFF));
    painter.fillRect(image.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xFF, 0xD1, 0x66));
    painter.drawEllipse(QPointF(360, 90), 46, 46);
    painter.setBrush(QColor(0x1C, 0x1F, 0x26));
    painter.drawPolygon(QPolygonF({QPointF(0, 300), QPointF(150, 140), QPointF(290, 300)}));
    painter.setBrush(QColor(0x25, 0x2A, 0x33));
    painter.drawPolygon(QPolygonF({QPointF(180, 300), QPointF(340, 170), QPointF(480, 300)}));
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

ClipItem clip(ClipType type, const QString& bundleID, const QString& appName)
{
    ClipItem item;
    item.type = type;
    item.sourceBundleID = bundleID;
    item.sourceAppName = appName;
    return item;
}

} // namespace

namespace DemoSeed {

QList<Sample> samples(const QString& dataDirectory, const QDateTime& now)
{
    QList<Sample> list;

    ClipItem color =
        clip(ClipType::color, QStringLiteral("org.gnome.design.Palette"), QStringLiteral("Palette"));
    color.colorHex = QStringLiteral("#315BD6");
    list.append({color, {}});

    ClipItem file = clip(ClipType::file, QStringLiteral("org.gnome.Nautilus"), QStringLiteral("Files"));
    file.fileURLs = {QUrl::fromLocalFile(sampleFilePath(dataDirectory))};
    list.append({file, {}});

    ClipItem image = clip(ClipType::image, QStringLiteral("org.gimp.GIMP"),
                          QStringLiteral("GNU Image Manipulation Program"));
    list.append({image, sampleImagePng()});

    ClipItem code = clip(ClipType::text, QStringLiteral("org.kde.kate"), QStringLiteral("Kate"));
    code.text =
        QStringLiteral("for clip in history:\n    if clip.matches(query):\n        print(clip.title)\n");
    list.append({code, {}});

    ClipItem rich =
        clip(ClipType::richText, QStringLiteral("libreoffice-writer"), QStringLiteral("LibreOffice Writer"));
    rich.text = QStringLiteral("Release notes: the bar now opens on the screen under the pointer.");
    rich.htmlData =
        QByteArray("<p><b>Release notes:</b> the bar now opens on the screen <i>under the pointer</i>.</p>");
    list.append({rich, {}});

    ClipItem link = clip(ClipType::link, QStringLiteral("firefox-esr"), QStringLiteral("Firefox ESR"));
    link.text = QStringLiteral("https://www.debian.org/releases/bookworm/");
    list.append({link, {}});

    ClipItem text =
        clip(ClipType::text, QStringLiteral("org.gnome.TextEditor"), QStringLiteral("Text Editor"));
    text.text = QStringLiteral("Copy anything, then press Ctrl+Shift+V to paste it again from your history.");
    list.append({text, {}});

    for (qsizetype i = 0; i < list.size(); ++i)
        list[i].item.createdAt = now.addSecs(-60LL * minutesApart * (list.size() - 1 - i));
    return list;
}

bool writeSampleFile(const QString& dataDirectory)
{
    const QString path = sampleFilePath(dataDirectory);
    if (QFile::exists(path))
        return true;
    return !Platform::writeFileAtomically(
        path,
        "Launch checklist\n\n- Copy a few things\n- Press Ctrl+Shift+V\n- Pick a card and press Return\n");
}

void fill(ClipboardStore& store)
{
    const QString directory = store.baseDir();
    const bool fileWritten = writeSampleFile(directory);
    for (const Sample& sample : samples(directory, QDateTime::currentDateTimeUtc())) {
        if (sample.item.type == ClipType::file && !fileWritten)
            continue;
        if (sample.item.type == ClipType::image)
            store.addCapturedImage(sample.item, sample.png);
        else
            store.addCaptured(sample.item);
    }
}

} // namespace DemoSeed
