#pragma once

#include "services/MessagePresenter.h"

class QWidget;

// Shows messages as modal message boxes over the main window.
class WidgetMessagePresenter : public MessagePresenter
{
public:
    explicit WidgetMessagePresenter(QWidget *owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget *owner) { m_owner = owner; }
    void present(const QString &title, const QString &text, MessageIcon icon) override;

private:
    QWidget *m_owner;
};
