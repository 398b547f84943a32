#pragma once

#include <QString>

// Every text the Status field can hold, besides a percentage written as a whole number.
namespace FileListStatus {
inline const QString WaitingConversion = QStringLiteral("Waiting Conversion");
inline const QString UnknownWhenAdded = QStringLiteral("Unkown Format"); // set when adding
inline const QString Starting = QStringLiteral("Starting...");
inline const QString UnknownFormat = QStringLiteral("Unknown format"); // set by the encoder run
inline const QString SecondsConverted = QStringLiteral(" Seconds Converted"); // after a time
inline const QString Cancelled = QStringLiteral("Cancelled");
inline const QString Error = QStringLiteral("Error");
inline const QString Complete = QStringLiteral("Complete");
} // namespace FileListStatus
