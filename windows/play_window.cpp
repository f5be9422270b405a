// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windows/play_window.h"

#include "art/pictures.h"
#include "base/rules.h"
#include "play/form1.h"
#include "ui_form1.h"
#include "windows/layout_window.h"

#include <QPaintEvent>
#include <QPainter>

#include <chrono>
#include <cstdlib>

FieldView::FieldView(QWidget* parent) : QFrame(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FieldView::surfaceChanged(const QRect& rect) {
    update(rect.translated(contentsRect().topLeft()));
}

void FieldView::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (m_surface == nullptr) {
        return;
    }
    QPainter painter(this);
    const QRect area = contentsRect();
    const QRect target = event->rect() & area;
    painter.drawImage(target, m_surface->image(), target.translated(-area.topLeft()));
}

BannerView::BannerView(QWidget* parent) : QWidget(parent) {
    const QImage picture = art::bannerPicture();
    const QImage mask = art::bannerMask();
    m_picture = QImage(picture.size(), QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const bool seeThrough = (mask.pixel(x, y) & 0xFFFFFFu) == 0;
            m_picture.setPixel(x, y, seeThrough ? 0u : picture.pixel(x, y));
        }
    }
}

void BannerView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
}

PauseSign::PauseSign(QWidget* parent) : QWidget(parent) {
    installFontSubstitutions();
}

void PauseSign::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 144));
    painter.setPen(Qt::white);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setBold(true);
    font.setPixelSize(48);
    painter.setFont(font);
    const QRect upper(0, 0, width(), height() / 2 + 8);
    painter.drawText(upper, Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("一時停止"));
    font.setBold(false);
    font.setPixelSize(20);
    painter.setFont(font);
    const QRect lower(0, height() / 2 + 24, width(), height() / 2 - 24);
    painter.drawText(lower, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("P キーで再開します"));
}

PlayWindow::PlayWindow(Form1& form)
    : ScreenWidget(form), m_ui(std::make_unique<Ui::Form1>()), m_form(&form),
      m_pacer(rules::kTickPeriodMs) {
    m_ui->setupUi(this);
    setFixedSize(size()); // the layout's size: the field inside its border
    m_ui->MainPic->setSurface(&form.MainPic);
    form.MainPic.changed = [this](const QRect& rect) { m_ui->MainPic->surfaceChanged(rect); };
    m_pauseSign = new PauseSign(m_ui->MainPic);
    m_pauseSign->setObjectName(QStringLiteral("PauseSign"));
    m_pauseSign->setGeometry(m_ui->MainPic->contentsRect());
    m_pauseSign->hide();

    m_timer2.setTimerType(Qt::PreciseTimer);
    connect(&m_timer2, &QTimer::timeout, this, [this] {
        // After a pause the first event came with what was left of a period.
        if (m_timer2.interval() != rules::kCountdownPeriodMs) {
            m_timer2.setInterval(rules::kCountdownPeriodMs);
        }
        if (m_form != nullptr) {
            m_form->Timer2_Timer();
        }
    });

    m_timer1.setTimerType(Qt::PreciseTimer);
    m_timer1.setSingleShot(true);
    connect(&m_timer1, &QTimer::timeout, this, &PlayWindow::tick);
    m_clock.start();
    runTimers();

    if (const char* path = std::getenv("SPINMARSH_TICK_LOG"); path != nullptr && *path != 0) {
        m_tickLog = std::fopen(path, "a");
        if (m_tickLog != nullptr) {
            std::setvbuf(m_tickLog, nullptr, _IOLBF, 0); // readable while the game runs
        }
    }
}

PlayWindow::~PlayWindow() {
    if (m_tickLog != nullptr) {
        std::fclose(m_tickLog);
    }
}

void PlayWindow::dispose() {
    m_timer1.stop();
    m_timer2.stop();
    if (m_form != nullptr) {
        m_form->MainPic.changed = nullptr;
        m_form = nullptr;
    }
    ScreenWidget::dispose();
}

void PlayWindow::setTimer1Enabled(bool enabled) {
    m_timer1Enabled = enabled;
    runTimers();
}

void PlayWindow::setTimer2Enabled(bool enabled) {
    m_timer2Enabled = enabled;
    runTimers();
}

void PlayWindow::setPaused(bool paused) {
    m_paused = paused;
    m_pauseSign->setVisible(paused);
    runTimers();
}

// A stopped timer wakes nobody: a paused game costs no CPU.
void PlayWindow::runTimers() {
    if (m_timer1Enabled && !m_paused) {
        if (!m_timer1.isActive()) {
            m_pacer.start(elapsedMilliseconds());
            m_timer1.start(m_pacer.next(elapsedMilliseconds()));
        }
    } else {
        m_timer1.stop();
    }
    if (m_timer2Enabled && !m_paused) {
        if (!m_timer2.isActive()) {
            m_timer2.start(m_timer2Left);
        }
    } else if (m_timer2.isActive()) {
        m_timer2Left = m_timer2.remainingTime();
        m_timer2.stop();
    }
}

void PlayWindow::setBannerVisible(bool visible) {
    m_ui->UserControl11->setVisible(visible);
}

double PlayWindow::elapsedMilliseconds() const {
    return static_cast<double>(m_clock.nsecsElapsed()) / 1e6;
}

void PlayWindow::tick() {
    if (m_form == nullptr) {
        return;
    }
    if (m_tickLog != nullptr) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        std::fprintf(m_tickLog, "%lld\n",
                     static_cast<long long>(
                         std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
    }
    m_form->Timer1_Timer();
    // The tick may have ended the game and let go of this window, or stopped
    // the timer.
    if (m_form != nullptr && m_timer1Enabled && !m_paused) {
        m_timer1.start(m_pacer.next(elapsedMilliseconds()));
    }
}
