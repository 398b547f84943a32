#pragma once

#include <QString>

// The path a conversion writes for one input file and one output extension (without its
// dot): beside the input when sameFolder is set, otherwise in outPath, whose last folder is
// created when missing. Never names an existing file: base.ext, then base_Converted.ext,
// then base_Converted_0.ext up to _10000. Returns empty text when the folder cannot be made
// (after saying so) or every name is taken.
QString GetOutputFileName(const QString &inputPath, const QString &extension, bool sameFolder,
                          const QString &outPath);
