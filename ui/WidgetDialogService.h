#pragma once

#include "services/DialogService.h"

class QWidget;

// The desktop's own open-file and folder dialogs and questions, owned by the main window.
class WidgetDialogService : public DialogService
{
public:
    explicit WidgetDialogService(QWidget *owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget *owner) { m_owner = owner; }
    QStringList openFiles(const QString &title, const QVector<FileFilter> &filters,
                          bool multiSelect) override;
    QString chooseFolder(const QString &title, bool newStyle) override;
    std::optional<QString> askText(const QString &title, const QString &prompt) override;
    bool ask(const QString &title, const QString &question) override;

private:
    QWidget *m_owner;
};
