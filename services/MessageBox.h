#pragma once

#include "services/MessagePresenter.h"

// The one route for every message the program shows, titled with the application's name.
class MessageBox
{
public:
    static QString title();
    static void show(const QString &text, MessageIcon icon);
    // Replaces the presenter; nullptr restores the fallback that only logs.
    static void setPresenter(MessagePresenter *presenter);
    static MessagePresenter *presenter();
};
