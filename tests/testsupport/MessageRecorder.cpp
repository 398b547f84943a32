#include "MessageRecorder.h"

#include "MessageBox.h"

#include <QStringList>

MessageRecorder::MessageRecorder() : m_previous(MessageBox::presenter())
{
    MessageBox::setPresenter(this);
}

MessageRecorder::~MessageRecorder()
{
    MessageBox::setPresenter(m_previous);
}

void MessageRecorder::present(const QString &title, const QString &text, MessageIcon icon)
{
    m_messages.append({title, text, icon});
}

QStringList MessageRecorder::texts() const
{
    QStringList all;
    for (const Message &message : m_messages)
        all << message.text;
    return all;
}
