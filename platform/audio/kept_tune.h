// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <memory>

// A tune as the synthesizer rendered it, kept on disk as its samples, so
// that playing it again reads a file instead of synthesizing it: the
// synthesis is most of what the music costs while a game plays, and the game
// plays the same two tunes over and over. The same tune rendered with the
// same soundfont and settings is the same samples, so nothing is heard to
// change.
//
// A file is written beside its final name and renamed into place only when
// the whole tune is in it, so a kept file is never a part of a tune, and two
// copies of the game writing the same tune at once each put a whole one in
// place.
class KeptTune {
  public:
    // The kept rendering at path, whole; nothing when there is none, or what
    // is there is not one (cut short, another kind of file, too large).
    static std::unique_ptr<KeptTune> open(const QString& path);
    // A rendering to be written, and kept at path once finished; nothing
    // when the folder takes no file.
    static std::unique_ptr<KeptTune> create(const QString& path);
    ~KeptTune(); // a rendering not finished leaves nothing behind
    KeptTune(const KeptTune&) = delete;
    KeptTune& operator=(const KeptTune&) = delete;

    qint64 frames() const { return m_frames; }
    bool finished() const { return m_finished; }

    // Adds stereo frames at the end of a rendering being written; false when
    // the disk takes no more, or the tune grows longer than any tune.
    bool append(const float* samples, qint64 frames);
    // Puts the rendering in place for the next time, and lets go of older
    // renderings beyond the few the game's tunes need.
    void finish();
    // Reads up to `frames` stereo frames from frame `at` of a kept
    // rendering; how many it read. A sample no synthesizer makes (not a
    // number, or far beyond full scale) reads as silence.
    qint64 read(qint64 at, float* samples, qint64 frames) const;

  private:
    KeptTune(int fd, QString path, QString writing);

    int m_fd;
    QString m_path;    // where the rendering is kept
    QString m_writing; // where it is written until finished; empty when read
    qint64 m_frames = 0;
    bool m_finished = false;
};
