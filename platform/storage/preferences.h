// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <utility>

// What the player chose once and wants kept for the next run.
struct Choices {
    bool music = true;       // the tunes play during a game
    bool fullscreen = false; // the play screen fills the screen
    bool operator==(const Choices&) const = default;
};

// The player's choices, kept from one run to the next. A store that cannot
// be read gives the defaults, and one that cannot be written keeps nothing:
// a choice is a comfort, never worth a message or a wait.
class Preferences {
  public:
    virtual ~Preferences() = default;
    virtual Choices load() = 0;
    virtual void save(const Choices& choices) = 0;
};

// The choices in an INI file of their own, as QSettings writes it: group
// [General], keys music and fullscreen, each true or false.
class IniPreferences : public Preferences {
  public:
    explicit IniPreferences(QString fileName) : m_fileName(std::move(fileName)) {}
    // $XDG_CONFIG_HOME/<organization>/<application>.ini, where QSettings keeps
    // a user's settings for that organization and application.
    static QString userFile(const QString& organization, const QString& application);

    Choices load() override;
    void save(const Choices& choices) override;

  private:
    QString m_fileName;
};
