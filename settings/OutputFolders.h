#pragma once

#include <QString>

// Where converted files go when the user has chosen nothing: the window's first start and the
// command line without a folder option.
class OutputFolders
{
public:
    static QString defaultFolder();
};
