// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

#include <functional>
#include <optional>

class QSettings;

// The per-user store of text values, addressed by application, section and key.
class SettingsStore {
  public:
    // Key -> text, of one section.
    using Values = QMap<QString, QString>;
    // How a change ended: stored and seen to be kept, left alone because the
    // change asked for nothing, or not stored (the store kept what it had).
    enum class Change { Stored, Declined, Failed };

    virtual ~SettingsStore() = default;
    // The stored text, or defaultText when the application, section or key is
    // absent. A key stored with the empty text reads as the empty text.
    virtual QString read(const QString& application, const QString& section, const QString& key,
                         const QString& defaultText) = 0;
    // One change of a section, whole or not at all. `change` gets the keys
    // present in the section as they are at that moment and returns the
    // values to store; no other writer of the store can come between the two.
    // An empty result stores nothing. `alongside` keeps what belongs with the
    // values in step with them, under the same lock.
    struct Alongside {
        // Just before the stored values are replaced.
        std::function<void()> replacing;
        // Once the new values are seen kept.
        std::function<void()> replaced;
        // What lay in the store's place and could never be read as it (a
        // folder, a pipe, a device, a file far too large) has been moved
        // aside to this path, just before the new values went in.
        std::function<void(const QString& path)> movedAside = {};
    };
    virtual Change write(const QString& application, const QString& section,
                         const std::function<Values(const Values& current)>& change,
                         const Alongside& alongside) = 0;
};
