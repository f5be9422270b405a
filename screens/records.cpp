// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "screens/records.h"

#include <QRegularExpression>

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

const QByteArray kHeader = "spinmarsh-records 1";
const QString kRecordGame = QStringLiteral("record.replay");
const QString kPlayedFormat = QStringLiteral("yyyyMMdd-HHmmss");
// Ten names and a last one take well under a kilobyte.
constexpr qint64 kMaxTableBytes = qint64{64} * 1024;
constexpr int kSecondsRow = 6; // the counter of whole seconds played

// A recording as its name files it: when it was played, as the name's
// yyyyMMdd-HHmmss, which sorts as the time does, and its total.
struct Filed {
    QString file;
    QString played;
    int32_t total = 0;
};

std::optional<Filed> filedAs(const QString& file) {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{8}-\\d{6})-(-?\\d{1,10})\\.replay$"));
    const QRegularExpressionMatch match = pattern.match(file);
    bool ok = false;
    const int32_t total = match.hasMatch() ? match.captured(2).toInt(&ok) : 0;
    if (!ok) {
        return std::nullopt;
    }
    return Filed{file, match.captured(1), total};
}

std::vector<Filed> filedIn(const RecordsFolder& folder) {
    std::vector<Filed> filed;
    for (const QString& file : folder.replayNames()) {
        if (std::optional<Filed> f = filedAs(file)) {
            filed.push_back(*f);
        }
    }
    return filed;
}

bool newerFirst(const Filed& a, const Filed& b) {
    return a.played != b.played ? a.played > b.played : a.file > b.file;
}

// Names are one line each, their fields apart by tabs: these characters are
// written as a backslash and a letter.
constexpr std::pair<char16_t, char16_t> kEscapes[] = {
    {u'\\', u'\\'}, {u'\t', u't'}, {u'\n', u'n'}, {u'\r', u'r'}};

QString escaped(const QString& text) {
    QString out;
    for (const QChar c : text) {
        const auto* e = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                     [c](const auto& pair) { return pair.first == c; });
        if (e == std::end(kEscapes)) {
            out += c;
        } else {
            out += QChar('\\');
            out += QChar(e->second);
        }
    }
    return out;
}

std::optional<QString> unescaped(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QChar('\\')) {
            out += text[i];
            continue;
        }
        if (++i == text.size()) {
            return std::nullopt;
        }
        const QChar letter = text[i];
        const auto* e = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                     [letter](const auto& pair) { return pair.second == letter; });
        if (e == std::end(kEscapes)) {
            return std::nullopt;
        }
        out += QChar(e->first);
    }
    return out;
}

} // namespace

RecordsTable RecordsTable::parse(const QByteArray& text) {
    RecordsTable table;
    QList<QByteArray> lines = text.split('\n');
    if (lines.constLast().isEmpty()) {
        lines.removeLast();
    }
    table.damaged = lines.isEmpty() || lines.constFirst() != kHeader;
    if (!table.damaged) {
        lines.removeFirst();
    }
    // Every line that reads is kept, so a damaged table loses only what is
    // damaged.
    for (const QByteArray& line : lines) {
        const QStringList fields = QString::fromUtf8(line).split(QChar('\t'));
        const std::optional<QString> name = unescaped(fields.constLast());
        if (fields.size() == 2 && fields[0] == QStringLiteral("last") && name) {
            table.lastName = name;
        } else if (fields.size() == 3 && fields[0] == QStringLiteral("game") && name &&
                   filedAs(fields[1])) {
            table.names.insert(fields[1], *name);
        } else {
            table.damaged = true;
        }
    }
    return table;
}

QByteArray RecordsTable::format(const std::vector<RecordEntry>& best) const {
    QString text = QString::fromUtf8(kHeader) + QChar('\n');
    if (lastName) {
        text += QStringLiteral("last\t") + escaped(*lastName) + QChar('\n');
    }
    for (const RecordEntry& entry : best) {
        text +=
            QStringLiteral("game\t") + entry.file + QChar('\t') + escaped(entry.name) + QChar('\n');
    }
    return text.toUtf8();
}

QString entryName(const std::optional<QString>& typed, const std::optional<QString>& lastName,
                  const QString& account) {
    return typed ? *typed : lastName.value_or(account);
}

QString Records::fileName(const QDateTime& played, int32_t total) {
    return played.toString(kPlayedFormat) + QChar('-') + QString::number(total) +
           QStringLiteral(".replay");
}

std::optional<Recording> Records::game(const QString& file, std::string& error) const {
    const RegularFile read = m_folder.readReplay(file, kMaxRecordingBytes);
    if (!read.ok()) {
        error = (file + QStringLiteral(": ") + read.reason()).toStdString();
        return std::nullopt;
    }
    std::optional<Recording> recording = parseRecording(read.bytes.toStdString(), error);
    if (!recording) {
        error = file.toStdString() + ": " + error;
    }
    return recording;
}

