#pragma once

#include <QString>

// One credit: who did what.
struct InvolvedPerson
{
    enum Kind : qint8 {
        Involvement = 0, // a role in the production
        Musician = 1     // an instrument or a part performed
    };

    InvolvedPerson() = default;
    InvolvedPerson(qint8 kind, const QString &name, const QString &role) : kind(kind), name(name), role(role) {}

    // Reads a performer text "name (role)"; a text without a trailing parenthesised role,
    // or with nested parentheses in it, is all name. Always a musician credit.
    static InvolvedPerson fromPerformerText(const QString &text);

    bool operator==(const InvolvedPerson &other) const = default;

    qint8 kind = Involvement;
    QString name;
    QString role;
};
