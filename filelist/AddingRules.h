#pragma once

#include <QString>

// The rules that decide whether a path may enter the list, before anything opens the file.
class AddingRules
{
public:
    // Some audio formats, archives, programs, two picture formats (bmp, jpg) and documents.
    static const QString RejectedExtensions;

    // Collapses doubled slashes, except a pair that opens the path.
    static QString normalisePath(const QString &path);
    // The text after the last "." of the last path component; empty without a ".".
    static QString extension(const QString &path);
    // Empty extensions, and any whose ".ext" occurs in the rejected text, ignoring case.
    static bool isRejectedExtension(const QString &extension);
    // Audio CD tracks get no byte size.
    static bool isCdTrack(const QString &path);
};
