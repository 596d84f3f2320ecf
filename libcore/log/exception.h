#pragma once

#include <QString>
#include <QVariantList>

// The one error type, thrown by value and caught by reference. The code is also the text id
// of the message; when `log` is true the exception reaches every registered logger as an
// error at construction, whether or not anybody catches it later.
class Exception
{
public:
    explicit Exception(quint32 code, const QVariantList &arguments = {}, bool log = true);

    // Giving up quietly: code 0, nothing logged. Thrown where the input is not what the
    // reader handles and the catcher drops it or reports it in its own terms.
    static Exception quiet() { return Exception(0, {}, false); }

    // The catalogue text with the arguments filled in and the first letter capitalised,
    // computed from the current text table on each call.
    QString message() const;

    quint32 code = 0;
    QVariantList arguments; // as the thrower gave them: neither flattened nor cut
    bool logged = false;
};
