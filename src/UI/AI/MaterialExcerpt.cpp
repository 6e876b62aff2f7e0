#include "UI/AI/MaterialExcerpt.h"

#include "UI/ElidedLines.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <cmath>

namespace {

constexpr int fallbackWidth = 232;

// The wrapped lines of the text, at most `limit` + 1 so the caller knows whether more follow.
QStringList wrappedLines(const QString& text, const QFont& font, int width, int limit)
{
    QStringList lines;
    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    for (const QString& paragraph : paragraphs) {
        if (paragraph.isEmpty()) {
            lines << QString();
            if (lines.size() > limit)
                break;
            continue;
        }
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines << paragraph.mid(line.textStart(), line.textLength());
            if (lines.size() > limit)
                break;
        }
        layout.endLayout();
        if (lines.size() > limit)
            break;
    }
    return lines;
}

} // namespace

MaterialExcerpt::MaterialExcerpt(QString text, int maximumLines, qreal lineSpacing, QWidget* parent)
    : QWidget(parent)
    , text_(std::move(text))
    , maximumLines_(maximumLines)
    , lineSpacing_(lineSpacing)
{
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QStringList MaterialExcerpt::visibleLines(int width) const
{
    QStringList lines = wrappedLines(text_, font(), qMax(1, width), maximumLines_);
    if (lines.size() <= maximumLines_)
        return lines;
    lines = lines.mid(0, maximumLines_);
    lines.last() = lineEndingInEllipsis(lines.last(), QFontMetricsF(font()), width);
    return lines;
}

int MaterialExcerpt::heightForWidth(int width) const
{
    const qsizetype count = visibleLines(width).size();
    if (count == 0)
        return 0;
    const QFontMetricsF metrics(font());
    return static_cast<int>(std::ceil(count * metrics.height() + (count - 1) * lineSpacing_));
}

QSize MaterialExcerpt::sizeHint() const
{
    const int width = this->width() > 0 ? this->width() : fallbackWidth;
    return {width, heightForWidth(width)};
}

QSize MaterialExcerpt::minimumSizeHint() const
{
    return {0, heightForWidth(width() > 0 ? width() : fallbackWidth)};
}

void MaterialExcerpt::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetricsF metrics(font());
    qreal y = metrics.ascent();
    for (const QString& line : visibleLines(width())) {
        painter.drawText(QPointF(0, y), line);
        y += metrics.height() + lineSpacing_;
    }
}
