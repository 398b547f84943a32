#include "ui/SettingsPersistence.h"

#include "settings/OutputFolders.h"
#include "ui/FormatPanel.h"
#include "ui/StepsFrame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <algorithm>

namespace {
const quint32 kRoot = CRegister::HKEY_LOCAL_MACHINE;

// A Boolean stored as text: "True"/"False" in any case, or a number (non-zero is true).
bool readBoolean(const QString &text, bool *value)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
        *value = true;
        return true;
    }
    if (trimmed.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
        *value = false;
        return true;
    }
    bool ok = false;
    const double number = trimmed.toDouble(&ok);
    if (ok)
        *value = number != 0;
    return ok;
}

bool readWhole(const QString &text, int *value)
{
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    if (ok)
        *value = number;
    return ok;
}

QString booleanText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}
} // namespace

const QString SettingsPersistence::KeyPath =
    QStringLiteral("Software\\Tarnwick Reelforge\\Settings");

SettingsPersistence::SettingsPersistence(StepsFrame &steps, FormatPanel &formats,
                                         const QString &settingsFile)
    : m_steps(steps), m_formats(formats),
      m_store(settingsFile.isEmpty() ? CRegister() : CRegister(settingsFile))
{
}

QString SettingsPersistence::read(const QString &name, const QString &fallback) const
{
    return m_store.REGGetSetting(kRoot, KeyPath, name, fallback);
}

void SettingsPersistence::write(const QString &name, const QString &value) const
{
    m_store.REGSaveSetting(kRoot, KeyPath, name, value);
}

void SettingsPersistence::SaveSettings()
{
    write(QStringLiteral("optOtherFolder"), booleanText(m_steps.optOtherFolder->isChecked()));
    write(QStringLiteral("optSameFolder"), booleanText(m_steps.optSameFolder->isChecked()));
    write(QStringLiteral("txtOutPath"), m_steps.txtOutPath->text());
    write(QStringLiteral("optFormat"),
          m_formats.optFormat(0)->isChecked() ? QStringLiteral("0") : QStringLiteral("1"));
    const QList<QComboBox *> lists = {
        m_formats.cmbCategory(),      m_formats.cmbOutVCodec(), m_formats.cmbOutFormat(),
        m_formats.cmbCustContainer(), m_formats.cmbCACodec(),   m_formats.cmbCASmapleRate(),
        m_formats.cmbCVCodec(),       m_formats.cmbCVSize(),    m_formats.cmbCVAspect()};
    for (QComboBox *list : lists)
        write(list->objectName(), QString::number(list->currentIndex()));
    for (QLineEdit *field : {m_formats.txtCABirate(), m_formats.txtChannels(),
                             m_formats.txtCVBitrate(), m_formats.txtFrameRate()})
        write(field->objectName(), field->text());
    write(m_steps.spnSimultaneous->objectName(), QString::number(m_steps.spnSimultaneous->value()));
    write(m_formats.chkCopyWhenPossible()->objectName(),
          booleanText(m_formats.chkCopyWhenPossible()->isChecked()));
    write(m_steps.cmbWhenExists->objectName(),
          QString::number(m_steps.cmbWhenExists->currentIndex()));
    write(m_steps.chkKeepDate->objectName(), booleanText(m_steps.chkKeepDate->isChecked()));
}

void SettingsPersistence::LoadSettings()
{
    bool on = false;
    if (readBoolean(read(QStringLiteral("optOtherFolder"), QStringLiteral("True")), &on))
        m_steps.optOtherFolder->setChecked(on);
    if (readBoolean(read(QStringLiteral("optSameFolder"), QStringLiteral("False")), &on))
        m_steps.optSameFolder->setChecked(on);
    m_steps.txtOutPath->setText(read(QStringLiteral("txtOutPath"), OutputFolders::defaultFolder()));
    // The folder controls follow the restored choice, as a click would.
    const bool otherFolder = !m_steps.optSameFolder->isChecked();
    m_steps.txtOutPath->setEnabled(otherFolder);
    m_steps.cmdBrowse->setEnabled(otherFolder);

    int mode = 0;
    if (readWhole(read(QStringLiteral("optFormat"), QStringLiteral("0")), &mode) && mode >= 0 &&
        mode <= 1) {
        m_formats.optFormat(mode)->setChecked(true);
        m_formats.showFormatPanel(mode);
    }

    // Category, then label, then extension: each selection rebuilds the next list.
    const QList<QPair<QComboBox *, const char *>> lists = {
        {m_formats.cmbCategory(), "1"},  {m_formats.cmbOutVCodec(), "1"},
        {m_formats.cmbOutFormat(), "1"}, {m_formats.cmbCustContainer(), "2"},
        {m_formats.cmbCACodec(), "1"},   {m_formats.cmbCASmapleRate(), "4"},
        {m_formats.cmbCVCodec(), "1"},   {m_formats.cmbCVSize(), "0"},
        {m_formats.cmbCVAspect(), "0"}};
    for (const auto &[list, fallback] : lists) {
        int index = 0;
        if (readWhole(read(list->objectName(), QString::fromLatin1(fallback)), &index) &&
            index >= 0 && index < list->count())
            list->setCurrentIndex(index);
    }

    const QList<QPair<QLineEdit *, const char *>> fields = {{m_formats.txtCABirate(), "64"},
                                                            {m_formats.txtChannels(), "2"},
                                                            {m_formats.txtCVBitrate(), "320"},
                                                            {m_formats.txtFrameRate(), "25"}};
    for (const auto &[field, fallback] : fields)
        field->setText(read(field->objectName(), QString::fromLatin1(fallback)));

    // More at once than this machine has cores would only slow each file down.
    QSpinBox *simultaneous = m_steps.spnSimultaneous;
    int count = 1;
    if (readWhole(read(simultaneous->objectName(), QStringLiteral("1")), &count))
        simultaneous->setValue(std::clamp(count, simultaneous->minimum(), simultaneous->maximum()));
    int whenExists = 0;
    if (readWhole(read(m_steps.cmbWhenExists->objectName(), QStringLiteral("0")), &whenExists) &&
        whenExists >= 0 && whenExists < m_steps.cmbWhenExists->count())
        m_steps.cmbWhenExists->setCurrentIndex(whenExists);
    if (readBoolean(read(m_steps.chkKeepDate->objectName(), QStringLiteral("True")), &on))
        m_steps.chkKeepDate->setChecked(on);

    if (readBoolean(read(m_formats.chkCopyWhenPossible()->objectName(), QStringLiteral("False")),
                    &on))
        m_formats.chkCopyWhenPossible()->setChecked(on);

    m_formats.ShowFormatSummary();
}

void SettingsPersistence::RestoreDefaults()
{
    m_store.REGDeleteSetting(kRoot, KeyPath);
    LoadSettings();
}
