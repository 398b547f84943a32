#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <utility>

// Registry-style access to the settings store: text values addressed by a root handle, a
// backslash-separated key path and a value name. The store is a per-user INI file; each root
// handle is a top-level group and each key name a nested group. Every call reads the file once,
// writes it at most once (one atomic replacement) and lets go again; no call shows a message
// or throws. A line the store would misread, such as an unclosed quote, is passed over rather
// than taken with the lines after it.
class CRegister
{
public:
    enum RootKey : quint32 {
        HKEY_CLASSES_ROOT = 0x80000000u,
        HKEY_CURRENT_USER = 0x80000001u,
        HKEY_LOCAL_MACHINE = 0x80000002u,
        HKEY_USERS = 0x80000003u,
        HKEY_CURRENT_CONFIG = 0x80000005u,
    };

    // The user's own settings file.
    CRegister();
    // Another file, for tools and tests.
    explicit CRegister(const QString &iniFile);

    // Deletes one value, or with an empty name the key sSection itself (only when it has
    // no subkeys; its values go with it).
    bool REGDeleteSetting(quint32 regHKEY, const QString &sSection,
                          const QString &sKey = QString()) const;
    // The stored text, or sDefault when the value is missing or empty.
    QString REGGetSetting(quint32 regHKEY, const QString &sSection, const QString &sKey,
                          const QString &sDefault = QString()) const;
    // Every text value of the key at once, by value name ("*" for the unnamed one); a value that
    // is missing, empty or not text is left out, as REGGetSetting would give its default.
    QHash<QString, QString> REGGetSettings(quint32 regHKEY, const QString &sSection) const;
    // Writes the value, creating the key path; true only when the file holds it afterwards.
    bool REGSaveSetting(quint32 regHKEY, const QString &sSection, const QString &sKey,
                        const QString &sValue) const;
    // Value names and texts.
    using Values = QList<std::pair<QString, QString>>;
    // Writes all the values in one replacement of the file, or none when each already holds
    // its text.
    bool REGSaveSettings(quint32 regHKEY, const QString &sSection, const Values &values) const;

private:
    static QString TrimSection(const QString &section);

    QString m_file;
};
