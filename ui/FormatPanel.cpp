#include "ui/FormatPanel.h"

#include "engine/EncoderInventory.h"
#include "format/CustomLists.h"
#include "format/CustomOptions.h"
#include "format/FormatSummary.h"
#include "format/UserPresets.h"
#include "services/DialogService.h"
#include "services/MessageBox.h"
#include "ui/CustomFieldKeyFilter.h"

#include <QBrush>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace {

constexpr int kRow = 26;
const QRect kModePanelRect(8, 54, 536, 196);

// What the installed encoder lacks for an item; empty when it can be made.
constexpr int kMissingRole = Qt::UserRole + 1;

// Greys an item the installed encoder cannot make and names what it lacks, to the eye and to a
// screen reader alike.
void markItem(QComboBox *list, int index, const QString &missing)
{
    const bool lacking = !missing.isEmpty();
    list->setItemData(index, lacking ? QVariant(QBrush(Qt::gray)) : QVariant(), Qt::ForegroundRole);
    const QVariant said =
        lacking ? QStringLiteral("Not available: the installed ffmpeg has no %1.").arg(missing)
                : QVariant();
    list->setItemData(index, said, Qt::ToolTipRole);
    list->setItemData(index, said, Qt::AccessibleDescriptionRole);
    list->setItemData(index, lacking ? QVariant(missing) : QVariant(), kMissingRole);
}

QLabel *addLabel(QWidget *parent, const QString &caption, const QRect &rect)
{
    auto *label = new QLabel(caption, parent);
    label->setGeometry(rect);
    return label;
}

QLabel *addHeading(QWidget *parent, const QString &caption, const QRect &rect)
{
    QLabel *heading = addLabel(parent, caption, rect);
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
    return heading;
}

} // namespace

FormatPanel::FormatPanel(QWidget *parent) : QWidget(parent)
{
    resize(552, 290);

    auto *modes = new QButtonGroup(this);
    const QString captions[2] = {QStringLiteral("Presets"), QStringLiteral("Custom (Advanced)")};
    const QRect optionRects[2] = {QRect(16, 28, 110, 22), QRect(136, 28, 180, 22)};
    for (int i = 0; i < 2; ++i) {
        m_optFormat[i] = new QRadioButton(captions[i], this);
        m_optFormat[i]->setObjectName(QStringLiteral("optFormat%1").arg(i));
        m_optFormat[i]->setAccessibleName(captions[i]);
        m_optFormat[i]->setGeometry(optionRects[i]);
        modes->addButton(m_optFormat[i], i);

        m_frFormat[i] = new QFrame(this);
        m_frFormat[i]->setObjectName(QStringLiteral("frFormat%1").arg(i));
        m_frFormat[i]->setGeometry(kModePanelRect);
        m_frFormat[i]->setAutoFillBackground(true);
    }
    buildPresetsPanel();
    buildCustomPanel();
    buildButtons();
    orderTabs();
    guardChoices();

    connect(modes, &QButtonGroup::idToggled, this, &FormatPanel::optFormat_Click);
    connect(m_cmbCategory, &QComboBox::currentIndexChanged, this, &FormatPanel::cmbCategory_Click);
    connect(m_cmbOutVCodec, &QComboBox::currentIndexChanged, this,
            &FormatPanel::cmbOutVCodec_Click);
    connect(m_cmdHide, &QPushButton::clicked, this, &FormatPanel::cmdHide_Click);
    connect(m_cmdDefaults, &QPushButton::clicked, this, &FormatPanel::restoreDefaultsRequested);
    connect(m_cmdSavePreset, &QPushButton::clicked, this, &FormatPanel::cmdSavePreset_Click);

    m_optFormat[0]->setChecked(true);
}

