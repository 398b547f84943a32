// libFuzzer target for the presets and codecs readers: any bytes, read both ways, then the
// lists built from what was read. Built by scripts/fuzz-readers, not by CMake.
#include "format/CodecsFile.h"
#include "format/PresetsFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void readPresets(const QString &content)
{
    const PresetsFile::Result result = PresetsFile::read(content);
    const PresetTable &table = result.table;
    check(table.count() >= 0 && table.count() <= table.records().size());
    if (!result.ok()) {
        check(result.categories.isEmpty());
        check(result.message().startsWith(
            QStringLiteral("Error Occured while Loading Presets.\r\n")));
        return;
    }
    for (const QString &category : result.categories) {
        const QStringList labels = table.labels(category);
        check(!labels.isEmpty());
        for (const QString &label : labels) {
            const QStringList extensions = table.extensions(category, label);
            check(!extensions.isEmpty());
            for (const QString &extension : extensions)
                table.params(category, label, extension);
        }
    }
}

void readCodecs(const QString &content)
{
    const CodecsFile::Result result = CodecsFile::read(content);
    const CodecTable &table = result.table;
    check(table.count() >= 0 && table.count() <= table.records().size());
    check(!result.videoSelected || !result.videoItems.isEmpty());
    check(!result.audioSelected || !result.audioItems.isEmpty());
    if (result.ok() && result.listsFilled)
        check(result.videoSelected && result.audioSelected);
    for (const QString &description : result.videoItems + result.audioItems)
        table.name(description);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString content =
        QString::fromLocal8Bit(reinterpret_cast<const char *>(data), qsizetype(size));
    readPresets(content);
    readCodecs(content);
    return 0;
}
