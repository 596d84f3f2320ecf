#pragma once

#include <QList>
#include <QString>

#include "libcore/log/logmessage.h"

// One message of a page's validation: a log level (Info, Warning, Error or Question) and a
// text that may be rich text with links to pages.
struct ValidationMessage {
    ValidationMessage() = default;
    ValidationMessage(int level, const QString &text) : level(level), text(text) {}

    int level = Info;
    QString text;
};

// What validation found: the messages in the order they were produced, and whether the
// input may be accepted. Messages and validity are independent.
struct ValidationResult {
    QList<ValidationMessage> messages;
    bool valid = true;

    void append(const ValidationResult &other)
    {
        messages += other.messages;
        valid = valid && other.valid;
    }
};

// "<p><img/> text</p>" with the level's message icon; a plain text is escaped.
QString formatValidationMessage(const ValidationMessage &message);