QComboBox *FormatPanel::addList(QWidget *parent, const QString &name, const QString &caption,
                                const QRect &labelRect, const QRect &listRect)
{
    QLabel *label = addLabel(parent, caption, labelRect);
    auto *list = new QComboBox(parent);
    list->setObjectName(name);
    list->setEditable(false);
    list->setGeometry(listRect);
    list->setAccessibleName(caption);
    label->setBuddy(list);
    return list;
}

QLineEdit *FormatPanel::addField(QWidget *parent, const QString &name, const QString &caption,
                                 const QString &unit, const QRect &labelRect,
                                 const QRect &fieldRect)
{
    QLabel *label = addLabel(parent, caption, labelRect);
    auto *field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setGeometry(fieldRect);
    field->setAccessibleName(caption);
    label->setBuddy(field);
    if (!unit.isEmpty())
        addLabel(parent, unit,
                 QRect(fieldRect.right() + 6, fieldRect.top(), 40, fieldRect.height()));
    return field;
}

void FormatPanel::buildPresetsPanel()
{
    QFrame *panel = m_frFormat[0];
    const auto labelRect = [](int row) { return QRect(16, 20 + row * 44, 200, 22); };
    const auto listRect = [](int row) { return QRect(220, 20 + row * 44, 300, 22); };
    m_cmbCategory = addList(panel, QStringLiteral("cmbCategory"),
                            QStringLiteral("Output Category:"), labelRect(0), listRect(0));
    m_cmbOutVCodec = addList(panel, QStringLiteral("cmbOutVCodec"),
                             QStringLiteral("Output Video Codec:"), labelRect(1), listRect(1));
    m_cmbOutFormat =
        addList(panel, QStringLiteral("cmbOutFormat"),
                QStringLiteral("Output File Format (Container):"), labelRect(2), listRect(2));
}

void FormatPanel::buildCustomPanel()
{
    QFrame *panel = m_frFormat[1];
    m_cmbCustContainer = addList(panel, QStringLiteral("cmbCustContainer"),
                                 QStringLiteral("Output Format(Container):"), QRect(8, 6, 170, 22),
                                 QRect(180, 6, 90, 22));
    m_cmbCustContainer->addItems(CustomLists::containers());

    addHeading(panel, QStringLiteral("Output Video Options"), QRect(8, 36, 250, 18));
    addHeading(panel, QStringLiteral("Output Audio Options"), QRect(276, 36, 250, 18));

    // Two columns of captions and controls, five rows on the video side, four on the audio;
    // the captions take the room the longest of them needs in the current font.
    const int captionWidth =
        qMin(fontMetrics().horizontalAdvance(QStringLiteral("Output Video Codec:")) + 8, 150);
    const auto caption = [=](int column, int row) {
        return QRect(8 + column * 268, 58 + row * kRow, captionWidth, 22);
    };
    const auto control = [=](int column, int row) {
        return QRect(8 + captionWidth + column * 268, 58 + row * kRow, 254 - captionWidth, 22);
    };
    const auto number = [=](int column, int row) {
        return QRect(8 + captionWidth + column * 268, 58 + row * kRow, 60, 22);
    };
    const QString bitrate = QStringLiteral("Bitrate:");
    const QString kbps = QStringLiteral("kbps");

    m_cmbCVCodec = addList(panel, QStringLiteral("cmbCVCodec"),
                           QStringLiteral("Output Video Codec:"), caption(0, 0), control(0, 0));
    m_txtCVBitrate =
        addField(panel, QStringLiteral("txtCVBitrate"), bitrate, kbps, caption(0, 1), number(0, 1));
    m_txtCVBitrate->setAccessibleDescription(QStringLiteral("Video bitrate in kbps"));
    m_cmbCVSize = addList(panel, QStringLiteral("cmbCVSize"), QStringLiteral("Video Size:"),
                          caption(0, 2), control(0, 2));
    m_cmbCVSize->addItems(CustomLists::sizes());
    m_cmbCVAspect = addList(panel, QStringLiteral("cmbCVAspect"), QStringLiteral("Aspect Ratio:"),
                            caption(0, 3), control(0, 3));
    m_cmbCVAspect->addItems(CustomLists::aspects());
    m_txtFrameRate = addField(panel, QStringLiteral("txtFrameRate"), QStringLiteral("Frame rate:"),
                              QStringLiteral("fps"), caption(0, 4), number(0, 4));

    m_cmbCACodec = addList(panel, QStringLiteral("cmbCACodec"),
                           QStringLiteral("Output Audio Codec:"), caption(1, 0), control(1, 0));
    m_txtCABirate =
        addField(panel, QStringLiteral("txtCABirate"), bitrate, kbps, caption(1, 1), number(1, 1));
    m_txtCABirate->setAccessibleDescription(QStringLiteral("Audio bitrate in kbps"));
    m_cmbCASmapleRate = addList(panel, QStringLiteral("cmbCASmapleRate"),
                                QStringLiteral("Sampling Rate:"), caption(1, 2), control(1, 2));
    m_cmbCASmapleRate->addItems(CustomLists::sampleRates());
    m_txtChannels = addField(panel, QStringLiteral("txtChannels"), QStringLiteral("Channels:"),
                             QString(), caption(1, 3), number(1, 3));

    m_cmdSavePreset = new QPushButton(QStringLiteral("Save as Preset\u2026"), panel);
    m_cmdSavePreset->setObjectName(QStringLiteral("cmdSavePreset"));
    m_cmdSavePreset->setAccessibleName(QStringLiteral("Save as Preset"));
    m_cmdSavePreset->setGeometry(400, 58 + 4 * kRow, 130, 24);

    new CustomFieldKeyFilter(m_txtCABirate, FieldKeyRules::Field::AudioBitrate);
    new CustomFieldKeyFilter(m_txtCVBitrate, FieldKeyRules::Field::VideoBitrate);
    new CustomFieldKeyFilter(m_txtChannels, FieldKeyRules::Field::Channels);
    new CustomFieldKeyFilter(m_txtFrameRate, FieldKeyRules::Field::FrameRate);
}

