#include "screens/high_score_record.h"

using namespace record;

QString HighScoreRecord::scoreText() const {
    return m_store.read(kApplication, kSection, kScoreKey, kDefaultScore);
}

QString HighScoreRecord::name() const {
    return m_store.read(kApplication, kSection, kNameKey, kDefaultName);
}

int32_t HighScoreRecord::score() const {
    return scoreFromText(scoreText());
}

int32_t HighScoreRecord::scoreFromText(const QString& text) {
    // Blanks around the digits do not make it another number; anything that
    // is not a whole number in range, or is not above 0, is no score.
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok && value > 0 ? static_cast<int32_t>(value) : 0;
}

bool HighScoreRecord::write(const QString& name, int32_t score) {
    // A name without its score would credit the old score to the new
    // player, so when the score cannot follow, the old name goes back (an
    // absent name comes back as the default, which reads the same).
    const QString oldName = this->name();
    if (!m_store.write(kApplication, kSection, kNameKey, name)) {
        return false;
    }
    if (!m_store.write(kApplication, kSection, kScoreKey, QString::number(score))) {
        m_store.write(kApplication, kSection, kNameKey, oldName);
        return false;
    }
    return true;
}
