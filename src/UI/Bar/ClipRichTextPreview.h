#pragma once

#include <QByteArray>
#include <QTextDocument>
#include <memory>

// A rich-text clip's HTML as a document for its card. Bold, italic, underline, strike-out,
// lists and links stay; the source's colours, fonts and sizes go, so that it reads in both
// appearances; images are dropped and nothing is ever loaded (no files, no network).
class ClipRichTextPreview final : public QTextDocument {
public:
    // Only the head of a larger document is previewed.
    static constexpr qsizetype maxHtmlBytes = 64 * 1024;

    // None when the HTML holds no text.
    static std::shared_ptr<QTextDocument> make(const QByteArray& html);

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    ClipRichTextPreview() = default;
    void keepOnlyEmphasis();
};