void FormatPanel::buildButtons()
{
    m_cmdDefaults = new QPushButton(QStringLiteral("Restore Defaults"), this);
    m_cmdDefaults->setObjectName(QStringLiteral("cmdDefaults"));
    m_cmdDefaults->setAccessibleName(QStringLiteral("Restore Defaults"));
    m_cmdDefaults->setGeometry(8, 258, 130, 26);

    m_chkCopyWhenPossible = new QCheckBox(QStringLiteral("Copy streams that already fit"), this);
    m_chkCopyWhenPossible->setObjectName(QStringLiteral("chkCopyWhenPossible"));
    m_chkCopyWhenPossible->setAccessibleName(m_chkCopyWhenPossible->text());
    m_chkCopyWhenPossible->setAccessibleDescription(
        QStringLiteral("A stream that already has the codec, size, rates, channels and aspect "
                       "the format asks for, and no higher bitrate, is copied as it is"));
    m_chkCopyWhenPossible->setToolTip(m_chkCopyWhenPossible->accessibleDescription() +
                                      QLatin1Char('.'));
    m_chkCopyWhenPossible->setGeometry(146, 261, 262, 20);

    m_cmdHide = new QPushButton(QStringLiteral("Save && Close"), this);
    m_cmdHide->setObjectName(QStringLiteral("cmdHide"));
    m_cmdHide->setAccessibleName(QStringLiteral("Save & Close"));
    m_cmdHide->setGeometry(414, 258, 130, 26);
}

void FormatPanel::orderTabs()
{
    const QList<QWidget *> chain = {
        m_optFormat[0], m_optFormat[1],        m_cmbCategory,  m_cmbOutVCodec,
        m_cmbOutFormat, m_cmbCustContainer,    m_cmbCVCodec,   m_txtCVBitrate,
        m_cmbCVSize,    m_cmbCVAspect,         m_txtFrameRate, m_cmbCACodec,
        m_txtCABirate,  m_cmbCASmapleRate,     m_txtChannels,  m_cmdSavePreset,
        m_cmdDefaults,  m_chkCopyWhenPossible, m_cmdHide};
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain.at(i - 1), chain.at(i));
}

