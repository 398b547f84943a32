#include "format/PresetsFile.h"

#include "format/EntryFileReader.h"
#include "services/DataFiles.h"

namespace {
const QStringList kTags = {QStringLiteral("label"), QStringLiteral("params"),
                           QStringLiteral("extension"), QStringLiteral("category")};
constexpr int kCategory = 3;
} // namespace

QString PresetsFile::Result::message() const
{
    return QStringLiteral("Error Occured while Loading Presets.\r\n") + error;
}

QString PresetsFile::defaultPath()
{
    return DataFiles::path(QStringLiteral("presets.xml"));
}

PresetsFile::Result PresetsFile::load(const QString &path)
{
    QString content;
    Result result;
    if (!EntryFileReader::readFile(path, &content, &result.error))
        return result;
    return read(content);
}

PresetsFile::Result PresetsFile::read(const QString &content)
{
    const EntryFileReader::Layout layout{{QStringLiteral("<presets>"),
                                          QStringLiteral("<?xml version=\"1.0\"?>"),
                                          QStringLiteral("</presets>")},
                                         false,
                                         kTags,
                                         kCategory};
    const EntryFileReader::Result read = EntryFileReader::read(content, layout);

    QList<PresetRecord> records;
    records.reserve(read.records.size());
    for (const QStringList &fields : read.records)
        records.append({fields.at(0), fields.at(1), fields.at(2), fields.at(kCategory)});

    Result result;
    result.table = PresetTable(std::move(records), read.count);
    result.error = read.error;
    if (result.ok())
        result.categories = result.table.categories();
    return result;
}
