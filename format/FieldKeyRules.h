#pragma once

#include <QChar>
#include <QString>

// Which typed characters the four number fields of the custom format accept.
class FieldKeyRules
{
public:
    enum class Field { AudioBitrate, VideoBitrate, Channels, FrameRate };

    static constexpr QChar kBackspace = QChar(8);
    static constexpr QChar kEnter = QChar(13);

    // Whether typed may be applied to a field that holds text (judged on the whole text,
    // whatever part of it is selected). Every other character is swallowed.
    static bool accepts(Field field, const QString &text, QChar typed);
    // Whether pasting inserted into text comes to the same as typing it, character by
    // character: pasted text gets no way round the rules.
    static bool acceptsPasted(Field field, QString text, const QString &inserted);
};