QRadioButton *FormatPanel::optFormat(int index) const
{
    return index == 0 || index == 1 ? m_optFormat[index] : nullptr;
}

QFrame *FormatPanel::frFormat(int index) const
{
    return index == 0 || index == 1 ? m_frFormat[index] : nullptr;
}

void FormatPanel::LoadPresets(const QString &path)
{
    PresetsFile::Result result = PresetsFile::load(path);
    const QString userProblem =
        result.ok() ? UserPresets::addTo(result, path, UserPresets::defaultPath(), false)
                    : QString();
    m_presets = result.table;
    if (!result.ok()) {
        MessageBox::show(result.message(), MessageIcon::None);
        return;
    }
    if (!userProblem.isEmpty())
        MessageBox::show(userProblem, MessageIcon::Exclamation);
    {
        const QSignalBlocker blocker(m_cmbCategory);
        m_cmbCategory->addItems(result.categories);
        m_cmbCategory->setCurrentIndex(m_cmbCategory->count() > 0 ? 0 : -1);
    }
    cmbCategory_Click();
}

void FormatPanel::LoadCodecs(const QString &path)
{
    const CodecsFile::Result result = CodecsFile::load(path);
    m_codecs = result.table;
    if (result.listsFilled) {
        m_cmbCVCodec->clear();
        m_cmbCACodec->clear();
        m_cmbCVCodec->addItems(result.videoItems);
        m_cmbCACodec->addItems(result.audioItems);
        m_cmbCVCodec->setCurrentIndex(result.videoSelected ? 0 : -1);
        m_cmbCACodec->setCurrentIndex(result.audioSelected ? 0 : -1);
    }
    markUnavailable();
    if (!result.ok())
        MessageBox::show(result.message(), MessageIcon::None);
}

QString FormatPanel::cannotBeMade(const QString &missing)
{
    return QStringLiteral("The chosen output format cannot be made: the installed ffmpeg has no "
                          "%1. Please choose another format.")
        .arg(missing);
}

// Connected before the lists' own handlers, so a change is recorded before it spreads.
void FormatPanel::guardChoices()
{
    for (QComboBox *list :
         {m_cmbOutVCodec, m_cmbOutFormat, m_cmbCustContainer, m_cmbCVCodec, m_cmbCACodec}) {
        connect(list, &QComboBox::currentIndexChanged, this, [this, list](int index) {
            m_changes.insert(list,
                             {m_shownIndex.value(list, -1), index, m_cmbOutFormat->currentIndex()});
            m_shownIndex.insert(list, index);
            // A user's pick follows its change in the same event; the record lasts that long.
            QMetaObject::invokeMethod(
                this, [this] { m_changes.clear(); }, Qt::QueuedConnection);
        });
        connect(list, &QComboBox::activated, this,
                [this, list](int index) { refuseUnavailable(list, index); });
    }
}

void FormatPanel::refuseUnavailable(QComboBox *list, int index)
{
    const QString missing = list->itemData(index, kMissingRole).toString();
    if (missing.isEmpty())
        return;
    const Change change = m_changes.value(list);
    if (change.to == index && change.from >= 0) {
        list->setCurrentIndex(change.from);
        // Going back to the label rebuilt its containers; the one chosen before comes back too.
        if (list == m_cmbOutVCodec)
            m_cmbOutFormat->setCurrentIndex(change.formatBefore);
    }
    MessageBox::show(cannotBeMade(missing), MessageIcon::Exclamation);
}

void FormatPanel::setInventory(const EncoderInventory *inventory)
{
    m_inventory = inventory;
    connect(inventory, &EncoderInventory::ready, this, &FormatPanel::markUnavailable);
    markUnavailable();
}

