#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Reads the encoder's console text: progress times, the unreadable-input report and the
// error detail quoted in failure messages. Understands both the older encoder texts
// (seconds, "Unknown format", CR LF) and today's (hours:minutes:seconds, "Invalid data
// found when processing input", LF).
class EncoderOutput
{
public:
    // True when the text says the encoder cannot read its input.
    static bool isUnknownFormat(QStringView text);

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

    // The part of the complete output that carries the encoder's error message.
    static QString errorDetail(const QString &output);

    // True when the output so far says the encoder cannot open input: the older "Unknown
    // format", or today's "<input>: Invalid data found when processing input". The same
    // words about one damaged packet later on are no such verdict.
    static bool inputUnreadable(QStringView output, QStringView input);
    // True once the output shows that encoding has begun.
    static bool encodingStarted(QStringView output);
    // The one line of the output that says what went wrong: the last one that is neither
    // progress, statistics, a stream description nor a closing remark; empty when none.
    static QString errorLine(const QString &output);
    static bool diskFull(QStringView output);
};
