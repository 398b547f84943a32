#pragma once

#include "MessagePresenter.h"

#include <QList>

// Captures every message instead of showing a window, for as long as it lives.
class MessageRecorder : public MessagePresenter
{
public:
    struct Message
    {
        QString title;
        QString text;
        MessageIcon icon;
    };

    MessageRecorder();
    ~MessageRecorder() override;

    void present(const QString &title, const QString &text, MessageIcon icon) override;

    const QList<Message> &messages() const { return m_messages; }
    QStringList texts() const;
    int count() const { return m_messages.size(); }
    void clear() { m_messages.clear(); }

private:
    QList<Message> m_messages;
    MessagePresenter *m_previous;
};