QString FormatPanel::missingEncoder() const
{
    if (!m_inventory)
        return QString();
    if (isPresetMode())
        return m_inventory->missingFor(GetParamaters(), outputExtension());
    for (const QString &missing :
         {m_inventory->missingEncoder(m_codecs.name(m_cmbCVCodec->currentText())),
          m_inventory->missingEncoder(m_codecs.name(m_cmbCACodec->currentText())),
          m_inventory->missingContainer(outputExtension())}) {
        if (!missing.isEmpty())
            return missing;
    }
    return QString();
}

void FormatPanel::markUnavailable()
{
    if (!m_inventory || !m_inventory->isReady())
        return;
    const QString category = m_cmbCategory->currentText();
    for (int i = 0; i < m_cmbOutVCodec->count(); ++i) {
        // A label is unavailable when none of its containers can be made.
        const QString label = m_cmbOutVCodec->itemText(i);
        QString missing;
        for (const QString &extension : m_presets.extensions(category, label)) {
            missing =
                m_inventory->missingFor(m_presets.params(category, label, extension), extension);
            if (missing.isEmpty())
                break;
        }
        markItem(m_cmbOutVCodec, i, missing);
    }
    const QString label = m_cmbOutVCodec->currentText();
    for (int i = 0; i < m_cmbOutFormat->count(); ++i) {
        const QString extension = m_cmbOutFormat->itemText(i);
        markItem(m_cmbOutFormat, i,
                 m_inventory->missingFor(m_presets.params(category, label, extension), extension));
    }
    for (QComboBox *codecs : {m_cmbCVCodec, m_cmbCACodec}) {
        for (int i = 0; i < codecs->count(); ++i)
            markItem(codecs, i, m_inventory->missingEncoder(m_codecs.name(codecs->itemText(i))));
    }
    for (int i = 0; i < m_cmbCustContainer->count(); ++i)
        markItem(m_cmbCustContainer, i,
                 m_inventory->missingContainer(m_cmbCustContainer->itemText(i)));
}

void FormatPanel::SetCategory(const QString &sCat)
{
    {
        const QSignalBlocker blocker(m_cmbOutVCodec);
        m_cmbOutVCodec->clear();
        m_cmbOutVCodec->addItems(m_presets.labels(sCat));
        m_cmbOutVCodec->setCurrentIndex(m_cmbOutVCodec->count() > 0 ? 0 : -1);
    }
    SetVideoCodec(m_cmbOutVCodec->currentText());
    m_cmbOutFormat->setCurrentIndex(m_cmbOutFormat->count() > 0 ? 0 : -1);
}

void FormatPanel::SetVideoCodec(const QString &sCodec)
{
    m_cmbOutFormat->clear();
    m_cmbOutFormat->addItems(m_presets.extensions(m_cmbCategory->currentText(), sCodec));
    m_cmbOutFormat->setCurrentIndex(m_cmbOutFormat->count() > 0 ? 0 : -1);
    markUnavailable();
}

QString FormatPanel::GetParamaters() const
{
    const CustomOptions::Result result = buildParameters();
    if (!result.ok())
        MessageBox::show(result.message(), MessageIcon::Critical);
    return result.options;
}

CustomOptions::Result FormatPanel::buildParameters() const
{
    if (isPresetMode()) {
        CustomOptions::Result preset;
        preset.options =
            m_presets.params(m_cmbCategory->currentText(), m_cmbOutVCodec->currentText(),
                             m_cmbOutFormat->currentText());
        return preset;
    }
    return customParameters();
}

CustomOptions::Result FormatPanel::customParameters() const
{
    const CustomFormat format{m_cmbCASmapleRate->currentText(),
                              m_txtCABirate->text(),
                              m_cmbCACodec->currentText(),
                              m_txtChannels->text(),
                              m_cmbCVCodec->currentText(),
                              m_txtCVBitrate->text(),
                              m_cmbCVSize->currentText(),
                              m_cmbCVAspect->currentText(),
                              m_txtFrameRate->text()};
    return CustomOptions::build(format, m_codecs);
}

