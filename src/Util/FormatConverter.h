#pragma once

#include <QByteArray>
#include <QString>

// Conversions between the text forms a clip can hold: HTML (UTF-8 or with a UTF-16 byte
// order mark), RTF and plain text. Every conversion accepts any input and never fails; input
// that is not what it claims to be gives what text could be read from it.
namespace FormatConverter {

// The HTML bytes as text, whatever their encoding.
QString decodeHtml(const QByteArray& html);

QString plainTextFromHtml(const QByteArray& html);
// The text of an RTF document: paragraphs and line breaks as "\n", tabs and cells as "\t",
// characters decoded from the document's code page and Unicode escapes; font tables,
// pictures and other destinations skipped.
QString plainTextFromRtf(const QByteArray& rtf);

// The HTML's text with its structure and emphasis only: headings, paragraphs, lists, line
// breaks, bold, italic, underline, strike-through, code and links. Fonts, sizes, colours,
// classes, styles, scripts and images are dropped.
QByteArray cleanedHtml(const QByteArray& html);
// Plain text as HTML paragraphs, line breaks kept, every character escaped.
QByteArray htmlFromPlainText(const QString& text);

// The HTML as Markdown (CommonMark with GitHub's strike-through).
QString markdownFromHtml(const QByteArray& html);

} // namespace FormatConverter
