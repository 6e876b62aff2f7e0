// Fills the history store of the current data directory for whole-process benchmarks:
//   bench_seed_store TEXT_CLIPS IMAGE_CLIPS [long]
// Texts are of mixed sizes, mostly short; with "long", 80 % of 60 characters, 15 % of 2 KB and
// 5 % of 50 KB, of prose with some accented words. Texts come from three applications. Every
// image is a distinct 320 x 240 PNG.
// Saves and exits.
#include "Models/ClipItem.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {

constexpr int imageWidth = 320;
constexpr int imageHeight = 240;

QByteArray pngNumbered(int n)
{
    QImage image(imageWidth, imageHeight, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(n * 37 % 360, 160, 220));
    QPainter painter(&image);
    painter.drawText(image.rect(), Qt::AlignCenter, QString::number(n));
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

QString textNumbered(int n)
{
    const QString line = QStringLiteral("Clip %1: the quick brown fox jumps over the lazy dog. ").arg(n);
    const int repeats = n % 20 == 0 ? 40 : (n % 5 == 0 ? 8 : 1); // some longer clips
    return line.repeated(repeats);
}

QString longTextNumbered(int n)
{
    // About one word in eight is accented, as in French or German prose.
    static const QString prose =
        QStringLiteral("The café on the corner serves a crème brûlée that the naïve tourist from "
                       "Zürich orders with coffee; its façade was painted in the same year as the "
                       "old town hall, and every résumé of the street names it. ");
    const int roll = n * 37 % 100;
    const int length = roll < 80 ? 60 : roll < 95 ? 2048 : 50 * 1024;
    const QString text = QStringLiteral("Clip %1 ").arg(n) + prose.repeated(length / prose.size() + 1);
    return text.left(length);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const bool longTexts = argc == 4 && QByteArray(argv[3]) == "long";
    if (argc != 3 && !longTexts) {
        std::fprintf(stderr, "usage: bench_seed_store TEXT_CLIPS IMAGE_CLIPS [long]\n");
        return 2;
    }
    const int texts = QByteArray(argv[1]).toInt();
    const int images = QByteArray(argv[2]).toInt();
    ClipboardStore store({Settings::shared()});
    store.load();
    for (int i = 0; i < images; ++i) {
        ClipItem clip;
        clip.type = ClipType::image;
        store.addCapturedImage(clip, pngNumbered(i));
    }
    for (int i = 0; i < texts; ++i) {
        ClipItem clip;
        clip.type = ClipType::text;
        clip.text = longTexts ? longTextNumbered(i) : textNumbered(i);
        const int app = i % 3;
        clip.sourceBundleID = QStringLiteral("org.example.Editor%1").arg(app);
        clip.sourceAppName = QStringLiteral("Editor %1").arg(app);
        store.addCaptured(clip);
    }
    store.saveNow();
    std::printf("%lld clips\n", static_cast<long long>(store.history().size()));
    return 0;
}
