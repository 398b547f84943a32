#pragma once

#include "settings/CRegister.h"

class FormatPanel;
class QWidget;
class StepsFrame;

// The remembered choices: where results go, how many files at once, what to do with a result that
// already exists, whether results keep their input's date, the format mode, every list
// selection of both format panels and the four custom fields. Saved when the window unloads, loaded
// at start-up and by Restore Defaults. Nothing here ever shows a message: a value that cannot be
// applied is skipped and its control keeps what it had. The choices are one table: each is read
// and written under its control's object name, all in one read and one write of the file.
class SettingsPersistence
{
public:
    static const QString KeyPath;

    SettingsPersistence(StepsFrame &steps, FormatPanel &formats, const QString &settingsFile);

    void SaveSettings();
    void LoadSettings();
    // Forgets every stored value at once, then takes the defaults.
    void RestoreDefaults();

private:
    // The control a stored value belongs to, found by its name; null when there is none.
    QWidget *control(const QString &name) const;

    StepsFrame &m_steps;
    FormatPanel &m_formats;
    CRegister m_store;
};
