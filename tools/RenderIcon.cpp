// Renders an SVG into a square PNG: RenderIcon <input.svg> <size> <output.png>. Run by the
// build to make the application icon's sizes for the desktop's icon theme.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    bool sizeIsNumber = false;
    const int size = arguments.value(2).toInt(&sizeIsNumber);
    if (arguments.size() != 4 || !sizeIsNumber || size <= 0) {
        std::fprintf(stderr, "usage: RenderIcon <input.svg> <size> <output.png>\n");
        return 2;
    }
    QSvgRenderer renderer(arguments.at(1));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "RenderIcon: %s is no valid SVG\n", qPrintable(arguments.at(1)));
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    const QString output = arguments.at(3);
    if (!QDir().mkpath(QFileInfo(output).absolutePath()) || !image.save(output, "PNG")) {
        std::fprintf(stderr, "RenderIcon: can't write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
