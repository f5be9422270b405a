// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windows/pad_keys.h"

#include "windows/screen_widget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWindow>

#include <array>

namespace {
// In the order of Gamepads::Control.
constexpr std::array<Qt::Key, Gamepads::kControls> kKeys = {
    Qt::Key_Left,   Qt::Key_Up, Qt::Key_Right, Qt::Key_Down,
    Qt::Key_Return, Qt::Key_P,  Qt::Key_Escape};
} // namespace

PadKeys::PadKeys(Gamepads& pads) : m_pads(pads) {
    m_pads.changed = [this](int pad, Gamepads::Control control, bool down) {
        changed(pad, control, down);
    };
    m_pads.removed = [this](int) { removed(); };
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &PadKeys::focusMoved);
    focusMoved(QGuiApplication::focusWindow());
}

PadKeys::~PadKeys() {
    m_pads.changed = nullptr;
    m_pads.removed = nullptr;
}

void PadKeys::focusMoved(QWindow* window) {
    // Every held control counts as let go, in the window that had the focus.
    m_pads.setListening(false);
    m_pads.setListening(window != nullptr);
}

void PadKeys::changed(int pad, Gamepads::Control control, bool down) {
    const auto held = std::make_pair(pad, control);
    QPointer<QObject> target;
    if (down) {
        target = QGuiApplication::focusObject();
        m_held[held] = target;
    } else {
        target = m_held[held];
        m_held.erase(held);
    }
    if (target) {
        QCoreApplication::postEvent(
            target, new QKeyEvent(down ? QEvent::KeyPress : QEvent::KeyRelease,
                                  kKeys[static_cast<size_t>(control)], Qt::NoModifier));
    }
}

void PadKeys::removed() {
    auto* window = qobject_cast<ScreenWidget*>(QApplication::activeWindow());
    if (window == nullptr) {
        return;
    }
    // After the keys its controls let go of.
    QMetaObject::invokeMethod(
        window,
        [window] {
            if (Screen* screen = window->screen()) {
                screen->Form_Deactivate();
            }
        },
        Qt::QueuedConnection);
}
