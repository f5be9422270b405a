// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windows/play_window.h"

#include "art/pictures.h"
#include "base/rules.h"
#include "platform/logging.h"
#include "play/form1.h"
#include "ui_form1.h"
#include "windows/layout_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <chrono>
#include <utility>

FieldView::FieldView(QWidget* parent) : QFrame(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FieldView::surfaceChanged(const QRect& rect) {
    update(rect.translated(contentsRect().topLeft()));
}

void FieldView::paintEvent(QPaintEvent* event) {
    // The border never changes: a tick's sprites inside it leave it alone.
    // Drawn anyway, its 404-row edges would be split among helper threads.
    if (!contentsRect().contains(event->region().boundingRect())) {
        QFrame::paintEvent(event);
    }
    if (m_surface == nullptr) {
        return;
    }
    // Rectangle by rectangle, each a plain copy: the rectangles a tick
    // changed lie all over the field, and their bounding rectangle drawn
    // through the clip would be copied row by row in pieces handed to helper
    // threads. The clip is the paint event's region, so within its own
    // rectangles nothing needs it.
    QPainter painter(this);
    painter.setClipping(false);
    const QRect area = contentsRect();
    for (const QRect& rect : event->region()) {
        const QRect target = rect & area;
        painter.drawImage(target.topLeft(), m_surface->image(), target.translated(-area.topLeft()));
    }
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

ScaledView::ScaledView(QWidget* content, QWidget* parent) : QWidget(parent), m_content(content) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void ScaledView::setFactor(int factor) {
    if (factor != m_factor) {
        m_factor = factor;
        m_content1x = QImage(m_content->size(), QImage::Format_RGB32);
        contentChanged(m_content->rect());
    }
}

void ScaledView::contentChanged(const QRect& rect) {
    m_stale += rect;
    update(QRect(rect.topLeft() * m_factor, rect.size() * m_factor));
}

void ScaledView::paintEvent(QPaintEvent* event) {
    // The content draws all that changed in one pass: drawing it part by
    // part costs a painter and a round of paint events for each part.
    const QRegion stale = std::exchange(m_stale, QRegion());
    if (!stale.isEmpty()) {
        m_content->render(&m_content1x, stale.boundingRect().topLeft(), stale);
    }
    // Each rectangle scaled from the whole content pixels that cover it,
    // nearest neighbour: each of its pixels is the one content pixel under
    // it. Clipped to that rectangle alone, the painter takes its fast path
    // for a plain scaled copy and writes each pixel once; under the whole
    // region of several rectangles it would fill them through a texture,
    // more slowly.
    const int k = m_factor;
    QPainter painter(this);
    for (const QRect& rect : event->region()) {
        const QRect source(QPoint(rect.left() / k, rect.top() / k),
                           QPoint(rect.right() / k, rect.bottom() / k));
        painter.setClipRect(rect);
        painter.drawImage(QRect(source.topLeft() * k, source.size() * k), m_content1x, source);
    }
}

namespace {
// In the field's bottom right corner, where neither gunman ever stands.
QLabel* makeMusicSign(QWidget* content, const QRect& field) {
    installFontSubstitutions();
    auto* sign = new QLabel(QStringLiteral("音楽オフ（M）"), content);
    sign->setObjectName(QStringLiteral("MusicOffSign"));
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    sign->setFont(font);
    QPalette colours = sign->palette();
    colours.setColor(QPalette::Window, Qt::black);
    colours.setColor(QPalette::WindowText, Qt::white);
    sign->setPalette(colours);
    sign->setAutoFillBackground(true);
    sign->setContentsMargins(3, 1, 3, 1);
    sign->adjustSize();
    sign->move(field.bottomRight() - QPoint(sign->width() + 3, sign->height() + 3));
    sign->hide();
    return sign;
}
} // namespace

PlayWindow::PlayWindow(Form1& form, PlayWindowOptions options)
    : ScreenWidget(form), m_ui(std::make_unique<Ui::Form1>()), m_content(new QWidget(this)),
      m_fullscreen(options.fullscreen), m_form(&form), m_pacer(rules::kTickPeriodMs) {
    m_ui->setupUi(m_content);
    setWindowTitle(m_content->windowTitle());
    setFixedSize(m_content->size()); // the layout's size: the field inside its border
    m_musicSign =
        makeMusicSign(m_content, m_ui->MainPic->contentsRect().translated(m_ui->MainPic->pos()));
    setMusicOff(options.musicOff);
    m_ui->MainPic->setSurface(&form.MainPic);
    form.MainPic.changed = [this](const QRect& rect) {
        m_ui->MainPic->surfaceChanged(rect);
        contentChanged(
            rect.translated(m_ui->MainPic->pos() + m_ui->MainPic->contentsRect().topLeft()));
    };
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
}

PlayWindow::~PlayWindow() {
    // In fullscreen the content is drawn scaled and belongs to no widget.
    if (m_content->parent() == nullptr) {
        delete m_content;
    }
}

void PlayWindow::display() {
    if (m_fullscreen && m_scaled == nullptr) {
        setFullscreen(true);
    }
    ScreenWidget::display();
}

void PlayWindow::setMusicOff(bool off) {
    setShown(m_musicSign, off);
}

bool PlayWindow::takeKey(const QKeyEvent& event) {
    if (programKey(event) != ProgramKey::Fullscreen) {
        return ScreenWidget::takeKey(event);
    }
    if (isFirstPress(event)) {
        setFullscreen(!m_fullscreen);
        if (fullscreenSwitched) {
            fullscreenSwitched(m_fullscreen);
        }
    }
    return true;
}

void PlayWindow::setFullscreen(bool on) {
    m_fullscreen = on;
    const QRect desktop = QWidget::screen()->geometry();
    if (on && m_scaled == nullptr) {
        // The content stays at its own size, out of sight, and is drawn
        // scaled, part by part as it changes: whole pixels with hard edges,
        // and a tick costs the few rectangles that changed, scaled.
        m_content->setParent(nullptr);
        m_scaled = new ScaledView(m_content, this);
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        // Without a window manager nobody else makes the window as large as
        // the screen.
        setGeometry(desktop);
        setWindowState(windowState() | Qt::WindowFullScreen);
        placeScaledContent();
        m_scaled->show();
    } else if (!on && m_scaled != nullptr) {
        delete m_scaled;
        m_scaled = nullptr;
        m_content->setParent(this);
        m_content->move(0, 0);
        m_content->show();
        setWindowState(windowState() & ~Qt::WindowFullScreen);
        setFixedSize(m_content->size());
        move(desktop.center() - rect().center());
    }
    setFocus();
}

// The largest whole multiple of the content's size that fits the window,
// centred.
void PlayWindow::placeScaledContent() {
    if (m_scaled == nullptr) {
        return;
    }
    const QSize size = m_content->size();
    const int factor = std::max(1, std::min(width() / size.width(), height() / size.height()));
    const QSize scaled = size * factor;
    m_scaled->setFactor(factor);
    m_scaled->setGeometry(
        QRect(QPoint((width() - scaled.width()) / 2, (height() - scaled.height()) / 2), scaled));
}

void PlayWindow::resizeEvent(QResizeEvent* event) {
    ScreenWidget::resizeEvent(event);
    placeScaledContent();
}

void PlayWindow::paintEvent(QPaintEvent* event) {
    if (m_scaled != nullptr) {
        QPainter(this).fillRect(event->rect(), Qt::black);
    }
}

void PlayWindow::setShown(QWidget* part, bool shown) {
    part->setVisible(shown);
    contentChanged(QRect(part->mapTo(m_content, QPoint()), part->size()));
}

void PlayWindow::contentChanged(const QRect& rect) {
    if (m_scaled != nullptr) {
        m_scaled->contentChanged(rect);
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
    setShown(m_pauseSign, paused);
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
    setShown(m_ui->UserControl11, visible);
}

double PlayWindow::elapsedMilliseconds() const {
    return static_cast<double>(m_clock.nsecsElapsed()) / 1e6;
}

void PlayWindow::tick() {
    if (m_form == nullptr) {
        return;
    }
    // How the benchmarks see the pacing from outside; nothing is read or
    // formatted while the category is off.
    qCDebug(lcTicks, "%lld",
            static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                       std::chrono::steady_clock::now().time_since_epoch())
                                       .count()));
    // As many ticks as the speed asks for; a tick may end the game and let go
    // of this window, or stop the timer.
    for (int i = 0; i < m_speed && m_form != nullptr && m_timer1Enabled && !m_paused; ++i) {
        m_form->Timer1_Timer();
    }
    if (m_form != nullptr && m_timer1Enabled && !m_paused) {
        m_timer1.start(m_pacer.next(elapsedMilliseconds()));
    }
}
