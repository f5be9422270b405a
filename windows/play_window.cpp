// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windows/play_window.h"

#include "art/pictures.h"
#include "base/rules.h"
#include "platform/logging.h"
#include "play/form1.h"
#include "ui_form1.h"
#include "windows/layout_window.h"

#include <QGraphicsProxyWidget>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <chrono>

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
}

PlayWindow::~PlayWindow() = default;

void PlayWindow::display() {
    if (m_fullscreen && m_scaled == nullptr) {
        setFullscreen(true);
    }
    ScreenWidget::display();
}

void PlayWindow::setMusicOff(bool off) {
    m_musicSign->setVisible(off);
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
        // The content is drawn once at its own size into an image, each
        // change it paints after that only into the changed rectangle of the
        // image, and the image is shown scaled without smoothing: whole
        // pixels with hard edges, and a tick costs the few rectangles that
        // changed, scaled.
        auto* scene = new QGraphicsScene(this);
        m_content->setParent(nullptr);
        QGraphicsProxyWidget* proxy = scene->addWidget(m_content);
        proxy->setCacheMode(QGraphicsItem::ItemCoordinateCache);
        m_content->show();
        m_scaled = new QGraphicsView(scene, this);
        m_scaled->setFrameShape(QFrame::NoFrame);
        m_scaled->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_scaled->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_scaled->setInteractive(false);
        m_scaled->setFocusPolicy(Qt::NoFocus);
        m_scaled->setSceneRect(QRectF(QPointF(0, 0), m_content->size()));
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        // Without a window manager nobody else makes the window as large as
        // the screen.
        setGeometry(desktop);
        setWindowState(windowState() | Qt::WindowFullScreen);
        placeScaledContent();
        m_scaled->show();
    } else if (!on && m_scaled != nullptr) {
        m_content->graphicsProxyWidget()->setWidget(nullptr);
        m_content->setParent(this);
        m_content->move(0, 0);
        m_content->show();
        delete m_scaled->scene();
        delete m_scaled;
        m_scaled = nullptr;
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
    m_scaled->setTransform(QTransform::fromScale(factor, factor));
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
    // How the benchmarks see the pacing from outside; nothing is read or
    // formatted while the category is off.
    qCDebug(lcTicks, "%lld",
            static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                       std::chrono::steady_clock::now().time_since_epoch())
                                       .count()));
    m_form->Timer1_Timer();
    // The tick may have ended the game and let go of this window, or stopped
    // the timer.
    for (int more = 1; more < m_speed && m_form != nullptr && m_timer1Enabled && !m_paused;
         ++more) {
        m_form->Timer1_Timer();
    }
    if (m_form != nullptr && m_timer1Enabled && !m_paused) {
        m_timer1.start(m_pacer.next(elapsedMilliseconds()));
    }
}
