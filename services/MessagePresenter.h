#pragma once

#include <QString>

// The icons a message can carry; every message has an OK button only.
enum class MessageIcon { None, Critical, Exclamation, Information };

// Shows one modal message. The window installs a real one; tests install a recorder.
class MessagePresenter
{
public:
    virtual ~MessagePresenter() = default;
    virtual void present(const QString &title, const QString &text, MessageIcon icon) = 0;
};
