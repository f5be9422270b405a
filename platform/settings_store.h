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

// An INI file per application in the user's configuration folder
// ($XDG_CONFIG_HOME/<application>.ini, usually ~/.config), written as
// QSettings writes it. Writers lock the lock file QSettings uses, with a lock
// the kernel lets go of when its holder dies.
class QSettingsStore : public SettingsStore {
  public:
    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultText) override;
    Change write(const QString& application, const QString& section,
                 const std::function<Values(const Values& current)>& change,
                 const Alongside& alongside) override;
};

// The most either of the game's INI files is read to. The record is well under
// 100 bytes as the game writes it, and even the longest name its prompt takes
// (32767 characters, each escaped as QSettings escapes the worst of them)
// stays under 200 KB; a megabyte leaves room for whatever a person adds by
// hand and reads in a moment. Anything larger was never one of them.
inline constexpr qint64 kMaxIniBytes = qint64{1} << 20;

// QSettings at work on a private copy of INI bytes, so that it never opens
// the player's file itself. The copy's bytes once `use` is done with it; none
// when no copy could be made, `use` returned false, or the result is larger
// than kMaxIniBytes.
std::optional<QByteArray> onIniCopy(const QByteArray& bytes,
                                    const std::function<bool(QSettings&)>& use);
