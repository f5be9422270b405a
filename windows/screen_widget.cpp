// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windows/screen_widget.h"

#include "base/key_codes.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

#include <utility>

int16_t virtualKey(const QKeyEvent& event) {
    const int key = event.key();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return key::kEnter;
    case Qt::Key_Escape:
        return key::kEscape;
    case Qt::Key_Pause:
        return key::kPause;
    case Qt::Key_Left:
        return key::kLeft;
    case Qt::Key_Up:
        return key::kUp;
    case Qt::Key_Right:
        return key::kRight;
    case Qt::Key_Down:
        return key::kDown;
    case Qt::Key_Space:
        return key::kSpace;
    case Qt::Key_Backspace:
        return key::kBackspace;
    case Qt::Key_Tab:
        return key::kTab;
    case Qt::Key_Shift:
        return key::kShift;
    case Qt::Key_Control:
        return key::kControl;
    case Qt::Key_Alt:
        return key::kAlt;
    default:
        break;
    }
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z)) {
        return static_cast<int16_t>(key);
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
        return static_cast<int16_t>(key::kF1 + key - Qt::Key_F1);
    }
    return 0;
}

ProgramKey programKey(const QKeyEvent& event) {
    const int key = event.key();
    if (key == Qt::Key_M) {
        return ProgramKey::Music;
    }
    if (key == Qt::Key_F11 || ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
                               (event.modifiers() & Qt::AltModifier))) {
        return ProgramKey::Fullscreen;
    }
    return ProgramKey::None;
}

bool isFirstPress(const QKeyEvent& event) {
    // A held key repeats its press; it acts once.
    return event.type() == QEvent::KeyPress && !event.isAutoRepeat();
}

namespace {
int shiftState(const QKeyEvent& event) {
    const Qt::KeyboardModifiers m = event.modifiers();
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}
} // namespace

ScreenWidget::ScreenWidget(Screen& screen)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_screen(&screen) {
    setFocusPolicy(Qt::StrongFocus);
}

void ScreenWidget::display() {
    if (!isVisible() && !isFullScreen()) {
        if (const QScreen* desktop = QGuiApplication::primaryScreen()) {
            move(desktop->availableGeometry().center() - rect().center());
        }
    }
    // The window itself takes every key (key preview), so no control may
    // hold the keyboard focus.
    for (QWidget* child : findChildren<QWidget*>()) {
        child->setFocusPolicy(Qt::NoFocus);
    }
    show();
    // Without a window manager a new window gets no keyboard focus by itself.
    raise();
    activateWindow();
    setFocus();
}

void ScreenWidget::conceal() {
    hide();
}

void ScreenWidget::dispose() {
    m_screen = nullptr;
    hide();
    deleteLater();
}

bool ScreenWidget::takeKey(const QKeyEvent& event) {
    if (programKey(event) != ProgramKey::Music || !switchMusic) {
        return false;
    }
    if (isFirstPress(event)) {
        switchMusic();
    }
    return true;
}

bool ScreenWidget::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        int16_t code = virtualKey(*keyEvent);
        if (takeKey(*keyEvent)) {
            event->accept();
            return true;
        }
        if (m_screen != nullptr && code != 0) {
            if (event->type() == QEvent::KeyPress) {
                // Two pads may hold the same direction, each to be let go.
                if (!keyEvent->isAutoRepeat() || !m_held.contains(code)) {
                    m_held.append(code);
                }
                m_screen->Form_KeyDown(code, shiftState(*keyEvent));
            } else if (!keyEvent->isAutoRepeat() && m_held.removeOne(code)) {
                // X11 sends a release before every repeated press of a held
                // key; only the final, real release counts. A key let go at
                // the deactivation was let go then, whatever comes after.
                m_screen->Form_KeyUp(code, shiftState(*keyEvent));
            }
        }
        event->accept();
        return true;
    }
    if (event->type() == QEvent::WindowDeactivate) {
        deactivated();
    }
    return QWidget::event(event);
}

// The keys held now will be let go in another window, or while this one is
// minimised, and their releases never come here: the screen hears of the
// deactivation first, then of every such key as let go.
void ScreenWidget::deactivated() {
    if (m_screen != nullptr) {
        m_screen->Form_Deactivate();
    }
    for (int16_t code : std::exchange(m_held, {})) {
        if (m_screen != nullptr) {
            m_screen->Form_KeyUp(code, 0);
        }
    }
}

void ScreenWidget::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (m_screen != nullptr) {
        m_screen->closeCommand();
    }
}
