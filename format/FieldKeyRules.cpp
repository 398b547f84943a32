#include "format/FieldKeyRules.h"

namespace {
bool isDigit(QChar ch)
{
    return ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
}

// A field this long takes nothing but Backspace.
qsizetype fullLength(FieldKeyRules::Field field)
{
    switch (field) {
    case FieldKeyRules::Field::AudioBitrate:
    case FieldKeyRules::Field::VideoBitrate:
        return 4;
    case FieldKeyRules::Field::Channels:
        return 1;
    case FieldKeyRules::Field::FrameRate:
        return 9;
    }
    return 0;
}
} // namespace

bool FieldKeyRules::accepts(Field field, const QString &text, QChar typed)
{
    const QChar point = QLatin1Char('.');
    bool allowed = typed == kBackspace || typed == kEnter;
    switch (field) {
    case Field::AudioBitrate:
    case Field::VideoBitrate:
        allowed = allowed || isDigit(typed);
        break;
    case Field::Channels:
        allowed = allowed || (isDigit(typed) && typed != QLatin1Char('0'));
        break;
    case Field::FrameRate:
        allowed = allowed || isDigit(typed) || typed == point;
        break;
    }
    if (!allowed)
        return false;
    if (typed != kBackspace && text.size() == fullLength(field))
        return false;
    // A point ends the whole part, and a zero after it is refused as well.
    if (field == Field::FrameRate && text.contains(point) &&
        (typed == point || typed == QLatin1Char('0')))
        return false;
    return true;
}

bool FieldKeyRules::acceptsPasted(Field field, QString text, const QString &inserted)
{
    for (const QChar typed : inserted) {
        if (typed == kBackspace || typed == kEnter || !accepts(field, text, typed))
            return false;
        text += typed;
    }
    return true;
}
