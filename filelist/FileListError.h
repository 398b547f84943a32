#pragma once

#include <QString>

// Why a row could not be added: a number and a readable description, shown to the user
// after "An error occured while Adding File".
struct FileListError
{
    int number = 0;
    QString description;
    QString path; // the file it is about, where known
};