QString FormatPanel::outputExtension() const
{
    return isPresetMode() ? m_cmbOutFormat->currentText() : m_cmbCustContainer->currentText();
}

bool FormatPanel::isPresetMode() const
{
    return m_optFormat[0]->isChecked();
}

void FormatPanel::ShowFormatSummary()
{
    const QString caption =
        isPresetMode()
            ? FormatSummary::presets(m_cmbCategory->currentText(), m_cmbOutVCodec->currentText(),
                                     m_cmbOutFormat->currentText())
            : FormatSummary::custom(m_cmbCustContainer->currentText(), m_cmbCVCodec->currentText(),
                                    m_cmbCACodec->currentText());
    emit formatSummaryChanged(caption);
}

void FormatPanel::showFormatPanel(int index)
{
    if (index != 0 && index != 1)
        return;
    // Only the panel on top is shown, so tabbing never reaches the covered one.
    m_frFormat[1 - index]->hide();
    m_frFormat[index]->show();
    m_frFormat[index]->raise();
}

void FormatPanel::cmbCategory_Click()
{
    if (m_cmbCategory->currentIndex() >= 0)
        SetCategory(m_cmbCategory->currentText());
}

void FormatPanel::cmbOutVCodec_Click()
{
    if (m_cmbOutVCodec->currentIndex() >= 0)
        SetVideoCodec(m_cmbOutVCodec->currentText());
}

void FormatPanel::optFormat_Click(int index, bool checked)
{
    if (checked)
        showFormatPanel(index);
}

bool FormatPanel::customFieldsFilled() const
{
    const struct
    {
        QLineEdit *field;
        const char *message;
    } required[] = {
        {m_txtChannels, "Channels Field in the custom Format can not be empty."},
        {m_txtFrameRate, "Frame Rate Field in the custom Format can not be empty."},
        {m_txtCABirate, "Audio Bitrate Field in the custom Format can not be empty."},
        {m_txtCVBitrate, "Video Bitrate Field in the custom Format can not be empty."},
    };
    for (const auto &check : required) {
        if (check.field->text().isEmpty()) {
            MessageBox::show(QString::fromLatin1(check.message), MessageIcon::Exclamation);
            return false;
        }
    }
    return true;
}

void FormatPanel::cmdHide_Click()
{
    if (!customFieldsFilled())
        return;
    emit closeRequested();
    ShowFormatSummary();
}

void FormatPanel::cmdSavePreset_Click()
{
    if (!m_dialogs || !customFieldsFilled())
        return;
    const CustomOptions::Result options = customParameters();
    if (!options.ok()) {
        MessageBox::show(options.message(), MessageIcon::Critical);
        return;
    }
    const std::optional<QString> label = m_dialogs->askText(
        QStringLiteral("Save as Preset"),
        QStringLiteral("Name of the preset in \"%1\":").arg(UserPresets::category()));
    if (!label)
        return;
    const PresetRecord preset{label->trimmed(), options.options, m_cmbCustContainer->currentText(),
                              UserPresets::category()};
    const QString problem = UserPresets::save(UserPresets::defaultPath(), preset);
    if (!problem.isEmpty()) {
        MessageBox::show(problem, MessageIcon::Exclamation);
        return;
    }
    offerPreset(preset);
}

// Adding an item to a list that has a current one selects nothing new; a list that was empty
// selects it, and the lists below it are filled as for a click.
void FormatPanel::offerPreset(const PresetRecord &preset)
{
    m_presets = m_presets.followedBy(PresetTable({preset}, 1));
    if (m_cmbCategory->findText(preset.category) < 0) {
        m_cmbCategory->addItem(preset.category);
    } else if (m_cmbCategory->currentText() == preset.category) {
        m_cmbOutVCodec->addItem(preset.label);
        markUnavailable();
    }
}
