#include "format/CodecsFile.h"

#include "format/EntryFileReader.h"
#include "services/DataFiles.h"

namespace {
const QStringList kTags = {QStringLiteral("name"), QStringLiteral("description"),
                           QStringLiteral("type")};
constexpr int kDescription = 1;
} // namespace

QString CodecsFile::Result::message() const
{
    return QStringLiteral("Error Occured while Loading Codecs.\r\n") + error;
}

QString CodecsFile::defaultPath()
{
    return DataFiles::path(QStringLiteral("codecs.xml"));
}

CodecsFile::Result CodecsFile::load(const QString &path)
{
    QString content;
    Result result;
    if (!EntryFileReader::readFile(path, &content, &result.error))
        return result;
    return read(content);
}

CodecsFile::Result CodecsFile::read(const QString &content)
{
    const EntryFileReader::Layout layout{{QStringLiteral("<?xml version=\"1.0\"?>"),
                                          QStringLiteral("<codecs>"), QStringLiteral("</codecs>")},
                                         true,
                                         kTags,
                                         kDescription};
    const EntryFileReader::Result read = EntryFileReader::read(content, layout);

    QList<CodecRecord> records;
    records.reserve(read.records.size());
    for (const QStringList &fields : read.records)
        records.append({fields.at(0), fields.at(kDescription), fields.at(2)});

    Result result;
    result.table = CodecTable(std::move(records), read.count);
    result.error = read.error;
    if (!result.ok() || read.blank)
        return result;

    result.listsFilled = true;
    result.videoItems = result.table.videoDescriptions();
    result.audioItems = result.table.audioDescriptions();
    // The first item of each list is selected in turn; an empty list stops loading there.
    if (result.videoItems.isEmpty()) {
        result.error = QStringLiteral("The file lists no video codec, so the video codec list "
                                      "has no first item to select.");
        return result;
    }
    result.videoSelected = true;
    if (result.audioItems.isEmpty()) {
        result.error = QStringLiteral("The file lists no audio codec, so the audio codec list "
                                      "has no first item to select.");
        return result;
    }
    result.audioSelected = true;
    return result;
}
