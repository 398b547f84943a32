#pragma once

#include "DialogService.h"

// Answers the open-file and folder dialogs with prepared choices.
class ScriptedDialogs : public DialogService
{
public:
    QStringList openFiles(const QString &, const QVector<FileFilter> &, bool) override
    {
        return chosenFiles;
    }
    QString chooseFolder(const QString &, bool) override { return chosenFolder; }

    QStringList chosenFiles;
    QString chosenFolder;
};
