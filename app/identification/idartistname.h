#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

// An artist name split from its movable word: an article in front ("The Lumens") or behind a
// comma ("Lumens, The"), or the first name of a "Surname, First name" value.
class IdArtistName
{
public:
    IdArtistName() = default;
    explicit IdArtistName(const QString &text);

    // Replaces all three members from the text.
    void parse(const QString &text);
    // The name with its article behind a comma or in front.
    QString toString(bool articleAtEnd) const;
    // In the form the setting "identification/artistNameFormat" asks for.
    QString formatted() const;
    // The letters and digits of the name, with a non-article movable word in front of it;
    // the place of an article makes no difference.
    QString sortKey() const;
    // Sets the article, splitting it off the name where the name already holds it.
    void setArticle(const QString &text);
    // Sets the name, keeping as article what the current name holds besides it.
    void setName(const QString &text);

    QVariant toVariant() const;
    // The default value for a variant that holds anything else.
    static IdArtistName fromVariant(const QVariant &value);

    bool articleWasAtEnd = false;
    QString article;
    QString name;
};

Q_DECLARE_METATYPE(IdArtistName)
