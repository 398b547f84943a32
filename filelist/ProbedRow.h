#pragma once

#include "filelist/FileListError.h"
#include "filelist/FileProbe.h"

class FileListModel;

// The row of a probed file, alike for every front end: "Waiting Conversion" when the encoder
// reads it or was not asked, "Unkown Format" (marked on its Status and Duration) when it
// refused the file or could not be run.
class ProbedRow
{
public:
    // Appends the row and marks it; false with the reason when the list refuses it.
    static bool append(FileListModel &model, const QString &path, const FileProbe::Result &probe,
                       FileListError *error);
};
