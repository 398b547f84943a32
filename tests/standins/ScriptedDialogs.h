#pragma once

#include "services/DialogService.h"

// Answers the open-file and folder dialogs and both kinds of question with prepared choices.
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

    bool ask(const QString &, const QString &question) override
    {
        questions << question;
        return answer;
    }

    QStringList chosenFiles;
    QString chosenFolder;
    QStringList answers; // one per line asked for, in order; none left: cancelled
    bool answer = false;
    QStringList questions; // every question asked, in order
};
