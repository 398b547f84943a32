#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// One entry of an open-file dialog's filter list: the shown name and its patterns.
struct FileFilter
{
    QString name;
    QStringList patterns;
};

// The open-file and folder-browse dialogs, yes-or-no questions and one-line questions. The
// window installs real ones; tests script answers.
class DialogService
{
public:
    virtual ~DialogService() = default;
    // Returns the chosen full paths in the dialog's order; empty when cancelled or failed.
    virtual QStringList openFiles(const QString &title, const QVector<FileFilter> &filters,
                                  bool multiSelect) = 0;
    // Returns the chosen folder's path; empty when cancelled.
    virtual QString chooseFolder(const QString &title, bool newStyle) = 0;
    // Returns the line typed; nothing when cancelled.
    virtual std::optional<QString> askText(const QString &title, const QString &prompt) = 0;
    // True for yes; a question closed without an answer is a no.
    virtual bool ask(const QString &title, const QString &question) = 0;
};
