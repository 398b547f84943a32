#pragma once

#include "services/MessageBox.h"

#include <QStringList>

// Captures every message instead of showing a window, for as long as it lives.
class MessageRecorder : public MessagePresenter
{
public:
    MessageRecorder() : m_previous(MessageBox::presenter()) { MessageBox::setPresenter(this); }
    ~MessageRecorder() override { MessageBox::setPresenter(m_previous); }

    void present(const QString &, const QString &text, MessageIcon) override { m_texts << text; }
    QStringList texts() const { return m_texts; }
    int count() const { return int(m_texts.size()); }
    void clear() { m_texts.clear(); }

private:
    QStringList m_texts;
    MessagePresenter *m_previous;
};
