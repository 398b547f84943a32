#pragma once

#include <QString>

// The texts of the custom format's controls, as the option string is built from them.
struct CustomFormat
{
    QString sampleRate;   // a sampling-rate item such as "22.05 KHz"
    QString audioBitrate; // kilobits per second
    QString audioCodec;   // a codec description
    QString channels;
    QString videoCodec;   // a codec description
    QString videoBitrate; // kilobits per second
    QString size;         // a size item such as "vga(640x480)"
    QString aspect;
    QString frameRate;
};
