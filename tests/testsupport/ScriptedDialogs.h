#pragma once

#include "DialogService.h"

// Answers the open-file and folder dialogs and questions with prepared choices.
class ScriptedDialogs : public DialogService
{
public:
    QStringList openFiles(const QString &, const QVector<FileFilter> &, bool) override
    {
        return chosenFiles;
    }
    QString chooseFolder(const QString &, bool) override { return chosenFolder; }
    bool ask(const QString &, const QString &question) override
    {
        questions << question;
        return answer;
    }

    QStringList chosenFiles;
    QString chosenFolder;
    bool answer = false;
    QStringList questions; // every question asked, in order
};
