#pragma once

#include "engine/ProcessRunner.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

// What the installed encoder can make: the codecs and encoders it can encode with, as it lists
// them for "-hide_banner -codecs", and the containers it lists for "-muxers". Both lists are
// read in the background; until both are in (or when the encoder cannot be asked), nothing
// counts as missing.
class EncoderInventory : public QObject
{
    Q_OBJECT
public:
    explicit EncoderInventory(QObject *parent = nullptr);
    ~EncoderInventory() override;

    // Starts reading the lists without waiting; ready() follows once both are read.
    void start(const QString &program);
    bool isReady() const { return m_ready; }

    // The names a "-muxers" listing gives below its line of dashes.
    static QSet<QString> listedNames(const QString &listing);
    // The names "-c" takes from a "-codecs" listing: each codec it can encode (the encoder
    // picks one of the codec's encoders) and each encoder named in an "(encoders: ...)" list.
    static QSet<QString> encodableNames(const QString &listing);

    // What an encoder option string and output extension need that the encoder lacks, as
    // 'encoder "name"' or 'container "name"'; empty when nothing is missing or known.
    QString missingFor(const QString &options, const QString &extension) const;
    QString missingEncoder(const QString &encoder) const;
    QString missingContainer(const QString &extension) const;

signals:
    void ready();

private:
    void askNext();
    void answered();
    QString missingMuxer(const QString &muxer) const;

    std::unique_ptr<ProcessRunner> m_runner;
    QString m_answer;
    QString m_program;
    QStringList m_questions;
    QSet<QString> m_encoders;
    QSet<QString> m_muxers;
    bool m_ready = false;
};
