#pragma once

#include <QSet>
#include <QString>

#include <functional>

enum class OutputNameFailure { None, FolderUnavailable, AllNamesTaken };

// The path a conversion writes for one input file and one output extension (without its
// dot): beside the input when sameFolder is set, otherwise in outPath, whose last folder is
// created when missing. Never names an existing file nor one in reserved (names that running
// conversions are about to write): base.ext, then base_Converted.ext, then
// base_Converted_0.ext up to _10000. Returns empty text, with the reason in failure, when
// the folder cannot be made or every name is taken. Without makeFolder a missing folder is
// left missing and taken as empty.
QString GetOutputFileName(const QString &inputPath, const QString &extension, bool sameFolder,
                          const QString &outPath, const QSet<QString> &reserved = {},
                          OutputNameFailure *failure = nullptr, bool makeFolder = true);

// The folder the result of inputPath goes to, as GetOutputFileName picks it.
QString OutputFolder(const QString &inputPath, bool sameFolder, const QString &outPath);
// Each name GetOutputFileName tries for inputPath in folder, in its order, until visit returns
// false.
void VisitOutputNames(const QString &inputPath, const QString &extension, const QString &folder,
                      const std::function<bool(const QString &)> &visit);
