#include "cli/CliFormat.h"

#include "format/PresetTable.h"
#include "settings/OutputFolders.h"

#include <QDir>

namespace {
QString presetProblem(const CliChoices &choices, const PresetTable &presets)
{
    if (!presets.categories().contains(choices.category))
        return QStringLiteral("no preset category \"%1\" (see --list-presets)")
            .arg(choices.category);
    const QStringList extensions = presets.extensions(choices.category, choices.preset);
    if (extensions.isEmpty())
        return QStringLiteral("no preset \"%1\" in \"%2\" (see --list-presets)")
            .arg(choices.preset, choices.category);
    if (!choices.extension.isEmpty() && !extensions.contains(choices.extension))
        return QStringLiteral("preset \"%1\" has no extension \"%2\"; it has: %3")
            .arg(choices.preset, choices.extension, extensions.join(QStringLiteral(", ")));
    return QString();
}
} // namespace

CliFormat::Result CliFormat::resolve(const CliChoices &choices, const PresetTable &presets)
{
    Result result;
    BatchChoices &batch = result.batch;
    batch.sameFolder = choices.sameFolder;
    batch.copyWhenPossible = choices.copyWhenPossible;
    batch.skipExisting = choices.skipExisting;
    batch.keepDate = choices.keepDate;
    batch.outputFolder = QDir::cleanPath(QDir::current().absoluteFilePath(
        choices.outputFolder.isEmpty() ? OutputFolders::defaultFolder() : choices.outputFolder));
    if (choices.customOptions) {
        batch.parameters = choices.options;
        batch.extension = choices.extension;
        return result;
    }
    PresetChoice preset = presets.firstStartChoice();
    if (!choices.category.isEmpty()) {
        result.error = presetProblem(choices, presets);
        if (!result.ok())
            return result;
        const QString extension = choices.extension.isEmpty()
                                      ? presets.extensions(choices.category, choices.preset).at(0)
                                      : choices.extension;
        preset = {choices.category, choices.preset, extension};
    }
    if (preset.extension.isEmpty()) {
        result.error = QStringLiteral("the presets file holds no presets");
        return result;
    }
    batch.parameters = presets.params(preset.category, preset.label, preset.extension);
    batch.extension = preset.extension;
    return result;
}
