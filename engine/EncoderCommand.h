#pragma once

#include <QString>
#include <QStringList>

// The encoder's command for a conversion and for a probe: the argument list that is
// executed, and the one-line text shown for it. Options are split into words the way a
// command line is read (blanks separate, double quotes group, nothing is expanded).
class EncoderCommand
{
public:
    static QStringList conversion(const QString &input, const QString &options,
                                  const QString &output);
    static QString conversionText(const QString &input, const QString &options,
                                  const QString &output);
    static QStringList probe(const QString &input);
    // Options as one text that splits back into exactly these words.
    static QString joinedOptions(const QStringList &words);
    static QString probeText(const QString &input);
};
