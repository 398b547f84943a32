#include "services/MessageBox.h"

#include <QDebug>

namespace {
MessagePresenter *g_presenter = nullptr;
}

QString MessageBox::title()
{
    return QStringLiteral("Reelforge");
}

void MessageBox::show(const QString &text, MessageIcon icon)
{
    if (g_presenter) {
        g_presenter->present(title(), text, icon);
        return;
    }
    // Without a window (tools, early start-up) the message still reaches someone.
    qWarning().noquote() << title() << ":" << text;
}

void MessageBox::setPresenter(MessagePresenter *presenter)
{
    g_presenter = presenter;
}

MessagePresenter *MessageBox::presenter()
{
    return g_presenter;
}
