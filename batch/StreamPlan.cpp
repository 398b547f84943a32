#include "batch/StreamPlan.h"

#include "batch/CodecNames.h"
#include "batch/ContainerCodecs.h"
#include "batch/FormatOptions.h"
#include "batch/StreamFit.h"
#include "engine/EncoderCommand.h"

#include <algorithm>

namespace {
using Kind = MediaStream::Kind;
using Step = StreamPlan::Step;
using Action = StreamPlan::Action;

const QString kAuto = QStringLiteral("auto");

// Options after which the streams are the user's business: the encoder gets them unchanged.
bool takesStreamsInHand(const FormatOptions &options)
{
    static const char *const names[] = {"map", "target", "filter_complex", "lavfi", "t",
                                        "ss",  "to",     "sseof",          "fs"};
    return std::any_of(std::begin(names), std::end(names),
                       [&](const char *name) { return options.has(QString::fromLatin1(name)); });
}

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Video:
        return QStringLiteral("video");
    case Kind::Audio:
        return QStringLiteral("audio");
    case Kind::Subtitle:
        return QStringLiteral("subtitle");
    }
    return QString();
}

// The stream the encoder takes of a kind when the options name none: the largest picture,
// the most channels, the first subtitle the container can take as text.
int defaultPick(const MediaStreams &streams, Kind kind, const ContainerCodecs &container)
{
    int best = -1;
    for (int i = 0; i < streams.size(); ++i) {
        const MediaStream &stream = streams.at(i);
        if (stream.kind != kind)
            continue;
        if (kind == Kind::Subtitle) {
            if (!container.conversion(kind, stream.codec).isEmpty())
                return i;
            continue;
        }
        const auto score = [kind](const MediaStream &s) {
            return kind == Kind::Video ? qint64(s.width) * s.height : qint64(s.channels);
        };
        if (best < 0 || score(stream) > score(streams.at(best)))
            best = i;
    }
    return best;
}

Step decide(const MediaStream &stream, const FormatOptions &options,
            const ContainerCodecs &container, bool allStreams, bool picked, bool fixed,
            bool copyWhenPossible)
{
    Step step;
    step.stream = stream;
    const Kind kind = stream.kind;
    const QString asked = options.codec(kind);
    if (options.excludes(kind) || (kind == Kind::Video && container.soundOnly())) {
        step.action = Action::Leave;
        step.why = options.excludes(kind)
                       ? QStringLiteral("the format takes no %1").arg(kindName(kind))
                       : QStringLiteral("%1 holds sound only").arg(container.name());
        return step;
    }
    if (!allStreams && !picked) {
        step.action = Action::Leave;
        step.why = kind == Kind::Subtitle
                       ? QStringLiteral("the format takes no subtitle of this kind")
                       : QStringLiteral("one %1 stream is taken").arg(kindName(kind));
        return step;
    }
    if (allStreams && (asked.isEmpty() || asked == QLatin1String("copy"))) {
        if (fixed || container.holds(kind, stream.codec)) {
            step.action = Action::Copy;
            return step;
        }
        const QString what =
            CodecNames::shown(stream.codec.isEmpty() ? stream.format : stream.codec);
        const QVector<ContainerCodecs::Setting> conversion =
            container.conversion(kind, stream.codec);
        step.why = QStringLiteral("%1 cannot hold %2").arg(container.name(), what);
        step.action = conversion.isEmpty() ? Action::Leave : Action::Convert;
        if (!conversion.isEmpty())
            step.encoder = conversion.first().second;
        return step;
    }
    step.encoder = asked;
    if (!copyWhenPossible || fixed || asked.isEmpty())
        return step;
    step.why = StreamFit::mismatch(stream, options);
    if (step.why.isEmpty())
        step.action = Action::Copy;
    return step;
}

QStringList streamOptions(const QString &name, int output, const QString &value)
{
    return {QStringLiteral("-%1:%2").arg(name).arg(output), value};
}

