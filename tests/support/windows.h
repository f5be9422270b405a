// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QLabel>
#include <QString>
#include <QWidget>

// The screens' windows as a player sees them: found by their title, read by
// their labels' names.

// The visible top-level window with this title, or nullptr.
inline QWidget* visibleWindow(const QString& title) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->windowTitle() == title && w->isVisible()) {
            return w;
        }
    }
    return nullptr;
}

// The text of the window's label of this name; the empty text if it has none.
inline QString labelCaption(const QWidget& window, const QString& name) {
    const auto* label = window.findChild<QLabel*>(name);
    return label != nullptr ? label->text() : QString();
}
