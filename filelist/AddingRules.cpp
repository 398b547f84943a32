#include "filelist/AddingRules.h"

const QString AddingRules::RejectedExtensions = QStringLiteral(
    ".cda.wav.wma.mp3.ogg.aac.alac.flac.ac3.spx.mpc.tta.ape.ofr.midi.adx.exe.zip.rar.bmp.jpg.com."
    "bat.doc.txt.lnk.pdf.chm.dll.ocx.sys.ini.inf.log");

QString AddingRules::normalisePath(const QString &path)
{
    const QString doubled = QStringLiteral("//");
    const QString single = QStringLiteral("/");
    if (path.startsWith(doubled))
        return doubled + path.mid(2).replace(doubled, single);
    return QString(path).replace(doubled, single);
}

QString AddingRules::extension(const QString &path)
{
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

bool AddingRules::isRejectedExtension(const QString &extension)
{
    return extension.isEmpty() ||
           RejectedExtensions.contains(QLatin1Char('.') + extension, Qt::CaseInsensitive);
}

bool AddingRules::isCdTrack(const QString &path)
{
    return path.endsWith(QStringLiteral("cda"), Qt::CaseInsensitive);
}
