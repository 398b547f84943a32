#include "format/CustomOptions.h"

#include "format/CustomLists.h"

#include <limits>

namespace {

// The number at the start of text, "." as decimal point; 0 when there is none.
double leadingNumber(const QString &text)
{
    qsizetype end = 0;
    while (end < text.size() && text.at(end) == QLatin1Char(' '))
        ++end;
    const qsizetype start = end;
    bool point = false;
    while (end < text.size()) {
        const QChar ch = text.at(end);
        if (ch == QLatin1Char('.') && !point)
            point = true;
        else if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            break;
        ++end;
    }
    return text.mid(start, end - start).toDouble();
}

// A bitrate in kilobits per second as bits per second, which must fit in 32 bits.
bool bitsPerSecond(const QString &kbps, const QString &what, QString *bits, QString *error)
{
    const QString number = kbps.trimmed();
    bool numeric = !number.isEmpty();
    for (qsizetype i = 0; numeric && i < number.size(); ++i) {
        const QChar ch = number.at(i);
        const bool sign = i == 0 && (ch == QLatin1Char('-') || ch == QLatin1Char('+'));
        numeric = sign ? number.size() > 1 : (ch >= QLatin1Char('0') && ch <= QLatin1Char('9'));
    }
    if (!numeric) {
        *error = kbps.isEmpty()
                     ? QStringLiteral("The %1 is empty.").arg(what)
                     : QStringLiteral("The %1 \"%2\" is not a whole number.").arg(what, kbps);
        return false;
    }
    constexpr qint64 kMaxKbps = std::numeric_limits<qint32>::max() / 1000;
    bool fits = false;
    const qint64 value = number.toLongLong(&fits);
    if (!fits || value > kMaxKbps || value < -kMaxKbps) {
        *error = QStringLiteral("The %1 of %2 kbps is too large; at most %3 kbps fit.")
                     .arg(what, number)
                     .arg(kMaxKbps);
        return false;
    }
    *bits = QString::number(value * 1000);
    return true;
}

} // namespace

QString CustomOptions::Result::message() const
{
    return QStringLiteral("Error occured while getting paramters\r\n") + error;
}

CustomOptions::Result CustomOptions::build(const CustomFormat &format, const CodecTable &codecs)
{
    Result result;
    QString options =
        QStringLiteral("-ar ") + QString::number(leadingNumber(format.sampleRate) * 1000, 'f', 0);

    QString bits;
    if (!bitsPerSecond(format.audioBitrate, QStringLiteral("audio bitrate"), &bits, &result.error))
        return result;
    options += QStringLiteral(" -ab ") + bits;

    const QString audioCodec = codecs.name(format.audioCodec);
    if (!audioCodec.isEmpty())
        options += QStringLiteral(" -acodec ") + audioCodec;
    options += QStringLiteral(" -ac ") + format.channels;

    const QString videoCodec = codecs.name(format.videoCodec);
    if (!videoCodec.isEmpty())
        options += QStringLiteral(" -vcodec ") + videoCodec;
    if (!bitsPerSecond(format.videoBitrate, QStringLiteral("video bitrate"), &bits, &result.error))
        return result;
    options += QStringLiteral(" -b ") + bits;

    if (format.size != CustomLists::asInput())
        options += QStringLiteral(" -s ") + format.size.section(QLatin1Char('('), 0, 0);
    if (format.aspect != CustomLists::asInput())
        options += QStringLiteral(" -aspect ") + format.aspect;
    options += QStringLiteral(" -r ") + format.frameRate;

    result.options = options;
    return result;
}
