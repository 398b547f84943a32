#pragma once

#include "format/FieldKeyRules.h"

#include <QClipboard>
#include <QObject>

class QLineEdit;

// Swallows the key presses that a number field of the custom format does not accept, and
// pasted text those keys could not have typed (Shift+Insert, the context menu, the middle
// button). Keys that type no character (Delete, arrows, Tab) pass untouched.
class CustomFieldKeyFilter : public QObject
{
    Q_OBJECT
public:
    CustomFieldKeyFilter(QLineEdit *field, FieldKeyRules::Field rules);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool pasteAccepted(QClipboard::Mode mode) const;

    QLineEdit *m_field;
    FieldKeyRules::Field m_rules;
};
