#pragma once

#include <QByteArray>
#include <QString>

// Reads a chat-completions answer. The body is untrusted: anything that is not a well-formed
// answer becomes a ModelError, never a crash.
struct ChatAnswerParser {
    // The first choice's message content (text, or the text of its parts) without reasoning
    // text, trimmed. Throws ModelError for a redirect, an error status or error body (by
    // status, then the service's code and type, then its message), and for a malformed or
    // empty answer.
    static QString answer(int httpStatus, const QByteArray& body);

    // The longest service message passed on to the user.
    static constexpr qsizetype maximumServiceMessageLength = 300;
};
