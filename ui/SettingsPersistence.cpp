#include "ui/SettingsPersistence.h"

#include "settings/OutputFolders.h"
#include "ui/FormatPanel.h"
#include "ui/StepsFrame.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <algorithm>
#include <optional>

namespace {
const quint32 kRoot = CRegister::HKEY_LOCAL_MACHINE;

// How a control's choice is stored as text.
enum class Kind {
    Check,      // "True"/"False"
    Index,      // a list's selected index
    Text,       // a field's text as typed
    Count,      // a number box, kept within its range
    FormatMode, // "0" for the presets, "1" for the custom format
};

struct Choice
{
    QString name; // the stored value's name, and its control's object name
    Kind kind;
    QString fallback;
};

// Loaded in this order: the category before the label and extension lists it rebuilds.
QList<Choice> choices()
{
    return {
        {QStringLiteral("optOtherFolder"), Kind::Check, QStringLiteral("True")},
        {QStringLiteral("optSameFolder"), Kind::Check, QStringLiteral("False")},
        {QStringLiteral("txtOutPath"), Kind::Text, OutputFolders::defaultFolder()},
        {QStringLiteral("optFormat"), Kind::FormatMode, QStringLiteral("0")},
        {QStringLiteral("cmbCategory"), Kind::Index, QStringLiteral("1")},
        {QStringLiteral("cmbOutVCodec"), Kind::Index, QStringLiteral("1")},
        {QStringLiteral("cmbOutFormat"), Kind::Index, QStringLiteral("1")},
        {QStringLiteral("cmbCustContainer"), Kind::Index, QStringLiteral("2")},
        {QStringLiteral("cmbCACodec"), Kind::Index, QStringLiteral("1")},
        {QStringLiteral("cmbCASmapleRate"), Kind::Index, QStringLiteral("4")},
        {QStringLiteral("cmbCVCodec"), Kind::Index, QStringLiteral("1")},
        {QStringLiteral("cmbCVSize"), Kind::Index, QStringLiteral("0")},
        {QStringLiteral("cmbCVAspect"), Kind::Index, QStringLiteral("0")},
        {QStringLiteral("txtCABirate"), Kind::Text, QStringLiteral("64")},
        {QStringLiteral("txtChannels"), Kind::Text, QStringLiteral("2")},
        {QStringLiteral("txtCVBitrate"), Kind::Text, QStringLiteral("320")},
        {QStringLiteral("txtFrameRate"), Kind::Text, QStringLiteral("25")},
        {QStringLiteral("spnSimultaneous"), Kind::Count, QStringLiteral("1")},
        {QStringLiteral("cmbWhenExists"), Kind::Index, QStringLiteral("0")},
        {QStringLiteral("chkKeepDate"), Kind::Check, QStringLiteral("True")},
        {QStringLiteral("chkCopyWhenPossible"), Kind::Check, QStringLiteral("False")},
    };
}

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

// The control's choice as stored; nothing when the control is not of the kind's class.
std::optional<QString> textOf(Kind kind, QWidget *control)
{
    const auto *button = qobject_cast<QAbstractButton *>(control);
    const auto *list = qobject_cast<QComboBox *>(control);
    const auto *field = qobject_cast<QLineEdit *>(control);
    const auto *box = qobject_cast<QSpinBox *>(control);
    const auto check = [](bool on, const char *yes, const char *no) {
        return QString::fromLatin1(on ? yes : no);
    };
    if (kind == Kind::Check && button)
        return check(button->isChecked(), "True", "False");
    if (kind == Kind::FormatMode && button)
        return check(button->isChecked(), "0", "1");
    if (kind == Kind::Index && list)
        return QString::number(list->currentIndex());
    if (kind == Kind::Text && field)
        return field->text();
    if (kind == Kind::Count && box)
        return QString::number(box->value());
    return std::nullopt;
}

// Shows a stored choice; text that does not fit the control is skipped.
void apply(Kind kind, QWidget *control, const QString &text, FormatPanel &formats)
{
    auto *button = qobject_cast<QAbstractButton *>(control);
    auto *list = qobject_cast<QComboBox *>(control);
    auto *field = qobject_cast<QLineEdit *>(control);
    auto *box = qobject_cast<QSpinBox *>(control);
    bool on = false;
    int number = 0;
    if (kind == Kind::Check && button && readBoolean(text, &on))
        button->setChecked(on);
    else if (kind == Kind::Index && list && readWhole(text, &number) && number >= 0 &&
             number < list->count())
        list->setCurrentIndex(number);
    else if (kind == Kind::Text && field)
        field->setText(text);
    // More at once than this machine has cores would only slow each file down.
    else if (kind == Kind::Count && box && readWhole(text, &number))
        box->setValue(std::clamp(number, box->minimum(), box->maximum()));
    else if (kind == Kind::FormatMode && readWhole(text, &number) && number >= 0 && number <= 1) {
        formats.optFormat(number)->setChecked(true);
        formats.showFormatPanel(number);
    }
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

QWidget *SettingsPersistence::control(const QString &name) const
{
    // The format mode is stored as whether its first button is checked.
    if (name == QLatin1String("optFormat"))
        return m_formats.optFormat(0);
    if (auto *own = m_steps.findChild<QWidget *>(name))
        return own;
    return m_formats.findChild<QWidget *>(name);
}

void SettingsPersistence::SaveSettings()
{
    CRegister::Values values;
    for (const Choice &choice : choices()) {
        if (const std::optional<QString> text = textOf(choice.kind, control(choice.name)))
            values.append({choice.name, *text});
    }
    m_store.REGSaveSettings(kRoot, KeyPath, values);
}

void SettingsPersistence::LoadSettings()
{
    const QHash<QString, QString> stored = m_store.REGGetSettings(kRoot, KeyPath);
    for (const Choice &choice : choices()) {
        if (QWidget *shown = control(choice.name))
            apply(choice.kind, shown, stored.value(choice.name, choice.fallback), m_formats);
    }
    // The folder controls follow the restored choice, as a click would.
    const bool otherFolder = !m_steps.optSameFolder->isChecked();
    m_steps.txtOutPath->setEnabled(otherFolder);
    m_steps.cmdBrowse->setEnabled(otherFolder);
    m_formats.ShowFormatSummary();
}

void SettingsPersistence::RestoreDefaults()
{
    m_store.REGDeleteSetting(kRoot, KeyPath);
    LoadSettings();
}
