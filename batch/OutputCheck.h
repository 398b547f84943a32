#pragma once

#include <QString>

// Whether a finished output is a usable result, judged against what the encoder says it
// wrote: the kinds of streams of its output and the media time it reached, so that cuts,
// speed changes and single pictures the user asked for pass while a result cut short does
// not. The file is read by the media library and, where that cannot tell, by ffprobe; a
// format that carries no length, or raw data that cannot be read back, is said in a note
// instead of failing the result.
class OutputCheck
{
public:
    struct Written
    {
        bool picture = false;
        bool sound = false;
        qint64 lengthMs = -1; // the encoder's last progress time; -1 when it told none
        QString container;    // the encoder's name for it ("avi", "rawvideo" ...)
    };
    // What the encoder's output says it wrote.
    static Written fromLog(const QString &log);

    struct Verdict
    {
        QString problem; // why the output is no good result; empty when it is
        QString note;    // what could not be checked, for the row's log
    };
    // Reads the file; takes a while, so it runs off the window thread.
    static Verdict check(const QString &path, const Written &written);
    // Whether a file an earlier run left is a whole result for an input of lengthMs (-1:
    // unknown): the check above, then its last packets read, since a file cut short keeps the
    // length its header gave. A result that cannot be checked is no result here.
    static Verdict checkEarlier(const QString &path, qint64 lengthMs);
};
