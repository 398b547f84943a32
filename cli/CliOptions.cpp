#include "cli/CliOptions.h"

#include <QCommandLineParser>

namespace {
const QString kCategory = QStringLiteral("category");
const QString kPreset = QStringLiteral("preset");
const QString kExt = QStringLiteral("ext");
const QString kOptions = QStringLiteral("options");
const QString kOutput = QStringLiteral("output");
const QString kSameFolder = QStringLiteral("same-folder");
const QString kJobs = QStringLiteral("jobs");
const QString kListPresets = QStringLiteral("list-presets");
const QString kPresets = QStringLiteral("presets");
const QString kJson = QStringLiteral("json");
const QString kCopyWhenPossible = QStringLiteral("copy-when-possible");
const QString kPrintCommands = QStringLiteral("print-commands");
const QString kSkipExisting = QStringLiteral("skip-existing");
const QString kKeepDate = QStringLiteral("keep-date");
const QString kNoKeepDate = QStringLiteral("no-keep-date");
const QString kHelp = QStringLiteral("help");

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Converts video files without a window, with the presets and output "
                       "naming of Reelforge.\nExit status: 0 all converted, 1 some failed or "
                       "could not be added, 2 usage error, 130 stopped by a signal."));
    parser.addOptions({
        {kCategory, QStringLiteral("Preset category, as --list-presets shows it."),
         QStringLiteral("name")},
        {kPreset, QStringLiteral("Preset label within the category."), QStringLiteral("label")},
        {kExt,
         QStringLiteral("Output extension: one of the preset's, or the container for "
                        "--options."),
         QStringLiteral("ext")},
        {kOptions, QStringLiteral("Encoder options instead of a preset (needs --ext)."),
         QStringLiteral("options")},
        {kOutput, QStringLiteral("Folder for the results (default: ~/Converted Files)."),
         QStringLiteral("dir")},
        {kSameFolder, QStringLiteral("Write each result beside its input.")},
        {kJobs, QStringLiteral("Files converted at once, 1 to the number of cores (default 1)."),
         QStringLiteral("n")},
        {kCopyWhenPossible,
         QStringLiteral("Copy a stream as it is when it already has the codec, size, rates, "
                        "channels and aspect the format asks for, and no higher bitrate.")},
        {kSkipExisting,
         QStringLiteral("Convert no file whose result is already there (checked, under its plain "
                        "name or the one a later run gave it); printed commands write to plain "
                        "names.")},
        {kKeepDate, QStringLiteral("Give each result its input's file date (the default).")},
        {kNoKeepDate, QStringLiteral("Leave each result dated when it was written.")},
        {kListPresets, QStringLiteral("List category, label and extension of every preset.")},
        {kPresets,
         QStringLiteral("Your own presets file, read after the shipped presets (default: "
                        "$XDG_DATA_HOME/reelforge/presets.xml)."),
         QStringLiteral("file")},
        {kJson, QStringLiteral("One JSON object per event and line.")},
        {kPrintCommands,
         QStringLiteral("Print one shell-quoted encoder command per file instead of "
                        "converting.")},
        // Qt's own help option would add --help-all, for options this program does not have.
        {{QStringLiteral("h"), kHelp}, QStringLiteral("Show these options.")},
    });
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("paths"),
                                 QStringLiteral("Video files, and folders whose files are added."),
                                 QStringLiteral("FILE|FOLDER..."));
}

QString checkFormat(const QCommandLineParser &parser, CliChoices &choices)
{
    const bool preset = parser.isSet(kCategory) || parser.isSet(kPreset);
    if (preset && parser.isSet(kOptions))
        return QStringLiteral("--options cannot be combined with --category or --preset");
    if (preset && !(parser.isSet(kCategory) && parser.isSet(kPreset)))
        return QStringLiteral("--category and --preset go together");
    if (parser.isSet(kOptions) && !parser.isSet(kExt))
        return QStringLiteral("--options needs --ext");
    if (!preset && !parser.isSet(kOptions) && parser.isSet(kExt))
        return QStringLiteral("--ext needs --preset or --options");
    choices.category = parser.value(kCategory);
    choices.preset = parser.value(kPreset);
    choices.customOptions = parser.isSet(kOptions);
    choices.options = parser.value(kOptions);
    choices.extension = parser.value(kExt);
    if (choices.extension.startsWith(QLatin1Char('.')))
        choices.extension.remove(0, 1);
    if (parser.isSet(kExt) && choices.extension.isEmpty())
        return QStringLiteral("--ext needs an extension");
    return QString();
}
} // namespace

CliOptions::Result CliOptions::parse(const QStringList &arguments, int cores)
{
    QCommandLineParser parser;
    describe(parser);
    Result result;
    CliChoices &choices = result.choices;
    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    if (parser.isSet(kHelp)) {
        choices.action = CliChoices::Action::Help;
        return result;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        choices.action = CliChoices::Action::Version;
        return result;
    }
    result.error = checkFormat(parser, choices);
    if (!result.ok())
        return result;
    if (parser.isSet(kOutput) && parser.isSet(kSameFolder)) {
        result.error = QStringLiteral("--output and --same-folder exclude each other");
        return result;
    }
    if (parser.isSet(kOutput) && parser.value(kOutput).isEmpty()) {
        result.error = QStringLiteral("--output needs a folder");
        return result;
    }
    if (parser.isSet(kKeepDate) && parser.isSet(kNoKeepDate)) {
        result.error = QStringLiteral("--keep-date and --no-keep-date exclude each other");
        return result;
    }
    choices.sameFolder = parser.isSet(kSameFolder);
    choices.skipExisting = parser.isSet(kSkipExisting);
    choices.keepDate = !parser.isSet(kNoKeepDate);
    choices.outputFolder = parser.value(kOutput);
    if (parser.isSet(kJobs)) {
        bool number = false;
        choices.jobs = parser.value(kJobs).toInt(&number);
        if (!number || choices.jobs < 1 || choices.jobs > cores) {
            result.error = QStringLiteral("--jobs takes a number from 1 to %1").arg(cores);
            return result;
        }
    }
    if (parser.isSet(kPresets) && parser.value(kPresets).isEmpty()) {
        result.error = QStringLiteral("--presets needs a file");
        return result;
    }
    choices.presetsFile = parser.value(kPresets);
    choices.json = parser.isSet(kJson);
    choices.copyWhenPossible = parser.isSet(kCopyWhenPossible);
    choices.paths = parser.positionalArguments();
    if (parser.isSet(kListPresets)) {
        choices.action = CliChoices::Action::ListPresets;
        return result;
    }
    if (parser.isSet(kPrintCommands))
        choices.action = CliChoices::Action::PrintCommands;
    if (choices.paths.isEmpty())
        result.error = QStringLiteral("no files or folders given");
    return result;
}

QString CliOptions::helpText()
{
    QCommandLineParser parser;
    describe(parser);
    return parser.helpText();
}
