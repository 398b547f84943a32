#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Reads the encoder's console text: progress times, the unreadable-input and full-disk
// verdicts, and the error line quoted in failure messages. Understands both the older encoder texts
// (seconds, "Unknown format", CR LF) and today's (hours:minutes:seconds, "Invalid data
// found when processing input", LF).
class EncoderOutput
{
public:
    // True when the output of a probe of input says the encoder cannot read it.
    static bool isUnknownFormat(const QString &output, const QString &input);

    // The time text of the first "time=" in a chunk, up to the blank that ends it; none when
    // the chunk has no "time=" or the text has no end within the chunk.
    static std::optional<QString> progressTime(QStringView chunk);

    // Seconds of a time text ("12.34" or "00:01:02.50"); none for "N/A", negative times and
    // anything else that is not a time.
    static std::optional<double> seconds(QStringView timeText);

    // The time text as seconds, in the encoder's precision ("00:01:02.50" gives "62.50");
    // empty when the text is not a usable time.
    static QString secondsText(QStringView timeText);

    // Progress in percent: the time rounded to whole seconds, divided by the length,
    // rounded again. Halves go to the even neighbour; values above 100 are kept.
    static qint16 percent(double seconds, double lengthSeconds);

    // Verdicts below come from the encoder's own message lines only: lines at the left margin
    // (stream descriptions and metadata are indented), with the paths it echoes taken as
    // opaque text, so that no file name or tag can pass for a verdict.

    // True when the output so far says the encoder cannot open input: the older
    // "<input>: Unknown format", or today's "<input>: Invalid data found when processing
    // input". The same words about one damaged packet later on are no such verdict.
    static bool inputUnreadable(const QString &output, const QString &input);
    // True once the output shows that encoding has begun.
    static bool encodingStarted(const QString &output, const QStringList &paths);
    // The one line of the output that says what went wrong: the last message line that tells
    // of an error, else the last one that is neither progress, statistics, a stream
    // description nor a closing remark; empty when none.
    static QString errorLine(const QString &output, const QStringList &paths);
    // True when a message line says the disk or the quota is full.
    static bool diskFull(const QString &output, const QStringList &paths);
    // A path as the encoder's logger prints it: control characters other than tab and line
    // ends become "?".
    static QString shownPath(const QString &path);
    // The encoder's message lines, echoed paths flattened onto one line each.
    static QStringList messageLines(const QString &output, const QStringList &paths);
};
