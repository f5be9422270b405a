// SPDX-FileCopyrightText: 2026 The Spinmarsh developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "base/screen.h"

#include <QImage>
#include <QString>

// What the score, menu and high-score screens need of their windows besides
// showing them: the layout's labels, read and set by name. A click on a
// label reaches the screen from the window, through the screen's handlers.
class LayoutView : public virtual ScreenWindow {
  public:
    virtual QString caption(const QString& name) const = 0;
    virtual void setCaption(const QString& name, const QString& text) = 0;
    virtual bool isLabelVisible(const QString& name) const = 0;
    virtual void setLabelVisible(const QString& name, bool visible) = 0;
    // A picture the screen makes while it is shown; a null picture shows none.
    virtual void setPicture(const QString& name, const QImage& picture) = 0;

  protected:
    ~LayoutView() = default;
};
