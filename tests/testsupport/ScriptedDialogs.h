#pragma once

#include "DialogService.h"

// Answers the open-file and folder dialogs with prepared choices and remembers the questions.
class ScriptedDialogs : public DialogService
{
public:
    QStringList openFiles(const QString &title, const QVector<FileFilter> &filters,
                          bool multiSelect) override
    {
        askedTitle = title;
        askedFilters = filters;
        askedMultiSelect = multiSelect;
        ++openFileCalls;
        return chosenFiles;
    }
    QString chooseFolder(const QString &title, bool newStyle) override
    {
        askedTitle = title;
        askedNewStyle = newStyle;
        ++folderCalls;
        return chosenFolder;
    }

    QStringList chosenFiles;
    QString chosenFolder;
    QString askedTitle;
    QVector<FileFilter> askedFilters;
    bool askedMultiSelect = false;
    bool askedNewStyle = false;
    int openFileCalls = 0;
    int folderCalls = 0;
};
