#pragma once

#include <QMap>
#include <QString>

// The per-user store of text values, addressed by application, section and key.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // The stored text, or defaultText when the application, section or key is
    // absent. A key stored with the empty text reads as the empty text.
    virtual QString read(const QString& application, const QString& section, const QString& key,
                         const QString& defaultText) = 0;
    // Stores the text; false when the store could not keep it.
    virtual bool write(const QString& application, const QString& section, const QString& key,
                       const QString& text) = 0;
};

// An INI file per application in the user's configuration folder
// ($XDG_CONFIG_HOME/<application>.ini, usually ~/.config).
class QSettingsStore : public SettingsStore {
  public:
    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultText) override;
    bool write(const QString& application, const QString& section, const QString& key,
               const QString& text) override;
};

class MemorySettingsStore : public SettingsStore {
  public:
    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultText) override;
    bool write(const QString& application, const QString& section, const QString& key,
               const QString& text) override;

    QMap<QString, QString> values; // "application/section/key" -> text
    bool rejectWrites = false;
};