namespace {

// The recordings as entries, in the given order, as far as `count` of them
// are whole recordings whose total is the one they are filed under.
std::vector<RecordEntry> entries(const Records& records, const std::vector<Filed>& filed,
                                 size_t count, const RecordsTable& table, const QString& account) {
    std::vector<RecordEntry> out;
    for (const Filed& f : filed) {
        if (out.size() == count) {
            break;
        }
        std::string error;
        const std::optional<Recording> game = records.game(f.file, error);
        const QDateTime played = QDateTime::fromString(f.played, kPlayedFormat);
        if (!game || game->total != f.total || !played.isValid()) {
            continue;
        }
        out.push_back({f.file,
                       table.names.value(f.file, entryName(std::nullopt, table.lastName, account)),
                       f.total, played, game->end, game->counters[kSecondsRow]});
    }
    return out;
}

} // namespace

std::vector<RecordEntry> Records::rank(const RecordsTable& table) const {
    std::vector<Filed> filed = filedIn(m_folder);
    // Ranked by the totals the names give, each read only as its turn comes,
    // so a folder of thousands costs a listing and a few reads.
    std::sort(filed.begin(), filed.end(), [](const Filed& a, const Filed& b) {
        if (a.total != b.total) {
            return a.total > b.total;
        }
        return a.played != b.played ? a.played < b.played : a.file < b.file;
    });
    return entries(*this, filed, kBest, table, m_account);
}

std::vector<RecordEntry> Records::bestTen() const {
    const RegularFile read = m_folder.readTable(kMaxTableBytes);
    return rank(read.ok() ? RecordsTable::parse(read.bytes) : RecordsTable());
}

std::vector<RecordEntry> Records::recent(int count) const {
    const RegularFile read = m_folder.readTable(kMaxTableBytes);
    std::vector<Filed> filed = filedIn(m_folder);
    std::sort(filed.begin(), filed.end(), newerFirst);
    // The recent games are among the recordings kept; the rest are on their
    // way out, and a folder of thousands is not read through.
    filed.resize(std::min<size_t>(filed.size(), kKept));
    return entries(*this, filed, static_cast<size_t>(std::max(count, 0)),
                   read.ok() ? RecordsTable::parse(read.bytes) : RecordsTable(), m_account);
}

void Records::open() const {
    m_folder.changeTable(kMaxTableBytes,
                         [this](const RegularFile& current) -> std::optional<QByteArray> {
                             const RecordsTable table =
                                 current.ok() ? RecordsTable::parse(current.bytes) : RecordsTable();
                             if (current.ok() && !table.damaged) {
                                 return std::nullopt;
                             }
                             if (current.status != RegularFile::Status::Missing) {
                                 m_folder.setTableAside();
                             }
                             adoptRecordGame();
                             return table.format(rank(table));
                         });
}

bool Records::enter(const QString& file, const std::optional<QString>& typed) const {
    return m_folder.changeTable(kMaxTableBytes, [&](const RegularFile& current) {
        RecordsTable table = current.ok() ? RecordsTable::parse(current.bytes) : RecordsTable();
        if (!file.isEmpty()) {
            table.names.insert(file, entryName(typed, table.lastName, m_account));
        }
        if (typed) {
            table.lastName = typed;
        }
        return std::optional(table.format(rank(table)));
    });
}

void Records::prune() const {
    m_folder.changeTable(kMaxTableBytes, [this](const RegularFile&) -> std::optional<QByteArray> {
        std::vector<Filed> filed = filedIn(m_folder);
        std::erase_if(filed, [this](const Filed& f) {
            return !m_folder.isReplayFile(f.file, kMaxRecordingBytes);
        });
        std::sort(filed.begin(), filed.end(), newerFirst);
        const std::vector<RecordEntry> best = rank(RecordsTable());
        for (size_t i = kKept; i < filed.size(); ++i) {
            const QString& file = filed[i].file;
            if (std::none_of(best.begin(), best.end(),
                             [&](const RecordEntry& e) { return e.file == file; })) {
                m_folder.removeReplay(file);
            }
        }
        return std::nullopt;
    });
}

// Older copies of the game pruned the record's own game from the dated
// recordings; record.replay still holds it.
void Records::adoptRecordGame() const {
    const RegularFile record = m_folder.readReplay(kRecordGame, kMaxRecordingBytes);
    std::string error;
    const std::optional<Recording> game =
        record.ok() ? parseRecording(record.bytes.toStdString(), error) : std::nullopt;
    if (!game) {
        return;
    }
    for (const Filed& f : filedIn(m_folder)) {
        if (f.total == game->total &&
            m_folder.readReplay(f.file, kMaxRecordingBytes).bytes == record.bytes) {
            return;
        }
    }
    m_folder.writeReplay(fileName(m_folder.replayModified(kRecordGame), game->total), record.bytes);
}