// The options that carry out the steps: each stream mapped by its place among its kind,
// options for a whole kind narrowed to the streams of it that are encoded, then each copied
// or converted stream's own codec (the last option that names a stream wins).
QString arguments(const FormatOptions &options, const QVector<Step> &steps,
                  const ContainerCodecs &container)
{
    QStringList words;
    QVector<int> output(steps.size(), -1);
    int next = 0;
    bool narrowed[3] = {false, false, false};
    for (int i = 0; i < steps.size(); ++i) {
        const Step &step = steps.at(i);
        if (step.action == Action::Leave)
            continue;
        output[i] = next++;
        words << QStringLiteral("-map")
              << QStringLiteral("0:%1:%2")
                     .arg(kindName(step.stream.kind).left(1))
                     .arg(step.stream.position);
        if (step.action != Action::Encode)
            narrowed[int(step.stream.kind)] = true;
    }
    for (const FormatOptions::Option &option : options.options()) {
        // A tag names the codec in the container, which holds for a copied stream as well.
        if (!option.kind || !narrowed[int(*option.kind)] || option.isSwitch ||
            option.name == QLatin1String("tag")) {
            words << FormatOptions::arguments(option);
            continue;
        }
        for (int i = 0; i < steps.size(); ++i) {
            if (steps.at(i).action == Action::Encode && steps.at(i).stream.kind == *option.kind)
                words << streamOptions(option.name, output.at(i), option.value);
        }
    }
    for (int i = 0; i < steps.size(); ++i) {
        const Step &step = steps.at(i);
        if (step.action == Action::Copy)
            words << streamOptions(QStringLiteral("c"), output.at(i), QStringLiteral("copy"));
        if (step.action != Action::Convert)
            continue;
        for (const auto &setting : container.conversion(step.stream.kind, step.stream.codec))
            words << streamOptions(setting.first, output.at(i), setting.second);
    }
    return EncoderCommand::joinedOptions(words);
}

QString extensionFor(const MediaStreams &streams, const FormatOptions &options,
                     const QString &extension)
{
    if (extension != kAuto)
        return extension;
    return options.excludes(Kind::Video) ? ContainerCodecs::soundContainer(streams)
                                         : QStringLiteral("mkv");
}

QString label(const MediaStream &stream)
{
    QStringList facts = {CodecNames::shown(stream.codec.isEmpty() ? stream.format : stream.codec)};
    if (stream.width > 0 && stream.height > 0)
        facts << QStringLiteral("%1x%2").arg(stream.width).arg(stream.height);
    if (stream.channels > 0)
        facts << QStringLiteral("%1 ch").arg(stream.channels);
    if (!stream.language.isEmpty())
        facts << stream.language;
    return QStringLiteral("%1 %2 (%3)")
        .arg(kindName(stream.kind))
        .arg(stream.position + 1)
        .arg(facts.join(QStringLiteral(", ")));
}
} // namespace

StreamPlan StreamPlan::make(const MediaStreams &streams, const QString &options,
                            const QString &extension, bool copyWhenPossible)
{
    StreamPlan plan;
    plan.m_options = options;
    const FormatOptions parsed = FormatOptions::parse(options);
    plan.m_extension = extensionFor(streams, parsed, extension);
    if (streams.isEmpty())
        return plan;
    const ContainerCodecs container = ContainerCodecs::forExtension(plan.m_extension);
    const bool fixed = takesStreamsInHand(parsed);
    const Kind kinds[] = {Kind::Video, Kind::Audio, Kind::Subtitle};
    const bool allStreams = std::any_of(std::begin(kinds), std::end(kinds), [&](Kind kind) {
        return parsed.codec(kind) == QLatin1String("copy");
    });
    QVector<int> picks;
    for (const Kind kind : kinds)
        picks << defaultPick(streams, kind, container);
    for (int i = 0; i < streams.size(); ++i) {
        const MediaStream &stream = streams.at(i);
        plan.m_steps << decide(stream, parsed, container, allStreams,
                               picks.at(int(stream.kind)) == i, fixed, copyWhenPossible);
    }
    // The encoder's own stream choice stands wherever nothing is copied or converted.
    if (!fixed && (allStreams || plan.copiesAny()))
        plan.m_options = arguments(parsed, plan.m_steps, container);
    return plan;
}

QString StreamPlan::outputExtension(const MediaStreams &streams, const QString &options,
                                    const QString &extension)
{
    return extensionFor(streams, FormatOptions::parse(options), extension);
}

bool StreamPlan::copiesAny() const
{
    return std::any_of(m_steps.begin(), m_steps.end(),
                       [](const Step &step) { return step.action == Action::Copy; });
}

QStringList StreamPlan::lines() const
{
    QStringList lines;
    for (const Step &step : m_steps) {
        QString what;
        switch (step.action) {
        case Action::Copy:
            what = QStringLiteral("copy");
            break;
        case Action::Encode:
            what = step.encoder.isEmpty()
                       ? QStringLiteral("encode with the container's own codec")
                       : QStringLiteral("encode to %1").arg(CodecNames::shown(step.encoder));
            break;
        case Action::Convert:
            what = QStringLiteral("convert to %1").arg(CodecNames::shown(step.encoder));
            break;
        case Action::Leave:
            what = QStringLiteral("leave out");
            break;
        }
        if (!step.why.isEmpty())
            what += QStringLiteral(" (%1)").arg(step.why);
        lines << label(step.stream) + QStringLiteral(": ") + what;
    }
    return lines;
}
