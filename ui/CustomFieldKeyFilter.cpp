#include "CustomFieldKeyFilter.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {

// The character a key press types, or a null QChar when it types none.
QChar typedCharacter(const QKeyEvent *press)
{
    const int key = press->key();
    if (key == Qt::Key_Backspace)
        return FieldKeyRules::kBackspace;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return FieldKeyRules::kEnter;
    // Editing and moving keys type nothing, whatever text X11 gives them (Delete carries DEL).
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
        return QChar();
    default:
        break;
    }
    // Ctrl+letter types a control character, so clipboard shortcuts are refused too.
    if (press->modifiers().testFlag(Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        return QChar(key - Qt::Key_A + 1);
    const QString text = press->text();
    return text.isEmpty() ? QChar() : text.at(0);
}

} // namespace

CustomFieldKeyFilter::CustomFieldKeyFilter(QLineEdit *field, FieldKeyRules::Field rules)
    : QObject(field), m_field(field), m_rules(rules)
{
    field->installEventFilter(this);
    // Input methods and drops would bring in text that never passes through the rules.
    field->setAttribute(Qt::WA_InputMethodEnabled, false);
    field->setAcceptDrops(false);
}

bool CustomFieldKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_field || event->type() != QEvent::KeyPress)
        return false;
    const QChar typed = typedCharacter(static_cast<QKeyEvent *>(event));
    if (typed.isNull())
        return false;
    return !FieldKeyRules::accepts(m_rules, m_field->text(), typed);
}
