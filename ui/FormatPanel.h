#pragma once

#include "format/CustomOptions.h"

#include "format/CodecsFile.h"
#include "format/PresetsFile.h"

#include <QHash>
#include <QWidget>

class DialogService;
class EncoderInventory;
class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The contents of the "Output Video Formats" panel: the choice between a preset and a custom
// format, the lists of both modes, and the option string and extension taken from them.
// The window draws the frame around it; the top 22 pixels are left free for its header.
class FormatPanel : public QWidget
{
    Q_OBJECT
public:
    explicit FormatPanel(QWidget *parent = nullptr);

    // Reads the data files (by default those in the program's folder) and fills the lists;
    // a failure is shown as a message and leaves the lists as the reader left them.
    // The user's own presets follow the shipped ones.
    void LoadPresets(const QString &path = PresetsFile::defaultPath());
    void LoadCodecs(const QString &path = CodecsFile::defaultPath());

    void SetCategory(const QString &sCat);
    void SetVideoCodec(const QString &sCodec);
    // The encoder options for the chosen format; empty when none can be built.
    QString GetParamaters() const;
    // The same options, or why they cannot be built, without saying anything.
    CustomOptions::Result buildParameters() const;
    QString outputExtension() const;
    bool isPresetMode() const;
    // Announces the format summary through formatSummaryChanged().
    void ShowFormatSummary();
    // Puts the panel of mode index (0 presets, 1 custom) on top.
    void showFormatPanel(int index);
    // Where "Save as Preset" asks for the preset's name.
    void setDialogs(DialogService *dialogs) { m_dialogs = dialogs; }
    // Greys what the installed encoder cannot make, once it has said what it offers.
    void setInventory(const EncoderInventory *inventory);
    // What the chosen format needs that the installed encoder lacks; empty when nothing.
    QString missingEncoder() const;
    // Why a format that needs missing cannot be chosen.
    static QString cannotBeMade(const QString &missing);

    QRadioButton *optFormat(int index) const;
    QFrame *frFormat(int index) const;
    QComboBox *cmbCategory() const { return m_cmbCategory; }
    QComboBox *cmbOutVCodec() const { return m_cmbOutVCodec; }
    QComboBox *cmbOutFormat() const { return m_cmbOutFormat; }
    QComboBox *cmbCustContainer() const { return m_cmbCustContainer; }
    QComboBox *cmbCVCodec() const { return m_cmbCVCodec; }
    QLineEdit *txtCVBitrate() const { return m_txtCVBitrate; }
    QComboBox *cmbCVSize() const { return m_cmbCVSize; }
    QComboBox *cmbCVAspect() const { return m_cmbCVAspect; }
    QLineEdit *txtFrameRate() const { return m_txtFrameRate; }
    QComboBox *cmbCACodec() const { return m_cmbCACodec; }
    QLineEdit *txtCABirate() const { return m_txtCABirate; }
    QComboBox *cmbCASmapleRate() const { return m_cmbCASmapleRate; }
    QLineEdit *txtChannels() const { return m_txtChannels; }
    QPushButton *cmdHide() const { return m_cmdHide; }
    // Copy a stream as it is when it already is what the chosen format would make of it.
    QCheckBox *chkCopyWhenPossible() const { return m_chkCopyWhenPossible; }
    QPushButton *cmdDefaults() const { return m_cmdDefaults; }
    QPushButton *cmdSavePreset() const { return m_cmdSavePreset; }

signals:
    void formatSummaryChanged(const QString &caption);
    // Save & Close found every custom field filled: the window slides the panel away.
    void closeRequested();
    void restoreDefaultsRequested();

private:
    void buildPresetsPanel();
    void buildCustomPanel();
    void buildButtons();
    void orderTabs();
    QComboBox *addList(QWidget *parent, const QString &name, const QString &caption,
                       const QRect &labelRect, const QRect &listRect);
    QLineEdit *addField(QWidget *parent, const QString &name, const QString &caption,
                        const QString &unit, const QRect &labelRect, const QRect &fieldRect);

    void cmbCategory_Click();
    void cmbOutVCodec_Click();
    void optFormat_Click(int index, bool checked);
    void cmdHide_Click();
    void cmdSavePreset_Click();
    // Says which required custom field is empty, if one is.
    bool customFieldsFilled() const;
    CustomOptions::Result customParameters() const;
    // Adds a preset just saved to the table and the lists showing it.
    void offerPreset(const PresetRecord &preset);
    void markUnavailable();
    // A pick the installed encoder cannot make is refused at once: the choice before it stays.
    void guardChoices();
    void refuseUnavailable(QComboBox *list, int index);

    // The change of a guarded list in the event being handled, with the container chosen
    // before it.
    struct Change
    {
        int from = -1;
        int to = -1;
        int formatBefore = -1;
    };
    QHash<QComboBox *, Change> m_changes;
    QHash<QComboBox *, int> m_shownIndex;

    PresetTable m_presets;
    CodecTable m_codecs;
    const EncoderInventory *m_inventory = nullptr;
    DialogService *m_dialogs = nullptr;

    QRadioButton *m_optFormat[2] = {};
    QFrame *m_frFormat[2] = {};
    QComboBox *m_cmbCategory = nullptr;
    QComboBox *m_cmbOutVCodec = nullptr;
    QComboBox *m_cmbOutFormat = nullptr;
    QComboBox *m_cmbCustContainer = nullptr;
    QComboBox *m_cmbCVCodec = nullptr;
    QLineEdit *m_txtCVBitrate = nullptr;
    QComboBox *m_cmbCVSize = nullptr;
    QComboBox *m_cmbCVAspect = nullptr;
    QLineEdit *m_txtFrameRate = nullptr;
    QComboBox *m_cmbCACodec = nullptr;
    QLineEdit *m_txtCABirate = nullptr;
    QComboBox *m_cmbCASmapleRate = nullptr;
    QLineEdit *m_txtChannels = nullptr;
    QPushButton *m_cmdHide = nullptr;
    QPushButton *m_cmdDefaults = nullptr;
    QCheckBox *m_chkCopyWhenPossible = nullptr;
    QPushButton *m_cmdSavePreset = nullptr;
};
