#include "cli/CliFormat.h"
#include "cli/CliOptions.h"
#include "cli/CliRun.h"
#include "cli/JsonReport.h"
#include "cli/PlainReport.h"
#include "cli/TerminalReport.h"
#include "engine/InFlightOutputs.h"
#include "format/PresetsFile.h"
#include "format/UserPresets.h"
#include "services/TerminationSignals.h"
#include "services/Version.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <memory>

#include <sys/ioctl.h>
#include <unistd.h>

namespace {
constexpr int kUsage = 2;

int usageError(const QString &problem)
{
    QFile err;
    err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.write(QStringLiteral("reelforge-cli: %1\nTry 'reelforge-cli --help'.\n")
                  .arg(PlainReport::shown(problem))
                  .toUtf8());
    return kUsage;
}

void listPresets(const PresetTable &presets, bool json, QIODevice &out)
{
    for (int i = 0; i < presets.count(); ++i) {
        const PresetRecord &preset = presets.records().at(i);
        if (json)
            out.write(QJsonDocument(QJsonObject{{"category", preset.category},
                                                {"label", preset.label},
                                                {"extension", preset.extension}})
                          .toJson(QJsonDocument::Compact) +
                      '\n');
        else
            out.write(
                (preset.category + '\t' + preset.label + '\t' + preset.extension + '\n').toUtf8());
    }
}

int terminalColumns()
{
    winsize size{};
    return ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 20 ? size.ws_col : 80;
}

std::unique_ptr<CliReport> makeReport(const CliChoices &choices, QIODevice &out, QIODevice &err)
{
    if (choices.action == CliChoices::Action::PrintCommands)
        return std::make_unique<PlainReport>(err, err); // stdout holds the commands alone
    if (choices.json)
        return std::make_unique<JsonReport>(out);
    if (::isatty(STDOUT_FILENO))
        return std::make_unique<TerminalReport>(out, err, terminalColumns());
    return std::make_unique<PlainReport>(out, err);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("reelforge-cli"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(Version::Text));
    QFile out;
    out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    QFile err;
    err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);

    const CliOptions::Result options =
        CliOptions::parse(QCoreApplication::arguments(), QThread::idealThreadCount());
    if (!options.ok())
        return usageError(options.error);
    const CliChoices &choices = options.choices;
    if (choices.action == CliChoices::Action::Help) {
        out.write(CliOptions::helpText().toUtf8());
        return 0;
    }
    if (choices.action == CliChoices::Action::Version) {
        out.write(QStringLiteral("reelforge-cli %1\n").arg(QLatin1String(Version::Text)).toUtf8());
        return 0;
    }

    PresetsFile::Result presets;
    if (!choices.customOptions) {
        const QString shipped = PresetsFile::defaultPath();
        presets = PresetsFile::load(shipped);
        if (!presets.ok()) {
            err.write((presets.message() + '\n').toUtf8());
            return CliRun::StatusFailed;
        }
        // A damaged file of the user's own is told once; the shipped presets still serve.
        const bool named = !choices.presetsFile.isEmpty();
        const QString problem = UserPresets::addTo(
            presets, shipped, named ? choices.presetsFile : UserPresets::defaultPath(), named);
        if (!problem.isEmpty())
            err.write((PlainReport::shown(problem) + '\n').toUtf8());
    }
    if (choices.action == CliChoices::Action::ListPresets) {
        listPresets(presets.table, choices.json, out);
        return 0;
    }
    const CliFormat::Result format = CliFormat::resolve(choices, presets.table);
    if (!format.ok())
        return usageError(format.error);

    // Half-written files of a copy of the program that died go first; printing changes nothing.
    if (choices.action == CliChoices::Action::Convert)
        InFlightOutputs::removeStale();
    const std::unique_ptr<CliReport> report = makeReport(choices, out, err);
    CliRun run(format.batch, choices.jobs, *report);
    // Its children all come from ProcessRunner, so the signals can go to a thread of their own.
    TerminationSignals termination(CliRun::StatusStopped, TerminationSignals::Taker::OwnThread);
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &run, &CliRun::stop);
    QObject::connect(&run, &CliRun::finished, &app, &QCoreApplication::exit, Qt::QueuedConnection);
    run.start(choices.paths, choices.action == CliChoices::Action::PrintCommands ? &out : nullptr);
    return app.exec();
}
