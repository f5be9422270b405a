#include "platform/settings_store.h"

#include <QSettings>

namespace {
QString path(const QString& section, const QString& key) {
    return section + QChar('/') + key;
}
} // namespace

QString QSettingsStore::read(const QString& application, const QString& section, const QString& key,
                             const QString& defaultText) {
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, application);
    const QVariant value = settings.value(path(section, key));
    // A hand-edited file can hold a list (a value with commas); only a plain
    // text counts as a stored value.
    if (!value.isValid() || value.typeId() != QMetaType::QString) {
        return defaultText;
    }
    return value.toString();
}

bool QSettingsStore::write(const QString& application, const QString& section, const QString& key,
                           const QString& text) {
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, application);
    if (!settings.isWritable()) {
        return false;
    }
    settings.setValue(path(section, key), text);
    settings.sync();
    // A file that did not parse (a stray byte, a half-written line) reports
    // FormatError even for a write that went through and left a clean file
    // behind; only AccessError means the value was not kept.
    return settings.status() != QSettings::AccessError;
}

QString MemorySettingsStore::read(const QString& application, const QString& section,
                                  const QString& key, const QString& defaultText) {
    return values.value(application + QChar('/') + path(section, key), defaultText);
}

bool MemorySettingsStore::write(const QString& application, const QString& section,
                                const QString& key, const QString& text) {
    if (rejectWrites) {
        return false;
    }
    values.insert(application + QChar('/') + path(section, key), text);
    return true;
}
