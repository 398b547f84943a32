#pragma once

#include "DialogService.h"

// Answers the open-file, folder and question dialogs with prepared choices.
class ScriptedDialogs : public DialogService
{
public:
    QStringList openFiles(const QString &, const QVector<FileFilter> &, bool) override
    {
        return chosenFiles;
    }
    QString chooseFolder(const QString &, bool) override { return chosenFolder; }
    std::optional<QString> askText(const QString &, const QString &) override
    {
        if (answers.isEmpty())
            return std::nullopt;
        return answers.takeFirst();
    }

    QStringList chosenFiles;
    QString chosenFolder;
    QStringList answers; // one per question, in order; none left: cancelled
};
