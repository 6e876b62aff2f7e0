#include "UI/Bar/ClipRichTextPreview.h"

#include "UI/VelloraTypography.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QVariant>

std::shared_ptr<QTextDocument> ClipRichTextPreview::make(const QByteArray& html)
{
    std::shared_ptr<ClipRichTextPreview> document(new ClipRichTextPreview);
    document->setDefaultFont(VelloraTypography::body());
    document->setDocumentMargin(0);
    document->setUndoRedoEnabled(false);
    document->setHtml(QString::fromUtf8(html.left(maxHtmlBytes)));
    document->keepOnlyEmphasis();
    if (document->toPlainText().trimmed().isEmpty())
        return nullptr;
    return document;
}

QVariant ClipRichTextPreview::loadResource(int, const QUrl&)
{
    return {};
}

void ClipRichTextPreview::keepOnlyEmphasis()
{
    struct Run {
        int position = 0;
        int length = 0;
        QTextCharFormat format;
        bool isImage = false;
    };
    QList<Run> runs;
    QTextCursor cursor(this);
    for (QTextBlock block = begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat blockFormat = block.blockFormat();
        blockFormat.clearBackground();
        blockFormat.setTopMargin(0);
        blockFormat.setBottomMargin(0);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(blockFormat);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat source = fragment.charFormat();
            QTextCharFormat kept;
            if (source.fontWeight() >= QFont::DemiBold)
                kept.setFontWeight(QFont::Bold);
            kept.setFontItalic(source.fontItalic());
            kept.setFontStrikeOut(source.fontStrikeOut());
            kept.setFontUnderline(source.fontUnderline() || source.isAnchor());
            if (source.isAnchor()) {
                kept.setAnchor(true);
                kept.setAnchorHref(source.anchorHref());
            }
            runs.append({fragment.position(), fragment.length(), kept, source.isImageFormat()});
        }
    }
    // From the end, so that removed images do not move the runs still to do.
    for (auto run = runs.crbegin(); run != runs.crend(); ++run) {
        cursor.setPosition(run->position);
        cursor.setPosition(run->position + run->length, QTextCursor::KeepAnchor);
        if (run->isImage)
            cursor.removeSelectedText();
        else
            cursor.setCharFormat(run->format);
    }
}
