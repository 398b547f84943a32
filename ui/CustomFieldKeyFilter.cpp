#include "ui/CustomFieldKeyFilter.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>

#include <memory>

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
    if (watched != m_field)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *press = static_cast<QKeyEvent *>(event);
        // Ctrl+V types a control character and is swallowed below; Shift+Insert pastes.
        if (press->key() == Qt::Key_Insert && press->modifiers() == Qt::ShiftModifier)
            return !pasteAccepted(QClipboard::Clipboard);
        const QChar typed = typedCharacter(press);
        if (typed.isNull())
            return false;
        return !FieldKeyRules::accepts(m_rules, m_field->text(), typed);
    }
    case QEvent::MouseButtonRelease:
        // X11 pastes the selection with the middle button.
        return static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton &&
               !pasteAccepted(QClipboard::Selection);
    case QEvent::ContextMenu: {
        std::unique_ptr<QMenu> menu(m_field->createStandardContextMenu());
        for (QAction *action : menu->actions()) {
            if (action->objectName() == QLatin1String("edit-paste"))
                action->setEnabled(action->isEnabled() && pasteAccepted(QClipboard::Clipboard));
        }
        menu->exec(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    }
    default:
        return false;
    }
}

bool CustomFieldKeyFilter::pasteAccepted(QClipboard::Mode mode) const
{
    QString kept = m_field->text();
    if (m_field->hasSelectedText())
        kept.remove(m_field->selectionStart(), m_field->selectedText().size());
    return FieldKeyRules::acceptsPasted(m_rules, kept, QGuiApplication::clipboard()->text(mode));
}
